// A report while another thread holds the C runtime heap's lock, with the
// options pausing the other threads: that thread is suspended twice (to copy
// its stack, then for the rest of the report) still holding the lock, and
// the report completes; only then does the thread let the lock go.
// CHECK: report completed
// CHECK: the lock was held until the report resumed its holder
// CHECK-EXIT: 0
#include <malloc.h>

#include <stdexcept>
#include <thread>

#include "crashreport/capture/DrevnikReportHeap.h"
#include "tests/crashreport/capture_crashes/report_program.h"

namespace {

std::atomic<bool> gLocked{false};
std::atomic<bool> gHeldThrough{false};

// Everything the report makes, on the report's thread.
std::string ReportText(const drevnik::TDrevnikExceptionRecord& record) {
    std::string text = drevnik::RaisedClassName(record.RaisedObject) + " " + drevnik::RaisedMessage(record.RaisedObject);
    for (int i = 0; i < 100; ++i) text += std::to_string(i);
    return text;
}

}  // namespace

int main() {
    report::StartLibrary();
    drevnik::ReportSeams().BuildReportText = ReportText;
    drevnik::ReportSeams().DoTerminateButtonAction = nullptr;
    drevnik::TDrevnikModuleOptionsEx& options = drevnik::CurrentDrevnikLogOptions();
    options.SetBehaviourFlags(options.BehaviourFlags() | drevnik::bhPauseOtherThreads);
    const auto object = drevnik::TRaisedObject::FromPtr(std::make_exception_ptr(std::runtime_error("heap held")));
    drevnik::ThreadCaptureState();
    const HANDLE heap = _get_heap_handle() != 0 ? reinterpret_cast<HANDLE>(_get_heap_handle()) : nullptr;
    std::thread holder([&] {
        const uint32_t before = drevnik::SuspensionCount();
        HeapLock(heap);
        gLocked.store(true);
        const ULONGLONG deadline = GetTickCount64() + 20000;
        while (drevnik::SuspensionCount() < before + 2 && GetTickCount64() < deadline) {
        }
        gHeldThrough.store(drevnik::SuspensionCount() >= before + 2);
        std::printf("holder: before %u after %u locked %d\n", before, drevnik::SuspensionCount(), heap != nullptr);
        HeapUnlock(heap);
    });
    while (!gLocked.load()) {
    }
    drevnik::TReportRequest request;
    request.Object = object;
    request.IsLanguage = true;
    request.ReportMode = drevnik::rmDesktop;
    request.Module = drevnik::LibraryModuleHandle();
    drevnik::ReportException(request);
    holder.join();
    std::printf("report completed\n");
    if (gHeldThrough.load())
        std::printf("the lock was held until the report resumed its holder\n");
    else
        std::printf("suspensions: %u\n", drevnik::SuspensionCount());
    return 0;
}
