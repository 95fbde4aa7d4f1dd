// A throw out of a noexcept function ends in std::terminate: it is reported
// at the throw, once, and the program ends with exit code 1.
// CHECK: report: std::logic_error | leaves a noexcept function | language=1 | handled=0 | thread=main
// CHECK-NOT: report:
// CHECK-EXIT: 1
#include <stdexcept>

#include "tests/crashreport/capture_crashes/crash_program.h"

__attribute__((noinline)) void Throw() { throw std::logic_error("leaves a noexcept function"); }
__attribute__((noinline)) void Sealed() noexcept { Throw(); }

int main() {
    crash::StartCapture();
    try {
        Sealed();
    } catch (...) {
        std::printf("caught\n");
    }
    return 0;
}
