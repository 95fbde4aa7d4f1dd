// The display form: a borderless, stay-on-top OpenGL window that draws the
// background and the scan line, grid or cross hairs. The sweep timer moves
// the line one pixel per step on the high-resolution clock and draws a frame
// right after each step and at the display's refresh; while it stands (paused)
// the 1 ms repaint timer draws the frames.
// Its window class "TkynMainForm" tells the updater that the display runs.
// Its edges resize it, its inside moves it, a caption bar shows near its top,
// the wheel scales it, a popup menu and two keys (Enter, Esc) reach the
// operations, and four task dialogs inform and confirm.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "Display/kynCommandHandOver.h"
#include "Display/kynDisplayModel.h"
#include "Display/kynResourceManager.h"
#include "Display/kynSweepTimer.h"
#include "Display/kynWindowRules.h"
#include "crashreport/capture/DrevnikLog.h"
#include "framework/core/exceptions.h"
#include "framework/gui/forms.h"
#include "framework/gui/timer.h"
#include "framework/net/tcp_server.h"
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/buttons/KelMenuStyler.h"
#include "widgets/buttons/KelPopupMenu.h"
#include "widgets/buttons/KelSmoothPanel.h"
#include "widgets/editors/TaskDialog.h"

namespace kyn {

enum class TScreenMode { FullScreen = 1, Normal = 2 };

struct TSavedWindowRect {
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
};

// Runs one of the display's task dialogs modally and returns its result.
using TDisplayDialogRunner = std::function<int(const TDisplayDialog& dialog)>;
// Replaces how the dialogs run (tests watch them instead of blocking); an
// empty runner restores the task-dialog component. Returns the one replaced.
TDisplayDialogRunner SetDisplayDialogRunner(TDisplayDialogRunner runner);

class TkynMainForm : public fw::TForm {
public:
    // The model outlives the form.
    TkynMainForm(fw::TComponent* owner, TkynDisplayModel& model);
    ~TkynMainForm() override;

    fw::TTimer* zuForceRepaint;
    TSweepTimer* dpLineSweep;
    drevnik::TDrevnikLog* DrevnikLog1;
    int LastGLError = 0;
    HDC DeviceContext = nullptr;
    HGLRC RenderContext = nullptr;
    HHOOK KeyboardHook = nullptr;
    TScreenMode ScreenMode = TScreenMode::Normal;
    TSavedWindowRect SavedWindowRect;

    kel::TKelSmoothPanel* KelSmoothPanel1;  // the caption bar
    kel::glow::TKelGlowButton* KelGlowButton10;
    kel::menus::TKelMenuStyler* KelMenuStyler1;
    kel::menus::TKelPopupMenu* KelPopupMenu1;
    fw::TMenuItem* MainMenu1;
    fw::TMenuItem* FullScreen1;
    fw::TMenuItem* CrossHairs1;
    fw::TMenuItem* Grid1;
    fw::TMenuItem* SweepLeftRight1;
    fw::TMenuItem* SweepTopDown1;
    fw::TMenuItem* HideLine1;
    fw::TMenuItem* Pause1;
    fw::TMenuItem* N1;
    fw::TMenuItem* Close1;
    kel::taskdialog::TKelTaskDialog* KelTaskDialog1;  // shared by the four dialogs
    // The text-command server: no bindings and inactive until the control
    // panel's Network page applies one.
    fw::net::TIdTCPServer* IdTCPServer1;

    // Runs one command line on the GUI thread (kynMainFormCommands_win.cpp).
    void ExecuteCommand(const std::wstring& line);
    // The server's handler, on a connection's thread: reads one line and has
    // the GUI thread run it; what the line raised ends the connection.
    void IdTCPServer1Execute(fw::net::TIdContext& context);
    // Lines from connections waiting for, or run on, the GUI thread.
    TCommandHandOver& CommandHandOver() { return *hand_over_; }

    void FormCreate();
    void FormShow();
    void FormClose(fw::TCloseAction& action);
    void FormDestroy();
    void FormResize();
    // Draws one frame on DeviceContext.
    void FormPaint();
    void zuForceRepaintTimer();
    void dpLineSweepTimer();

    bool FindDataFolder() { return resources_.FindDataFolder(); }
    bool LoadSettings() { return resources_.LoadSettings(); }
    bool SaveSettings() { return resources_.SaveSettings(); }

    // Mouse, caption bar and menu handlers.
    void FormMouseDown(fw::TMouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseLeave();
    void FormMouseWheel(int wheelDelta, bool& handled);
    void FormDblClick();
    void FormMouseUp() {}
    void KelSmoothPanel1MouseDown(fw::TMouseButton button);
    void KelSmoothPanel1MouseMove();
    void KelSmoothPanel1MouseUp();
    void KelSmoothPanel1DblClick();
    void KelGlowButton10Click();
    void MainMenu1Click();
    void FullScreen1Click();
    void CrossHairs1Click();
    void Grid1Click();
    void SweepLeftRight1Click();
    void SweepTopDown1Click();
    void HideLine1Click();
    void Pause1Click();
    void Close1Click();

    // Styles the popup menu and the Close button for a theme (0 light, 1 dark).
    void ApplyTheme(int theme);
    void ToggleControlPanel();
    void ToggleFullScreen();
    void StartRun();
    // What the keyboard hook does with one notification.
    void HookKey(int code, WPARAM virtualKey, LPARAM keyFlags);

    void ShowStartupInfo();
    void ShowRunPrompt();
    void ConfirmClose();
    void ShowLanguageInvitation();
    void StartUpdater();
    void HideNetworkTab();
    static bool IsWindows6OrLater();

    void InitGL();
    void CreateGLContext();
    void SetupProjection();

    void ResetScanLine();
    void MakeNextStep();
    void ResetScanLineBeforeRun();

    void ApplicationException(fw::TComponent* sender, std::exception_ptr e);

    // The extent of the window along the sweep direction.
    int Extent() const;
    // Frames drawn and sweep ticks handled so far (tests and the benchmark).
    unsigned long FramesDrawn() const { return frames_drawn_; }
    unsigned long SweepTicks() const { return sweep_ticks_; }

protected:
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PaintWindow(HDC dc) override;

private:
    void ModelChanged(TModelChange change);
    // The menu's check marks of the states the control panel's operations change.
    void UpdateMenuChecks();
    void LayoutCaptionBar();
    int RunDialog(const TDisplayDialog& dialog);
    // The sweep timer runs from the first showing to the close, unless
    // paused; the repaint timer draws the frames while it stands.
    // Either one runs, never both.
    void UpdateSweepTimer();
    void DrawRunStartFrame();
    void DrawNormalFrame();
    // Raises "Paint Error" for a new OpenGL error; an error already reported
    // since the last clean frame only ends the frame.
    bool CheckGLError();
    void ReleaseGL();
    void CreateCommandServer();
    // Fails the lines still waiting and closes every connection.
    void StopCommandServer();

    TkynDisplayModel& model_;
    std::shared_ptr<TCommandHandOver> hand_over_;
    HWND command_wake_ = nullptr;  // runs the hand-over's Drain on the GUI thread
    TkynResourceManager resources_;
    int subscription_ = 0;
    unsigned long frames_drawn_ = 0;
    unsigned long sweep_ticks_ = 0;
    unsigned reported_gl_error_ = 0;
    bool shown_ = false;
    bool sweeping_ = false;
    bool frames_on_ = false;
};

extern TkynMainForm* kynMainForm;

// The keyboard hook of the GUI thread.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace kyn
