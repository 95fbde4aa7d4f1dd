// A rethrow that nothing catches ends in std::terminate like a throw (the
// 64-bit unwinder would abort with exit code 3): it is reported at the
// rethrow, once, and the program ends with exit code 1.
// CHECK: caught once
// CHECK: report: std::runtime_error | rethrown | language=1 | handled=0 | thread=main
// CHECK-NOT: report:
// CHECK-EXIT: 1
#include <stdexcept>

#include "tests/crashreport/capture_crashes/crash_program.h"

int main() {
    crash::StartCapture();
    try {
        throw std::runtime_error("rethrown");
    } catch (...) {
        std::printf("caught once\n");
        std::fflush(stdout);
        throw;
    }
}
