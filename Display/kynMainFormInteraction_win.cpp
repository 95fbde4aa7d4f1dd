// The display form's handles: edge zones, drag, caption bar, cursor, wheel,
// full screen, popup menu, keys, task dialogs and the start of the updater.
#include <windows.h>
// windows.h first: shellapi.h needs its macros.
#include <shellapi.h>

#include <algorithm>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/gui/screen_cursor.h"

namespace kyn {

using common::ShowMessageBox;
using common::TMessageBoxKind;

namespace {

fw::TScreenCursor ScreenCursorFor(TCursorKind kind) {
    switch (kind) {
        case TCursorKind::SizeNWSE: return fw::TScreenCursor::crSizeNWSE;
        case TCursorKind::SizeNESW: return fw::TScreenCursor::crSizeNESW;
        case TCursorKind::SizeWE: return fw::TScreenCursor::crSizeWE;
        case TCursorKind::SizeNS: return fw::TScreenCursor::crSizeNS;
        case TCursorKind::Default: break;
    }
    return fw::TScreenCursor::crDefault;
}

bool ControlPanelShowing() { return kynControllerForm && kynControllerForm->Visible(); }

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// Starts a system move or size loop as if the press were on a frame.
void StartSystemCommand(HWND hwnd, unsigned command) {
    ReleaseCapture();
    if (command) SendMessageW(hwnd, WM_SYSCOMMAND, command, 0);
}

}  // namespace

void TkynMainForm::FormMouseDown(fw::TMouseButton button, int x, int y) {
    if (button != fw::TMouseButton::mbLeft) return;
    const bool fullScreen = ScreenMode == TScreenMode::FullScreen;
    StartSystemCommand(Handle(), PressCommand(ZoneAt(x, y, Width(), Height()), fullScreen));
}

void TkynMainForm::FormMouseMove(int x, int y) {
    KelSmoothPanel1->SetVisible(CaptionBarVisibleAt(y));
    fw::SetScreenCursor(ScreenCursorFor(CursorForZone(ZoneAt(x, y, Width(), Height()))));
}

void TkynMainForm::FormMouseLeave() { fw::SetScreenCursor(fw::TScreenCursor::crDefault); }

void TkynMainForm::FormMouseWheel(int wheelDelta, bool& handled) {
    if (ScreenMode == TScreenMode::FullScreen) return;
    model_.SetGLReady(false);
    const TGeneralSettings& s = model_.Settings();
    const TWindowSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const TWindowSize size = WheelScaledSize({s.WindowWidth, s.WindowHeight}, wheelDelta, screen);
    model_.SetWindowBounds(s.WindowTop, s.WindowLeft, size.Width, size.Height);
    SetBounds(Left(), Top(), size.Width, size.Height);
    Repaint();
    handled = true;
    model_.SetGLReady(true);
}

void TkynMainForm::FormDblClick() { ToggleFullScreen(); }

void TkynMainForm::KelSmoothPanel1MouseDown(fw::TMouseButton button) {
    if (button != fw::TMouseButton::mbLeft) return;
    StartSystemCommand(Handle(), ScreenMode == TScreenMode::FullScreen ? 0 : 0xF012);
}

void TkynMainForm::KelSmoothPanel1MouseMove() { KelSmoothPanel1->SetVisible(true); }

void TkynMainForm::KelSmoothPanel1MouseUp() { fw::SetScreenCursor(fw::TScreenCursor::crDefault); }

void TkynMainForm::KelSmoothPanel1DblClick() { ToggleFullScreen(); }

void TkynMainForm::KelGlowButton10Click() { ConfirmClose(); }

void TkynMainForm::MainMenu1Click() { ToggleControlPanel(); }
void TkynMainForm::FullScreen1Click() { ToggleFullScreen(); }
void TkynMainForm::CrossHairs1Click() {
    if (kynControllerForm) kynControllerForm->ToggleCrossHairs();
}
void TkynMainForm::Grid1Click() {
    if (kynControllerForm) kynControllerForm->ToggleGrid();
}
void TkynMainForm::SweepLeftRight1Click() {
    if (kynControllerForm) kynControllerForm->SetSweepDirection(false);
}
void TkynMainForm::SweepTopDown1Click() {
    if (kynControllerForm) kynControllerForm->SetSweepDirection(true);
}
void TkynMainForm::HideLine1Click() {
    if (kynControllerForm) kynControllerForm->ToggleScanLine();
}
void TkynMainForm::Pause1Click() {
    if (kynControllerForm) kynControllerForm->TogglePause();
}
void TkynMainForm::Close1Click() { ConfirmClose(); }

void TkynMainForm::ToggleFullScreen() {
    if (ScreenMode == TScreenMode::FullScreen) {
        KelPopupMenu1->SetAutoPopup(true);
        ScreenMode = TScreenMode::Normal;
        ShowWindow(Handle(), SW_RESTORE);
        SetBounds(Left(), Top(), SavedWindowRect.Width, SavedWindowRect.Height);
        Repaint();
        FullScreen1->SetChecked(false);
        return;
    }
    // A right click then opens no menu.
    if (IsWindows6OrLater()) KelPopupMenu1->SetAutoPopup(false);
    ScreenMode = TScreenMode::FullScreen;
    const TGeneralSettings& s = model_.Settings();
    SavedWindowRect = {s.WindowTop, s.WindowLeft, s.WindowWidth, s.WindowHeight};
    ShowWindow(Handle(), SW_MAXIMIZE);
    Repaint();
    FullScreen1->SetChecked(true);
}

void TkynMainForm::ToggleControlPanel() {
    if (!kynControllerForm) return;
    if (kynControllerForm->Visible()) {
        kynControllerForm->Close();
        MainMenu1->SetChecked(false);
    } else {
        kynControllerForm->Show();
        MainMenu1->SetChecked(true);
        fw::SetScreenCursor(fw::TScreenCursor::crDefault);
    }
}

void TkynMainForm::StartRun() {
    fw::SetScreenCursor(fw::TScreenCursor::crNone);
    if (kynControllerForm) {
        kynControllerForm->Close();
        kynControllerForm->Repaint();
    }
    MainMenu1->SetChecked(false);
    if (model_.Sweep().Paused && kynControllerForm) kynControllerForm->TogglePause();
}

void TkynMainForm::HookKey(int code, WPARAM virtualKey, LPARAM keyFlags) {
    switch (HookActionFor(code, virtualKey, static_cast<uintptr_t>(keyFlags), kynControllerForm != nullptr,
                          ControlPanelShowing())) {
        case THookAction::StartRun:
            StartRun();
            model_.RequestRun();
            break;
        case THookAction::ShowControlPanel:
            ToggleControlPanel();
            break;
        case THookAction::None:
            break;
    }
}

void TkynMainForm::ShowStartupInfo() { RunDialog(StartupInfoDialog()); }

void TkynMainForm::ShowRunPrompt() { RunDialog(RunPromptDialog()); }

void TkynMainForm::ConfirmClose() {
    if (ConfirmCloseCloses(RunDialog(ConfirmCloseDialog()))) Close();
}

void TkynMainForm::ShowLanguageInvitation() { RunDialog(LanguageInvitationDialog()); }

void TkynMainForm::StartUpdater() {
    try {
        std::wstring folder = resources_.ExeFolder();
        if (folder.empty()) folder = OwnFolder();
        const std::wstring file = folder + L"Brimlet.exe";
        HINSTANCE result = ShellExecuteW(Handle(), L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        const auto code = reinterpret_cast<uintptr_t>(result);
        if (code <= 32) ShowMessageBox(TMessageBoxKind::Plain, ShellStartErrorText(code));
    } catch (...) {
        ShowMessageBox(TMessageBoxKind::Error, L"Update Check Could Not Be Started");
    }
}

void TkynMainForm::HideNetworkTab() {
    if (!kynControllerForm) return;
    kynControllerForm->KelGlowButton2->SetVisible(false);
    kynControllerForm->KelGlowButton2->SetWidth(1);
}

bool TkynMainForm::IsWindows6OrLater() { return IsWindows6OrLaterVersion(GetVersion()); }

}  // namespace kyn
