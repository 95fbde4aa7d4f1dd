// The display form's text commands: the handler, the TCP server's
// per-connection handler and the hand-over between them.
#include "Display/kynControllerFormGUI.h"
#include "Display/kynExternalCommands.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/gui/application.h"
#include "framework/gui/utility_window.h"

namespace kyn {

namespace {

constexpr UINT kDrainMessage = WM_APP + 0x2904;

// How often a steady stream of lines lets timers and paints in.
constexpr DWORD kYieldMs = 15;

// The hand-over's wake-ups arrive here as posted messages. Under a steady
// stream of lines one is always waiting, and posted messages come before
// timers and paints: so the frame timer and paints waiting are served now
// and then first.
LRESULT CALLBACK CommandWakeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kDrainMessage) return DefWindowProcW(window, msg, wParam, lParam);
    fw::GuardCallback(nullptr, [window] {
        static DWORD last_yield = GetTickCount();
        if (GetTickCount() - last_yield >= kYieldMs) {
            last_yield = GetTickCount();
            MSG pending;
            while (PeekMessageW(&pending, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&pending);
            while (PeekMessageW(&pending, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&pending);
        }
        if (auto* handOver = reinterpret_cast<TCommandHandOver*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            handOver->Drain();
    });
    return 0;
}

}  // namespace

void TkynMainForm::CreateCommandServer() {
    IdTCPServer1 = new fw::net::TIdTCPServer(this);
    IdTCPServer1->SetName(L"IdTCPServer1");
    IdTCPServer1->OnExecute = [this](fw::net::TIdContext& context) { IdTCPServer1Execute(context); };
    HWND wake = fw::CreateUtilityWindow(L"TkynCommandWake", CommandWakeProc);
    command_wake_ = wake;
    hand_over_ = std::make_shared<TCommandHandOver>([this](const std::wstring& line) { ExecuteCommand(line); },
                                                    [wake] { PostMessageW(wake, kDrainMessage, 0, 0); });
    SetWindowLongPtrW(wake, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hand_over_.get()));
}

// Connection threads post wake-ups until the hand-over refuses their lines;
// the window goes only after that.
void TkynMainForm::StopCommandServer() {
    if (hand_over_) hand_over_->Shutdown();
    if (IdTCPServer1) IdTCPServer1->SetActive(false);
    if (command_wake_) {
        SetWindowLongPtrW(command_wake_, GWLP_USERDATA, 0);
        DestroyWindow(command_wake_);
        command_wake_ = nullptr;
    }
}

void TkynMainForm::IdTCPServer1Execute(fw::net::TIdContext& context) {
    const std::wstring line = context.ReadLn();
    hand_over_->Execute(line);
}

void TkynMainForm::ExecuteCommand(const std::wstring& line) {
    const TCommandAction action = ParseCommandLine(line);
    TkynControllerForm* panel = kynControllerForm;
    if (action.Kind == TCommandAction::TKind::Value) {
        if (!panel) return;
        switch (action.Index) {
            case ncLineThickness:
                panel->SetLineThickness(action.Value);
                break;
            case ncGridSize:
                panel->SetGridSpacing(action.Value);
                break;
            case ncSweepRate:
                panel->SetSweepRate(action.Value);
                break;
            default:
                break;
        }
        return;
    }
    if (action.Kind != TCommandAction::TKind::Word) return;
    const TSweepState& sweep = model_.Sweep();
    const TGeneralSettings& settings = model_.Settings();
    auto background = [&](double r, double g, double b, int choice) {
        model_.SetBackgroundColour({r, g, b, choice, settings.BackgroundColour.Contrast});
    };
    auto line_colour = [&](double r, double g, double b, int choice) {
        model_.SetLineColour({r, g, b, choice, settings.LineColour.Contrast});
    };
    switch (static_cast<TExternalCommand>(action.Index)) {
        case ecRun:
            StartRun();
            model_.RequestRun();
            break;
        case ecSetStepMode:
            model_.SetSweepMode(TSweepMode::smStep);
            break;
        case ecSetContinuosMode:
            model_.SetSweepMode(TSweepMode::smContinuous);
            break;
        case ecHideScanLine:
            if (sweep.ScanLineVisible && panel) panel->ToggleScanLine();
            break;
        case ecShowScanLine:
            if (!sweep.ScanLineVisible && panel) panel->ToggleScanLine();
            break;
        case ecMakeNextStep:
            MakeNextStep();
            break;
        case ecResetScanLine:
            ResetScanLine();
            break;
        case ecTopDownSweep:
            if (panel) panel->SetSweepDirection(true);
            break;
        case ecLeftRightSweep:
            if (panel) panel->SetSweepDirection(false);
            break;
        case ecFullScreen:
            if (ScreenMode == TScreenMode::Normal) ToggleFullScreen();
            break;
        case ecNormalScreen:
            if (ScreenMode == TScreenMode::FullScreen) ToggleFullScreen();
            break;
        case ecPauseScanLine:
            if (!sweep.Paused && panel) panel->TogglePause();
            break;
        case ecResumeScanLine:
            if (sweep.Paused && panel) panel->TogglePause();
            break;
        case ecAddStartDelay:
            if (settings.StartDelayOn == -1 && panel) panel->ToggleStartDelay();
            break;
        case ecResetScanLineBeforeRun:
            if (settings.ResetBeforeRun == -1 && panel) panel->ToggleResetBeforeRun();
            break;
        case ecShowCrossHairs:
            if (!sweep.CrossHairsOn && panel) panel->ToggleCrossHairs();
            break;
        case ecHideCrossHairs:
            if (sweep.CrossHairsOn && panel) panel->ToggleCrossHairs();
            break;
        case ecShowGrid:
            if (!sweep.GridOn && panel) panel->ToggleGrid();
            break;
        case ecHideGrid:
            if (sweep.GridOn && panel) panel->ToggleGrid();
            break;
        case ecBackgroundColorBlack:
            background(0, 0, 0, common::ccBlack);
            break;
        case ecBackgroundColorWhite:
            background(1, 1, 1, common::ccWhite);
            break;
        case ecBackgroundColorGreen:
            background(0, 1, 0, common::ccGreen);
            break;
        case ecScanLineBlack:
            line_colour(0, 0, 0, common::ccBlack);
            break;
        case ecScanLineWhite:
            line_colour(1, 1, 1, common::ccWhite);
            break;
        case ecScanLineGreen:
            line_colour(0, 1, 0, common::ccGreen);
            break;
        case ecNoResetScanLinePositionBeforeRun:
            if (settings.ResetBeforeRun == 1 && panel) panel->ToggleResetBeforeRun();
            break;
        case ecNoStartDelay:
            if (settings.StartDelayOn == 1 && panel) panel->ToggleStartDelay();
            break;
        case ecStepModeDirection1:
            model_.SetStepDirection(1);
            break;
        case ecStepModeDirection2:
            model_.SetStepDirection(2);
            break;
        case ecConnected:
            common::ShowMessageBox(common::TMessageBoxKind::Plain, L"Connected");
            break;
        case ecCloseApplication:
            Close();
            break;
        case ecLineThickness:
        case ecGridSize:
        case ecSweepRate:
        case ecTest:
            break;
    }
}

}  // namespace kyn
