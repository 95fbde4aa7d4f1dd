// A fault in the main thread that nothing handles: one report, then the
// process ends with the fault's code.
// CHECK: report: fw::EExternal | Access violation at address
// CHECK: thread=main
// CHECK: report end
// CHECK-NOT: report:
// CHECK-EXIT: 0xC0000005
#include "tests/crashreport/capture_crashes/report_program.h"

int main() {
    report::StartLibrary();
    volatile int* nowhere = nullptr;
    std::printf("%d\n", *nowhere);
    return 0;
}
