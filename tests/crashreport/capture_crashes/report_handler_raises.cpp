// An exception raised inside a report's own event handler is not reported
// again, and the report ends.
// CHECK: report: std::runtime_error | outer | thread=main
// CHECK: notify handler raises
// CHECK: report end
// CHECK: program goes on
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include <stdexcept>

#include "crashreport/capture/DrevnikLog.h"
#include "tests/crashreport/capture_crashes/report_program.h"

int main() {
    report::StartLibrary();
    drevnik::TDrevnikLog log(nullptr);
    log.OnExceptionNotify = [](const drevnik::TDrevnikExceptionRecord&, bool&) {
        std::printf("notify handler raises\n");
        std::fflush(stdout);
        throw std::runtime_error("inner");
    };
    drevnik::ExceptionManager(drevnik::TRaisedObject::FromPtr(std::make_exception_ptr(std::runtime_error("outer"))),
                              0, drevnik::rmDesktop, drevnik::LibraryModuleHandle());
    std::printf("program goes on\n");
    return 0;
}
