// A fault in a second thread: one report, then the process ends with the
// fault's code.
// CHECK: report: fw::EExternal | Access violation at address
// CHECK: thread=other
// CHECK: report end
// CHECK-NOT: report:
// CHECK-EXIT: 0xC0000005
#include <thread>

#include "tests/crashreport/capture_crashes/report_program.h"

int main() {
    report::StartLibrary();
    std::thread worker([] {
        volatile int* nowhere = nullptr;
        std::printf("%d\n", *nowhere);
    });
    worker.join();
    return 0;
}
