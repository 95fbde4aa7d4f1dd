// The control panel form.
#include "Display/kynControllerFormGUI.h"


namespace kyn {

TkynControllerForm* kynControllerForm = nullptr;

TkynControllerForm::TkynControllerForm(fw::TComponent* owner, TkynDisplayModel& model)
    : fw::TForm(owner, L"TkynControllerForm"), model_(model) {
    kynControllerForm = this;
    SetCaption(L"Quorvex Panel");
    SetBorderStyle(fw::TFormBorderStyle::bsNone);
    SetBounds(0, 0, 360, 120);
    Label1 = new fw::TLabel(this);
    Label1->SetName(L"Label1");
    Label1->SetParent(this);
    Label1->SetBounds(12, 12, 200, 14);
    Label20 = new fw::TLabel(this);
    Label20->SetName(L"Label20");
    Label20->SetParent(this);
    Label20->SetBounds(12, 36, 200, 14);
    Label21 = new fw::TLabel(this);
    Label21->SetName(L"Label21");
    Label21->SetParent(this);
    Label21->SetBounds(12, 60, 200, 14);
    KelGlowButton2 = new kel::glow::TKelGlowButton(this);
    KelGlowButton2->SetName(L"KelGlowButton2");
    KelGlowButton2->SetCaption(L"Network");
    KelGlowButton2->SetParent(this);
    KelGlowButton2->SetBounds(12, 84, 80, 22);
}

TkynControllerForm::~TkynControllerForm() {
    if (kynControllerForm == this) kynControllerForm = nullptr;
}

void TkynControllerForm::ShowLanguageFlag(int /*language*/) {}

void TkynControllerForm::ApplyTheme(int /*theme*/) {}

void TkynControllerForm::SetSweepDirection(bool topDown) {
    model_.SetSweepDirection(topDown ? common::sdTopDown : common::sdLeftRight);
}

}  // namespace kyn

namespace kyn {

void TkynControllerForm::ToggleCrossHairs() { model_.SetCrossHairsOn(!model_.Sweep().CrossHairsOn); }

void TkynControllerForm::ToggleGrid() { model_.SetGridOn(!model_.Sweep().GridOn); }

void TkynControllerForm::ToggleScanLine() { model_.SetScanLineVisible(!model_.Sweep().ScanLineVisible); }

void TkynControllerForm::TogglePause() { model_.SetPaused(!model_.Sweep().Paused); }

}  // namespace kyn
