// Where the report orchestration calls the rest of the library: module and
// process facts, call stacks, the report text, the screenshot, the dialogs,
// the log file and delivery. Each seam is a plain routine that the part
// which owns the step plugs in at start-up; an empty seam skips its step (or
// gives the answer written beside it), so the order of the steps stays in
// one place whichever parts are present.
//
// The seams run on the report's handler thread, except where noted.
#pragma once

#include <cstdint>
#include <windows.h>

#include <string>
#include <vector>

#include "crashreport/capture/DrevnikReportRecord.h"
#include "crashreport/capture/DrevnikThreads.h"

namespace drevnik {

// A suspended thread's registers and a copy of its stack, taken while it
// was suspended; scanned after it runs again.
struct TThreadStackCopy {
    uint32_t ThreadId = 0;
    uintptr_t ProgramCounter = 0;
    uintptr_t StackPointer = 0;
    uintptr_t StackTop = 0;            // the stack's upper end
    const uint8_t* Bytes = nullptr;    // the copy of [StackPointer, StackPointer + Size)
    uint32_t Size = 0;
    const TTrackedThread* Record = nullptr;  // the snapshot's record (its starter stack)
};

struct TReportSeams {
    // ---- Modules and processes ----
    // The process-wide modules list (null: none), refreshed; the processes
    // list, made anew.
    TDrevnikModulesList* (*ModulesList)() = nullptr;
    void (*RefreshModulesList)() = nullptr;
    void (*BuildProcessesList)(TDrevnikProcessesList& processes) = nullptr;
    // Drops the records of the modules list whose module file changed on disk.
    void (*PurgeChangedModules)() = nullptr;
    // The record of the module that holds `address` / of `module`; null: none.
    TDrevnikModuleInfo* (*ModuleInfoOfAddress)(uintptr_t address) = nullptr;
    TDrevnikModuleInfo* (*ModuleInfoOfHandle)(TModuleHandle module) = nullptr;
    // Whether the module carries the library's data; empty: every module
    // that links the library does.
    bool (*HasLibraryData)(TModuleHandle module) = nullptr;

    // ---- Call stacks ----
    // The faulting thread's stack from `stackStart` to `stackTop`.
    void (*BuildCallStack)(TDrevnikStackList& list, uintptr_t address, uintptr_t stackStart, uintptr_t stackTop,
                           uint32_t threadId) = nullptr;
    // Another thread's stack from its copy; its starter's stored stack.
    void (*ScanThreadStack)(TDrevnikStackList& list, const TThreadStackCopy& copy) = nullptr;
    void (*ScanStarterStack)(TDrevnikStackList& list, const TTrackedThread& record) = nullptr;
    // Fills the entry of one code address (module, unit, routine, line);
    // empty: the entry stays ekNothing.
    void (*LookupAddress)(TCallStackEntry& entry, uintptr_t address) = nullptr;
    // The program, module and class names that open the bug ID's text.
    std::string (*BugIdPrefix)(const TDrevnikExceptionRecord& record) = nullptr;
    // CRC-16 of the bug ID's text; empty: the ID stays "0000".
    uint16_t (*CalcCrc16)(const std::string& text) = nullptr;

    // ---- Report text ----
    std::string (*BuildReportText)(const TDrevnikExceptionRecord& record) = nullptr;
    std::string (*ReportHeaderText)() = nullptr;
    void (*CheckDuplicateReport)(bool count) = nullptr;
    bool (*IsDuplicateReport)() = nullptr;
    void (*AddCustomDataSection)(const std::vector<std::string>& fields) = nullptr;
    void (*AddReproduceSection)(const std::string& text) = nullptr;
    // The last web page a CGI program wrote, for its report.
    std::string (*LoadLastHtmlPage)() = nullptr;

    // ---- Screenshot ----
    void (*CaptureScreenshot)() = nullptr;
    void (*SaveScreenshot)() = nullptr;
    void (*ReleaseScreenshot)() = nullptr;

    // ---- Display ----
    // The application kind; empty: an interactive desktop program.
    bool (*IsWebApplication)() = nullptr;
    bool (*IsConsoleApplication)() = nullptr;
    bool (*IsIntraWebApplication)() = nullptr;
    void (*ShowExceptionDialog)(bool beep) = nullptr;
    void (*ShowReproduceDialog)() = nullptr;
    void (*ShowWebErrorPage)(const std::string& text) = nullptr;
    void (*UpdateWorkArea)() = nullptr;
    HWND (*ExceptionDialogWindow)() = nullptr;

    // ---- Log file and delivery ----
    // Starts a new log when the program's version changed since its last report.
    void (*NewLogOnVersionChange)() = nullptr;
    void (*SaveReportToLog)() = nullptr;
    // True when the delivery was handed to a thread of its own, which then
    // runs the after-report steps itself.
    bool (*SendReport)() = nullptr;
    void (*CheckAutoCrash)() = nullptr;
    void (*FreeExceptionCallStack)() = nullptr;
    void (*SetPendingCloseAction)(uint8_t action) = nullptr;
    void (*DoTerminateButtonAction)() = nullptr;
    // Mails the internal-error file to the library's maker through the mail client.
    bool (*SendMapiMailWithFiles)(const std::string& to, const std::string& subject, const std::string& body,
                                  const std::string& file) = nullptr;
};

// The seams in use; parts plug in by assigning their fields.
TReportSeams& ReportSeams();

}  // namespace drevnik
