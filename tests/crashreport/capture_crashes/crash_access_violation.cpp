// A fault in the main thread is left to the handlers until none takes it;
// the unhandled-exception filter reports it and ends the process with the
// fault's code.
// CHECK: report: fw::EExternal | Access violation at address
// CHECK: Write of address 00000000
// CHECK: | language=0 | handled=0 | thread=main
// CHECK-NOT: report:
// CHECK-EXIT: 0xC0000005
#include "tests/crashreport/capture_crashes/crash_program.h"

int main() {
    crash::StartCapture();
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
