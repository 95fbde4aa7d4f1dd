// Report orchestration: every report of the library arrives through
// ReportException (RaiseCapture.h), which takes the facts only the faulting
// thread can give and hands the work to the handler thread. That thread runs
// ProcessException, the main handler: options, filters, call stacks and bug
// ID, suspension of the other threads, report text, events, screenshot,
// dialog, log, sending and the close action, in that order. The faulting
// thread waits meanwhile, runs the event routines handed to it and, when it
// is the main thread and a dialog shows, pumps its messages with input
// refused.
//
// The handler thread is made at start-up, not at the report: creating a
// thread needs the heap and the loader lock, which the faulting thread (or a
// thread about to be suspended) may hold.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReportRecord.h"
#include "crashreport/capture/DrevnikReportSeams.h"

namespace drevnik {

// The dialogs' state for one report.
struct TDialogSession {
    uint8_t KindInUse = dkNone;
    bool ForceDetailed = false;
    bool SendWanted = false;
    bool ScreenshotWanted = false;
    bool CopyWanted = false;
    bool UserCancelled = false;
    bool CloseRequested = false;
    std::atomic<bool> Painted{false};
    bool DialogsUnavailable = false;
    RECT WorkArea{};
    // The full dialog's view and the optional controls it offers.
    bool Detailed = false;
    bool SendCheckShown = false;
    bool ScreenshotCheckShown = false;
    bool CopyCheckShown = false;
    bool SupportLinkShown = false;
    int32_t BottomBand = 0;
    // The detailed view's placement; ShowState 1 normal, 3 maximised, 6 minimised.
    struct {
        int32_t Left = 0, Top = 0, Width = 0, Height = 0, ShowState = 1;
    } DetailedBounds;
};

// The module-wide report state; one report at a time, under the report lock.
struct TReportState {
    std::unique_ptr<TDrevnikModuleOptionsEx> HandlerOptions;
    std::atomic<TDrevnikExceptionRecord*> CurrentReport{nullptr};
    std::unique_ptr<TDrevnikStackList> ExceptionCallStack;
    std::string BugId = "0000";
    double ReportTime = 0;
    std::atomic<int32_t> ReportStep{0};
    bool EventHandled = true;
    int32_t ReportsThisRun = 0;
    std::string LastExceptMessage;
    uintptr_t LastReportAddress = 0;
    bool ReportRunsInline = false;
    std::vector<std::string> RecentErrorTimes;
    // The dialog message that a filter put in place of the exception's.
    std::string DialogMessageOverride;
    TDialogSession Dialog;
    TDrevnikLogErrorCode LastWarningCode = eeNone;
    std::string LastWarningText;
    // The lists a report's events fill.
    std::vector<std::string> CustomDataFields;
    std::vector<std::string> AttachedFiles;
    std::vector<std::string> WebFields;
    std::string Password;
    bool CloseDialog = false;
    // The running report's facts from the faulting thread, and the copy of
    // the threads list made before any thread was suspended (the report
    // reads it without the list's lock); null outside a report.
    const TExceptNotifyParams* ReportParams = nullptr;
    TDrevnikThreadsList* ThreadsSnapshot = nullptr;
    // The processes of the latest report. The modules list is the
    // process-wide one (ReportSeams().ModulesList).
    std::unique_ptr<TDrevnikProcessesList> Processes;
};
TReportState& ReportState();

// The routine a report's handler thread hands to the faulting thread; 1
// while event routines run directly; 0 otherwise.
using TEventRoutine = void (*)(void* argument);
struct TEventHandOver {
    TEventRoutine Routine = nullptr;
    void* Argument = nullptr;
};
// Set while an event routine runs where it was called (no hand-over).
bool EventHandOverBusy();

// ReportException's work (installed in the seam of RaiseCapture.h by
// StartReportHandler): the faulting thread's facts, the handler thread, the
// wait. True when the caller must still run its own handling.
bool ReportExceptionBody(const TReportRequest& request);

// The main handler, on the handler thread (or inline).
bool ProcessException(const TRaisedObject& object, uintptr_t address, bool isLanguage, TExceptNotifyParams& params,
                      uint8_t mode, TModuleHandle module, uint8_t catchKind);

// Runs an event routine in the faulting thread of the current report (here
// when there is no report or this is that thread), then reloads what an
// event may have changed.
void RunEventInFaultingThread(TEventRoutine routine, void* argument);
template <class F>
void RunEventInFaultingThread(F& body) {
    RunEventInFaultingThread([](void* f) { (*static_cast<F*>(f))(); }, &body);
}

bool ReportWillBeSent();

// Makes the handler thread (excluded from capture) and installs the seam;
// StopReportHandler ends it.
bool StartReportHandler();
void StopReportHandler();
uint32_t ReportHandlerThreadId();

// Set once the leak report has begun: no event runs from then on.
void SetLeakReportBegun();

// ---- The library's own failures ----
void ReportInternalError(const std::string& section);
void ReportWarning(TDrevnikLogErrorCode code, const std::string& text);
void ClearWarning();
void ReportExceptionWarning(TDrevnikLogErrorCode code, const std::string& stepName);
// The debugger-output line of an internal error and of a warning.
std::string InternalErrorLine(const std::string& section, uintptr_t address, const std::string& message);
std::string WarningLine(TDrevnikLogErrorCode code, uintptr_t address, const std::string& text);

// ---- Emergency reserve: 5 MB of address space for an out-of-memory report ----
void ReserveEmergencyMemory();
void ReleaseEmergencyMemory();
bool HasEmergencyReserve();

// ---- Helpers ----
[[noreturn]] void TerminateOrRestart(bool restart);
void CopyTextToClipboard(const std::string& text);
HWND FindProcessMainWindow(DWORD processId);
bool ProcessHasIdeWindow(DWORD processId);
RECT GetProcessWindowsRect(DWORD processId);
void SnapshotProcessWindows();
bool IsNewProcessWindow(HWND window);
bool IsOwnProcessWindow(HWND window);
// Into fixed buffers of kFocusTextMax + 1 characters.
void GetFocusedControlClass(char* buffer);
void GetFocusedControlText(char* buffer);
// Environment variables that the texts may name (_ExceptMsg, _BugReport, ...).
void SetReportVariables(const TDrevnikExceptionRecord& record);
// Every control character becomes a blank.
std::string ReplaceControlChars(std::string text);

// The mark put before the message of a reported safecall exception.
constexpr const char* kSafecallMark = "[SafeCall Exception]: ";
void MarkSafecallException(const TRaisedObject& object);

// Where the internal-error report asks the user to send its file.
constexpr const char* kLibrarySupportAddress = "support@drevniklog.example";

// The report dialog's window while it shows; null otherwise.
inline HWND ExceptionDialogWindow() {
    return ReportSeams().ExceptionDialogWindow != nullptr ? ReportSeams().ExceptionDialogWindow() : nullptr;
}

}  // namespace drevnik
