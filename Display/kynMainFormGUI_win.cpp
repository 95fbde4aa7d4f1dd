// The display form: start-up, OpenGL set-up, frame renderer and sweep timer.
#include "Display/kynMainFormGUI.h"

#include <GL/gl.h>

#include <algorithm>

#include "Display/kynControllerFormGUI.h"
#include "Display/zuOpenGLFunctionsVexa.h"
#include "common/MessageBox.h"
#include "framework/gui/application.h"
#include "framework/gui/screen_cursor.h"

namespace kyn {

TkynMainForm* kynMainForm = nullptr;

using common::ShowMessageBox;
using common::TMessageBoxKind;

namespace {

// Error flags OpenGL can hold at once are few; a context that keeps
// answering must not keep the handler in its loop.
constexpr int kMaxGLErrorsShown = 16;

void DrawSegments(const std::vector<TLineSegment>& lines) {
    glPushMatrix();
    glBegin(GL_LINES);
    for (const auto& l : lines) {
        glVertex3d(l.x1, l.y1, 0.0);
        glVertex3d(l.x2, l.y2, 0.0);
    }
    glEnd();
    glPopMatrix();
}

// Clears the colour and depth buffers to the colour, alpha 1.
void ClearTo(const TDisplayColour& c) {
    glClearColor(static_cast<GLclampf>(c.Red), static_cast<GLclampf>(c.Green), static_cast<GLclampf>(c.Blue), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TDisplayDialogRunner& DialogRunner() {
    static TDisplayDialogRunner runner;
    return runner;
}

void SetPanelLabel(fw::TLabel* label, const std::wstring& text) {
    if (!label) return;
    label->SetCaption(text);
    label->Repaint();
}

}  // namespace

TDisplayDialogRunner SetDisplayDialogRunner(TDisplayDialogRunner runner) {
    TDisplayDialogRunner old = std::move(DialogRunner());
    DialogRunner() = std::move(runner);
    return old;
}

// Every key goes on to its window, whatever the hook did with it.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && kynMainForm) {
        try {
            kynMainForm->HookKey(code, wParam, lParam);
        } catch (...) {
            if (fw::Application) fw::Application->HandleException(kynMainForm, std::current_exception());
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TkynMainForm::TkynMainForm(fw::TComponent* owner, TkynDisplayModel& model)
    : fw::TForm(owner, L"TkynMainForm"), model_(model), resources_(model) {
    kynMainForm = this;
    SetName(L"kynMainForm");
    SetBorderStyle(fw::TFormBorderStyle::bsNone);
    SetFormStyle(fw::TFormStyle::fsStayOnTop);
    SetColor(fw::clScrollBar);
    SetPosition(fw::TPosition::poScreenCenter);
    Font().SetName(L"Tahoma");
    Font().SetHeight(-11);
    SetBounds(0, 0, 320, 240);
    // OpenGL paints every pixel; GDI neither erases nor buffers this window.
    erase_background_ = false;

    zuForceRepaint = new fw::TTimer(this);
    zuForceRepaint->SetName(L"zuForceRepaint");
    zuForceRepaint->SetEnabled(false);
    zuForceRepaint->SetInterval(1);
    zuForceRepaint->OnTimer = [this](fw::TComponent*) { zuForceRepaintTimer(); };
    dpLineSweep = new TSweepTimer(this);
    dpLineSweep->SetName(L"dpLineSweep");
    dpLineSweep->SetInterval(SweepIntervalMs(model_.Settings().SweepRate));
    dpLineSweep->OnTimer = [this](fw::TComponent*) { dpLineSweepTimer(); };
    dpLineSweep->OnFrame = [this](fw::TComponent*) {
        if (frames_on_) FormPaint();
    };
    DrevnikLog1 = new drevnik::TDrevnikLog(this);
    DrevnikLog1->SetName(L"DrevnikLog1");

    // The caption bar, hidden until the pointer comes near the top edge.
    KelSmoothPanel1 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel1->SetName(L"KelSmoothPanel1");
    KelSmoothPanel1->SetVisible(false);
    KelSmoothPanel1->SetTransparent(false);
    KelSmoothPanel1->SetColor(fw::clWhite);
    kel::TGDIPFill& fill = KelSmoothPanel1->Fill();
    fill.SetGradientType(kel::gtVertical);
    fill.SetColor(fw::clWhite);
    fill.SetColorTo(0xE8E8E8);
    fill.SetBorderColor(fw::clWhite);
    fill.SetRounding(3);
    fill.SetShadowOffset(0);
    KelSmoothPanel1->SetParent(this);
    KelSmoothPanel1->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton button, fw::TShiftState, int, int) {
        KelSmoothPanel1MouseDown(button);
    };
    KelSmoothPanel1->OnMouseMove = [this](fw::TComponent*, fw::TShiftState, int, int) { KelSmoothPanel1MouseMove(); };
    KelSmoothPanel1->OnMouseUp = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) {
        KelSmoothPanel1MouseUp();
    };
    KelSmoothPanel1->OnDblClick = [this](fw::TComponent*) { KelSmoothPanel1DblClick(); };
    KelGlowButton10 = new kel::glow::TKelGlowButton(this);
    KelGlowButton10->SetName(L"KelGlowButton10");
    KelGlowButton10->SetCaption(L"Close");
    KelGlowButton10->SetParent(KelSmoothPanel1);
    KelGlowButton10->OnClick = [this](fw::TComponent*) { KelGlowButton10Click(); };
    LayoutCaptionBar();

    KelMenuStyler1 = new kel::menus::TKelMenuStyler(this);
    KelMenuStyler1->SetName(L"KelMenuStyler1");
    KelPopupMenu1 = new kel::menus::TKelPopupMenu(this);
    KelPopupMenu1->SetName(L"KelPopupMenu1");
    KelPopupMenu1->SetMenuStyler(KelMenuStyler1);
    auto addItem = [this](const wchar_t* name, const wchar_t* caption, void (TkynMainForm::*handler)()) {
        auto* item = new fw::TMenuItem(KelPopupMenu1);
        item->SetName(name);
        item->SetCaption(caption);
        if (handler) item->OnClick = [this, handler](fw::TComponent*) { (this->*handler)(); };
        KelPopupMenu1->Items()->Add(item);
        return item;
    };
    MainMenu1 = addItem(L"MainMenu1", L"Main Menu", &TkynMainForm::MainMenu1Click);
    FullScreen1 = addItem(L"FullScreen1", L"Full Screen", &TkynMainForm::FullScreen1Click);
    CrossHairs1 = addItem(L"CrossHairs1", L"Cross Hairs", &TkynMainForm::CrossHairs1Click);
    Grid1 = addItem(L"Grid1", L"Grid", &TkynMainForm::Grid1Click);
    SweepLeftRight1 = addItem(L"SweepLeftRight1", L"Sweep Left-Right", &TkynMainForm::SweepLeftRight1Click);
    SweepTopDown1 = addItem(L"SweepTopDown1", L"Sweep Top-Down", &TkynMainForm::SweepTopDown1Click);
    HideLine1 = addItem(L"HideLine1", L"Hide Scan Line", &TkynMainForm::HideLine1Click);
    Pause1 = addItem(L"Pause1", L"Pause", &TkynMainForm::Pause1Click);
    N1 = addItem(L"N1", L"-", nullptr);
    Close1 = addItem(L"Close1", L"Close", &TkynMainForm::Close1Click);
    SetPopupMenu(KelPopupMenu1);
    UpdateMenuChecks();
    KelTaskDialog1 = new kel::taskdialog::TKelTaskDialog(this);
    KelTaskDialog1->SetName(L"KelTaskDialog1");

    OnMouseDown = [this](fw::TComponent*, fw::TMouseButton button, fw::TShiftState, int x, int y) {
        FormMouseDown(button, x, y);
    };
    OnMouseMove = [this](fw::TComponent*, fw::TShiftState, int x, int y) { FormMouseMove(x, y); };
    OnMouseLeave = [this](fw::TComponent*) { FormMouseLeave(); };
    OnMouseUp = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) { FormMouseUp(); };
    OnDblClick = [this](fw::TComponent*) { FormDblClick(); };
    OnMouseWheel = [this](fw::TComponent*, fw::TShiftState, int wheelDelta, POINT, bool& handled) {
        FormMouseWheel(wheelDelta, handled);
    };
    subscription_ = model_.Subscribe([this](TModelChange change) { ModelChanged(change); });

    OnCreate = [this](fw::TComponent*) { FormCreate(); };
    OnShow = [this](fw::TComponent*) { FormShow(); };
    OnClose = [this](fw::TComponent*, fw::TCloseAction& action) { FormClose(action); };
    OnDestroy = [this](fw::TComponent*) { FormDestroy(); };
    OnResize = [this](fw::TComponent*) { FormResize(); };
    CreateCommandServer();
}

TkynMainForm::~TkynMainForm() {
    StopCommandServer();
    model_.Unsubscribe(subscription_);
    ReleaseGL();
    if (KeyboardHook) UnhookWindowsHookEx(KeyboardHook);
    if (kynMainForm == this) kynMainForm = nullptr;
}

void TkynMainForm::CreateParams(fw::TCreateParams& params) {
    fw::TForm::CreateParams(params);
    // OpenGL needs the window's device context to stay the same.
    params.classStyle |= CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
}

LRESULT TkynMainForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = 320;
        info->ptMinTrackSize.y = 240;
        return 0;
    }
    return fw::TForm::WndProc(msg, wParam, lParam);
}

void TkynMainForm::PaintWindow(HDC /*dc*/) { FormPaint(); }

int TkynMainForm::Extent() const {
    return SweepExtent(model_.Settings().SweepDirection, ClientWidth(), ClientHeight());
}

void TkynMainForm::ModelChanged(TModelChange change) {
    switch (change) {
        case TModelChange::Settings:
        case TModelChange::SweepRate:
            dpLineSweep->SetInterval(SweepIntervalMs(model_.Settings().SweepRate));
            UpdateMenuChecks();
            break;
        case TModelChange::Paused:
            UpdateSweepTimer();
            UpdateMenuChecks();
            break;
        case TModelChange::Figure:
        case TModelChange::SweepDirection:
            UpdateMenuChecks();
            break;
        default:
            break;
    }
}

void TkynMainForm::UpdateMenuChecks() {
    const TSweepState& sweep = model_.Sweep();
    const bool topDown = model_.Settings().SweepDirection == common::sdTopDown;
    CrossHairs1->SetChecked(sweep.CrossHairsOn);
    Grid1->SetChecked(sweep.GridOn);
    HideLine1->SetChecked(!sweep.ScanLineVisible);
    Pause1->SetChecked(sweep.Paused);
    SweepTopDown1->SetChecked(topDown);
    SweepLeftRight1->SetChecked(!topDown);
}

void TkynMainForm::UpdateSweepTimer() {
    dpLineSweep->SetEnabled(sweeping_ && !model_.Sweep().Paused);
    zuForceRepaint->SetEnabled(frames_on_ && !dpLineSweep->Enabled());
}

void TkynMainForm::FormCreate() {
    ShowStartupInfo();
    SetCaption(L"Quorvex Display");
    FindDataFolder();
    KeyboardHook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHookProc, nullptr, GetCurrentThreadId());
    LoadSettings();
}

void TkynMainForm::FormShow() {
    // Only the first showing sets the display up.
    if (shown_) return;
    shown_ = true;
    ApplyTheme(model_.Settings().Theme);
    if (kynControllerForm) {
        kynControllerForm->ShowLanguageFlag(model_.Settings().Language);
        kynControllerForm->ApplyTheme(model_.Settings().Theme);
    }
    model_.SetWindowBounds(0, 0, 320, 240);
    const TGeneralSettings& s = model_.Settings();
    SetBounds(s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight);
    Invalidate();
    if (kynControllerForm) SetPanelLabel(kynControllerForm->Label1, GetVersionText());
    if (fw::Application) {
        fw::Application->OnException = [this](fw::TComponent* sender, std::exception_ptr e) {
            ApplicationException(sender, e);
        };
    }
    InitGL();
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_BLEND);
    // The interval follows the rate through the model from here on.
    dpLineSweep->SetInterval(SweepIntervalMs(model_.Settings().SweepRate));
    frames_on_ = true;
    sweeping_ = true;
    UpdateSweepTimer();
    model_.SetGLReady(true);
    if (kynControllerForm) kynControllerForm->SetSweepDirection(model_.Settings().SweepDirection == common::sdTopDown);
    HideNetworkTab();
}

void TkynMainForm::InitGL() {
    CreateGLContext();
    SetupProjection();
    EnableLights();
    SetAlphaBlendFunc();
    SetupMaterial();
}

void TkynMainForm::CreateGLContext() {
    DeviceContext = GetDC(Handle());
    SetupPixelFormat(DeviceContext);
    RenderContext = wglCreateContext(DeviceContext);
    if (!RenderContext) throw fw::Exception(L"Context Creation Failed " + std::to_wstring(GetLastError()));
    if (!wglMakeCurrent(DeviceContext, RenderContext)) {
        throw fw::Exception(L"Latching Current Context Failed " + std::to_wstring(GetLastError()));
    }
}

void TkynMainForm::SetupProjection() {
    const int w = ClientWidth(), h = ClientHeight();
    if (RenderContext && wglGetCurrentContext() == RenderContext) {
        SetOrthoProjection(-(w / 2), w / 2, -(h / 2), h / 2, -1.2 * w, 1.2 * w);
        SetViewport(0, 0, w, h);
    }
    if (kynControllerForm) {
        SetPanelLabel(kynControllerForm->Label21, std::to_wstring(w) + L" x " + std::to_wstring(h));
    }
}

void TkynMainForm::FormResize() {
    // A resize may come before OpenGL or the control panel exist.
    SetupProjection();
    LayoutCaptionBar();
}

void TkynMainForm::LayoutCaptionBar() {
    // Along the top with margins of 3; the Close button at its right end,
    // 5 pixels from its top and bottom.
    const int width = std::max(ClientWidth() - 6, 0);
    KelSmoothPanel1->SetBounds(3, 3, width, 28);
    KelGlowButton10->SetBounds(std::max(width - 3 - 80, 0), 5, 80, 18);
}

bool TkynMainForm::CheckGLError() {
    GLenum err = glGetError();
    if (err == GL_NO_ERROR) {
        reported_gl_error_ = 0;
        return true;
    }
    LastGLError = static_cast<int>(err);
    if (err == reported_gl_error_) return false;
    reported_gl_error_ = err;
    throw fw::Exception(L"Paint Error\r" + GLErrorText(err));
}

void TkynMainForm::DrawRunStartFrame() {
    const TGeneralSettings& s = model_.Settings();
    ClearTo(s.BackgroundColour);
    if (!CheckGLError()) return;
    SwapBuffers(DeviceContext);
    if (s.StartDelayOn == 1) Sleep(static_cast<DWORD>(s.StartDelayMs));
    if (s.ResetBeforeRun == 1) ResetScanLineBeforeRun();
    // The wait is no time the line should catch up on.
    dpLineSweep->Restart();
    model_.RunServed();
}

void TkynMainForm::DrawNormalFrame() {
    const int w = ClientWidth(), h = ClientHeight();
    const TGeneralSettings& s = model_.Settings();
    const TSweepState& sweep = model_.Sweep();
    if (sweep.GLReady) {
        glLineWidth(static_cast<GLfloat>(s.LineThickness));
        ClearTo(sweep.GridOn ? TDisplayColour{1.0, 1.0, 1.0} : s.BackgroundColour);
        const TDisplayColour& lc = s.LineColour;
        glColor4d(lc.Red, lc.Green, lc.Blue, 1.0);
        switch (FrameFigure(sweep)) {
            case TFigure::Grid:
                glColor4d(0.0, 0.0, 0.0, 1.0);
                DrawSegments(GridLines(w, h, s.GridSpacing));
                break;
            case TFigure::CrossHairs:
                DrawSegments(CrossHairLines(w, h));
                break;
            case TFigure::ScanLine:
                DrawSegments({ScanLine(s.SweepDirection, sweep.SweepPos, w, h)});
                break;
            case TFigure::None:
                break;
        }
        if (!CheckGLError()) return;
    }
    if (kynControllerForm) SetPanelLabel(kynControllerForm->Label20, PositionText(sweep, Extent()));
    if (HDC current = wglGetCurrentDC()) SwapBuffers(current);
    ++frames_drawn_;
}

void TkynMainForm::FormPaint() {
    // Nothing draws once the context is gone (or before it exists).
    if (!RenderContext || wglGetCurrentContext() != RenderContext) return;
    if (model_.Sweep().RunRequested && model_.Sweep().GLReady) {
        DrawRunStartFrame();
    } else {
        DrawNormalFrame();
    }
}

void TkynMainForm::zuForceRepaintTimer() { FormPaint(); }

void TkynMainForm::dpLineSweepTimer() {
    ++sweep_ticks_;
    model_.SweepTick(Extent());
}

void TkynMainForm::ResetScanLine() { model_.ResetScanLine(Extent()); }

void TkynMainForm::MakeNextStep() { model_.MakeNextStep(Extent()); }

void TkynMainForm::ResetScanLineBeforeRun() { model_.ResetScanLine(Extent()); }

void TkynMainForm::ReleaseGL() {
    model_.SetGLReady(false);
    if (RenderContext) {
        if (wglGetCurrentContext() == RenderContext) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(RenderContext);
        RenderContext = nullptr;
    }
    if (DeviceContext) {
        if (HandleAllocated()) ReleaseDC(Handle(), DeviceContext);
        DeviceContext = nullptr;
    }
}

void TkynMainForm::FormClose(fw::TCloseAction& /*action*/) {
    fw::SetScreenCursor(fw::TScreenCursor::crDefault);
    frames_on_ = false;
    sweeping_ = false;
    UpdateSweepTimer();
    ReleaseGL();
    // A failed save shows its box and the close goes on: the program ends.
    SaveSettings();
}

void TkynMainForm::FormDestroy() {
    if (fw::Application) fw::Application->OnException = nullptr;
    if (KeyboardHook) {
        UnhookWindowsHookEx(KeyboardHook);
        KeyboardHook = nullptr;
    }
}

// Every property a dialog may use is set each time, so nothing of one
// dialog (its buttons, say) shows in the next.
int TkynMainForm::RunDialog(const TDisplayDialog& dialog) {
    namespace td = kel::taskdialog;
    if (DialogRunner()) return DialogRunner()(dialog);
    td::TKelTaskDialog& d = *KelTaskDialog1;
    d.SetTitle(dialog.Title);
    d.SetIcon(dialog.Icon == TDialogIcon::Information ? td::tiInformation : td::tiQuestion);
    d.SetInstruction(dialog.Instruction);
    d.SetContent(dialog.Content);
    d.SetExpandedText(dialog.ExpandedText);
    d.SetCollapsControlText(dialog.CollapsControlText);
    d.SetExpandControlText(dialog.ExpandControlText);
    d.SetVerificationText(L"");
    td::TTaskDialogOptions options;
    if (dialog.Hyperlinks) options.Include(td::doHyperlinks);
    d.SetOptions(options);
    d.CustomButtons().Clear();
    for (const std::wstring& caption : dialog.CustomButtons) d.CustomButtons().Add(caption);
    d.SetDefaultButton(dialog.DefaultButton);
    return d.Execute();
}

void TkynMainForm::ApplicationException(fw::TComponent* /*sender*/, std::exception_ptr e) {
    ShowMessageBox(TMessageBoxKind::Plain, fw::ExceptionMessage(e));
    // Without a current context glGetError never reads 0.
    if (wglGetCurrentContext()) {
        for (int i = 0; i < kMaxGLErrorsShown; ++i) {
            GLenum err = glGetError();
            LastGLError = static_cast<int>(err);
            if (err == GL_NO_ERROR) break;
            ShowMessageBox(TMessageBoxKind::Plain, GLErrorText(err));
        }
    }
}

}  // namespace kyn
