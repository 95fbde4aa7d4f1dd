// A fault on the report's own thread ends that report without a report of
// its own and without hanging the thread that waits for it; the next report
// gets a handler thread of its own.
// CHECK: making the first report's text faults
// CHECK: first report returned
// CHECK: report: std::runtime_error | second | thread=main
// CHECK: report end
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include <stdexcept>

#include "tests/crashreport/capture_crashes/report_program.h"

namespace {

std::string FaultingText(const drevnik::TDrevnikExceptionRecord&) {
    std::printf("making the first report's text faults\n");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    return std::to_string(*nowhere);
}

void Report(const char* message) {
    drevnik::ExceptionManager(drevnik::TRaisedObject::FromPtr(std::make_exception_ptr(std::runtime_error(message))),
                              0, drevnik::rmDesktop, drevnik::LibraryModuleHandle());
}

}  // namespace

int main() {
    report::StartLibrary();
    drevnik::ReportSeams().BuildReportText = FaultingText;
    Report("first");
    std::printf("first report returned\n");
    drevnik::ReportSeams().BuildReportText = report::PrintReportBegin;
    Report("second");
    return 0;
}
