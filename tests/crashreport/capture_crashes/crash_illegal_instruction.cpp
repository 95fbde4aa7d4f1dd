// An illegal instruction in the main thread ends the process with its code.
// CHECK: report: fw::EExternal | Illegal instruction at address
// CHECK-NOT: report:
// CHECK-EXIT: 0xC000001D
#include "tests/crashreport/capture_crashes/crash_program.h"

int main() {
    crash::StartCapture();
    __builtin_trap();
}
