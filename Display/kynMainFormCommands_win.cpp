// The display form's text commands: the handler, the TCP server's
// per-connection handler and the hand-over between them.
#include "Display/kynControllerFormGUI.h"
#include "Display/kynExternalCommands.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/core/thread.h"

namespace kyn {

void TkynMainForm::CreateCommandServer() {
    IdTCPServer1 = new fw::net::TIdTCPServer(this);
    IdTCPServer1->SetName(L"IdTCPServer1");
    IdTCPServer1->OnExecute = [this](fw::net::TIdContext& context) { IdTCPServer1Execute(context); };
    // The queued wake-up holds the hand-over weakly, not the form: it may run
    // after the form is gone and then does nothing.
    auto self = std::make_shared<std::weak_ptr<TCommandHandOver>>();
    hand_over_ = std::make_shared<TCommandHandOver>([this](const std::wstring& line) { ExecuteCommand(line); },
                                                    [self] {
                                                        fw::TThread::Queue(nullptr, [self] {
                                                            if (auto h = self->lock()) h->Drain();
                                                        });
                                                    });
    *self = hand_over_;
}

void TkynMainForm::StopCommandServer() {
    if (hand_over_) hand_over_->Shutdown();
    if (IdTCPServer1) IdTCPServer1->SetActive(false);
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
