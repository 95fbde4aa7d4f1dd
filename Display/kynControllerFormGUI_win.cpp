// The control panel form.
#include "Display/kynControllerFormGUI.h"

#include "common/GeneralSettings.h"

namespace kyn {

TkynControllerForm* kynControllerForm = nullptr;

TkynControllerForm::TkynControllerForm(fw::TComponent* owner, TkynDisplayModel& model)
    : fw::TForm(owner, L"TkynControllerForm"), model_(model) {
    kynControllerForm = this;
    SetCaption(L"Quorvex Panel");
    SetBorderStyle(fw::TFormBorderStyle::bsNone);
    SetBounds(0, 0, 335, 498);
    auto label = [this](const wchar_t* name, int top) {
        auto* l = new fw::TLabel(this);
        l->SetName(name);
        l->SetParent(this);
        l->SetBounds(12, top, 200, 14);
        return l;
    };
    Label1 = label(L"Label1", 12);
    Label20 = label(L"Label20", 36);
    Label21 = label(L"Label21", 60);
    auto button = [this](const wchar_t* name, const wchar_t* caption, int top) {
        auto* b = new kel::glow::TKelGlowButton(this);
        b->SetName(name);
        b->SetCaption(caption);
        b->SetParent(this);
        b->SetBounds(12, top, 80, 22);
        return b;
    };
    KelGlowButton2 = button(L"KelGlowButton2", L"Control", 84);
    auto edit = [this](const wchar_t* name, const wchar_t* text, int top) {
        auto* e = new kel::TKelEdit(this);
        e->SetName(name);
        e->SetParent(this);
        e->SetBounds(12, top, 120, 21);
        e->SetText(text);
        return e;
    };
    KelEdit1 = edit(L"KelEdit1", L"127.0.0.1", 110);
    KelEdit2 = edit(L"KelEdit2", L"5555", 134);
    KelEdit3 = edit(L"KelEdit3", L"My PC", 158);
    KelGlowButton13 = button(L"KelGlowButton13", L"Apply", 184);
    KelGlowButton13->OnClick = [this](fw::TComponent*) { KelGlowButton13Click(); };
    KelGlowButton14 = button(L"KelGlowButton14", L"Auto Detect", 210);
    KelGlowButton14->OnClick = [this](fw::TComponent*) { KelGlowButton14Click(); };
}

TkynControllerForm::~TkynControllerForm() {
    if (kynControllerForm == this) kynControllerForm = nullptr;
}

void TkynControllerForm::CreateParams(fw::TCreateParams& params) { fw::TForm::CreateParams(params); }

void TkynControllerForm::SetLineThickness(int thickness) { model_.SetLineThickness(thickness); }
void TkynControllerForm::SetGridSpacing(int spacing) { model_.SetGridSpacing(spacing); }
void TkynControllerForm::SetSweepRate(int rate) { model_.SetSweepRate(rate); }
void TkynControllerForm::ToggleCrossHairs() { model_.SetCrossHairsOn(!model_.Sweep().CrossHairsOn); }
void TkynControllerForm::ToggleGrid() { model_.SetGridOn(!model_.Sweep().GridOn); }
void TkynControllerForm::ToggleScanLine() { model_.SetScanLineVisible(!model_.Sweep().ScanLineVisible); }
void TkynControllerForm::ToggleStartDelay() {
    const auto& s = model_.Settings();
    model_.SetRunOptions(s.StartDelayOn == 1 ? -1 : 1, s.ResetBeforeRun);
}
void TkynControllerForm::ToggleResetBeforeRun() {
    const auto& s = model_.Settings();
    model_.SetRunOptions(s.StartDelayOn, s.ResetBeforeRun == 1 ? -1 : 1);
}
void TkynControllerForm::SetSweepDirection(bool topDown) {
    model_.SetSweepDirection(topDown ? common::sdTopDown : common::sdLeftRight);
}
void TkynControllerForm::TogglePause() { model_.SetPaused(!model_.Sweep().Paused); }
void TkynControllerForm::ApplyTheme(int /*theme*/) {}
void TkynControllerForm::ShowLanguageFlag(int /*language*/) {}
void TkynControllerForm::SelectTab(int /*n*/) {}
void TkynControllerForm::SelectInfoPage(int /*n*/) {}
void TkynControllerForm::FormShow() {}
void TkynControllerForm::FormCreate() {}

}  // namespace kyn
