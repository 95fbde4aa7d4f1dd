// An exception that nothing catches is reported at the throw, once, and the
// program ends with exit code 1.
// CHECK: before
// CHECK: report: std::runtime_error | nobody catches this | language=1 | handled=0 | thread=main
// CHECK-NOT: report:
// CHECK-NOT: after
// CHECK-EXIT: 1
#include <stdexcept>

#include "tests/crashreport/capture_crashes/crash_program.h"

int main() {
    crash::StartCapture();
    std::printf("before\n");
    std::fflush(stdout);
    throw std::runtime_error("nobody catches this");
}
