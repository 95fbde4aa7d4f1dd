// What every crash program shares: the capture started as the library's
// start-up will start it, and a report seam that prints one line per report.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikThreadHooks.h"
#include "crashreport/capture/EHook.h"
#include "crashreport/capture/RaiseCapture.h"

namespace crash {

// Set by a program whose fault would otherwise repeat for ever.
inline bool gEndAfterReport = false;

inline bool PrintReport(const drevnik::TReportRequest& request) {
    const uint32_t thread = request.FaultThreadId != 0 ? request.FaultThreadId : GetCurrentThreadId();
    std::printf("report: %s | %s | language=%d | handled=%d | thread=%s\n",
                drevnik::RaisedClassName(request.Object).c_str(), drevnik::RaisedMessage(request.Object).c_str(),
                request.IsLanguage ? 1 : 0, request.IsHandled ? 1 : 0,
                thread == drevnik::MainThreadIdValue() ? "main" : "other");
    std::fflush(stdout);
    if (gEndAfterReport) ExitProcess(42);
    return true;
}

inline void StartCapture() {
    drevnik::HookInitStep();
    drevnik::CreateMainThreadsList();
    drevnik::CaptureSwitches().ThreadTrackingRunning = true;
    drevnik::CaptureSwitches().IsCaptureStarted = true;
    drevnik::HookThreadImports();
    drevnik::StartRaiseCapture();
    drevnik::SetReportExceptionHandler(PrintReport);
}

}  // namespace crash
