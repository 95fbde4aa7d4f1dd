// Shows a main window, then faults on a second thread with the report
// dialogs in place. Arguments: the result file, the dialog kind (1 message
// box, 2 short dialog, 3 full dialog) and option letters: r ask for the
// steps to reproduce, s a send channel (SMTP), d open detailed, m minimise
// the main window first, o own look, h help button, a auto-close after 2 s.
// The result file gets "shown" once the dialog is done and a "session" line
// with the dialog's choices when the log is saved.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "crashreport/report/ReportState.h"
#include "framework/core/start_stop.h"

namespace {

std::string gResultFile;

void Append(const std::string& line) {
    if (FILE* f = std::fopen(gResultFile.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

void OnAction(const drevnik::TDrevnikExceptionRecord&, drevnik::TDrevnikActionType action, bool&) {
    const drevnik::TReportState& state = drevnik::ReportState();
    const drevnik::TDialogSession& s = state.Dialog;
    if (action == drevnik::atShowedExceptionInfo) Append("shown");
    if (action != drevnik::atSavingLogFile) return;
    const drevnik::TDrevnikModuleOptions& o = *state.HandlerOptions;
    Append("session kind=" + std::to_string(s.KindInUse) + " send=" + std::to_string(s.SendWanted) +
           " shot=" + std::to_string(s.ScreenshotWanted) + " copy=" + std::to_string(s.CopyWanted) +
           " cancel=" + std::to_string(s.UserCancelled) + " close=" + std::to_string(s.CloseRequested) +
           " detailed=" + std::to_string(s.Detailed) + " unavailable=" + std::to_string(s.DialogsUnavailable) +
           " from=" + o.SmtpFrom() + " repro=" + o.ReproduceText());
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

__attribute__((noinline)) void Fault() {
    volatile int* nowhere = nullptr;
    *nowhere = 42;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const int argc = __argc;
    char** argv = __argv;
    if (argc < 3) return 2;
    gResultFile = argv[1];
    const int kind = std::atoi(argv[2]);
    const std::string letters = argc > 3 ? argv[3] : "";
    const auto has = [&](char c) { return letters.find(c) != std::string::npos; };

    std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
    steps.insert(steps.begin(), {L"DrevnikDebugInfo", drevnik::InstallDebugInfoReaders, nullptr});
    steps.push_back({L"Crash report text and log", drevnik::InstallReportSteps, nullptr});
    steps.push_back(drevnik::UnitTableEndsStep());
    static fw::TStartStopTable table(std::move(steps));
    table.Start();
    // Each change is published to the report's copy (no update bracket).
    const auto setUp = [&](drevnik::TDrevnikModuleOptions* o) {
        if (o == nullptr) return;
        o->SetOutputPath(gResultFile + ".dvf");
        o->SetDialogKind(static_cast<uint8_t>(kind));
        o->SetTerminateButtonAction(drevnik::caNone);
        uint8_t log = o->LogFlags();
        if (has('r')) log |= drevnik::lgAskReproduceSteps;
        o->SetLogFlags(log);
        if (has('s')) {
            o->SetEmailMode(drevnik::emSmtpClient);
            o->SetEmailRecipients("author@example.org");
        }
        uint16_t dialog = o->DialogFlags();
        if (has('d')) dialog |= drevnik::dgOpenDetailed;
        if (has('o')) dialog |= drevnik::dgOwnLook;
        if (has('h')) dialog |= drevnik::dgShowHelpButton;
        o->SetDialogOptions(dialog);
        if (has('a')) o->SetAutoCloseSecs(2);
    };
    setUp(drevnik::FindCurrentDrevnikLogOptions());
    if (drevnik::TDrevnikModuleInfo* own =
            drevnik::GetModuleInfo(reinterpret_cast<drevnik::TModuleHandle>(GetModuleHandleW(nullptr))))
        setUp(own->ModuleOptions.get());
    drevnik::GlobalHandlers().GlobalExceptionActionNotify = OnAction;

    WNDCLASSW cls{};
    cls.lpfnWndProc = MainProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"TDialogTestMain";
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&cls);
    HWND main = CreateWindowW(L"TDialogTestMain", L"Dialog test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                              nullptr, cls.hInstance, nullptr);
    ShowWindow(main, has('m') ? SW_MINIMIZE : SW_SHOWNORMAL);
    std::thread faulting([] {
        Sleep(300);
        Fault();
    });
    faulting.detach();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
