// The library's shut-down waits for a report in progress.
// CHECK: report: std::runtime_error | late | thread=other
// CHECK: report end
// CHECK: library stopped
// CHECK-EXIT: 0
#include <stdexcept>
#include <thread>

#include "tests/crashreport/capture_crashes/report_program.h"

int main() {
    report::StartLibrary();
    report::gReportMs = 500;
    std::thread worker([] { throw std::runtime_error("late"); });
    while (!report::gInReport.load()) Sleep(1);
    report::Library().Stop();
    std::printf("library stopped\n");
    std::fflush(stdout);
    worker.join();
    return 0;
}
