// Two threads whose exceptions nothing catches, raised at the same moment:
// two reports, one after the other, and the program goes on.
// CHECK: report: std::runtime_error | in a thread | thread=other
// CHECK: report end
// CHECK: report: std::runtime_error | in a thread | thread=other
// CHECK: report end
// CHECK: both threads ended
// CHECK-EXIT: 0
#include <stdexcept>
#include <thread>

#include "tests/crashreport/capture_crashes/report_program.h"

int main() {
    report::StartLibrary();
    report::gReportMs = 200;
    std::atomic<int> ready{0};
    auto body = [&] {
        ++ready;
        while (ready.load() < 2) {
        }
        throw std::runtime_error("in a thread");
    };
    std::thread first(body), second(body);
    first.join();
    second.join();
    std::printf("both threads ended\n");
    std::printf("reports %d, overlapped %d\n", report::gReports.load(), report::gOverlapped.load() ? 1 : 0);
    return report::gReports.load() == 2 && !report::gOverlapped.load() ? 0 : 1;
}
