// A division by zero in another thread is reported when it happens, once:
// the unhandled-exception filter then only ends the process.
// CHECK: report: fw::EExternal | Division by zero at address
// CHECK: | language=0 | handled=0 | thread=other
// CHECK-NOT: report:
// CHECK-EXIT: 0xC0000094
#include <thread>

#include "tests/crashreport/capture_crashes/crash_program.h"

int main() {
    crash::StartCapture();
    volatile int zero = 0;
    std::thread worker([&] { std::printf("%d\n", 10 / zero); });
    worker.join();
    return 0;
}
