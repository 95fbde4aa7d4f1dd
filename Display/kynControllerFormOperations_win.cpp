// The control panel's operations: each changes the display's state through
// the model and shows the new state on the panel's own controls (the
// display form checks its popup menu's items from the model).
#include <algorithm>
#include <string>

#include "Display/kynControlPanelLooks.h"
#include "Display/kynControllerFormGUI.h"
#include "Display/kynThemeApply_win.h"
#include "widgets/buttons/KelOfficeButtons.h"
#include "widgets/editors/KelTrackBar.h"
#include "widgets/pager/KelOfficePager.h"

namespace kyn {

namespace {

void ShowText(fw::TControl* control, const std::wstring& text) {
    control->SetCaption(text);
    control->Repaint();
}

// Sets a flag for the lifetime of the scope, also when it is left by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

// The model keeps thickness, spacing and rate in the ranges the display can
// draw and time; the buttons and the label show the value it kept.
void TkynControllerForm::SetLineThickness(int thickness) {
    model_.SetLineThickness(thickness);
    ShowText(KelGlowButton8, std::to_wstring(model_.Settings().LineThickness));
}

void TkynControllerForm::SetGridSpacing(int spacing) {
    model_.SetGridSpacing(spacing);
    ShowText(KelGlowButton12, std::to_wstring(model_.Settings().GridSpacing));
}

void TkynControllerForm::SetSweepRate(int rate) {
    model_.SetSweepRate(rate);
    ShowText(Label14, L"Sweep Rate " + std::to_wstring(model_.Settings().SweepRate));
}

void TkynControllerForm::KelTrackBar4Change() { SetSweepRate(KelTrackBar4->Position()); }

void TkynControllerForm::ToggleCrossHairs() {
    model_.SetCrossHairsOn(!model_.Sweep().CrossHairsOn);
    KelOfficeCheckBox2->SetChecked(model_.Sweep().CrossHairsOn);
}

void TkynControllerForm::ToggleGrid() {
    model_.SetGridOn(!model_.Sweep().GridOn);
    KelOfficeCheckBox3->SetChecked(model_.Sweep().GridOn);
}

void TkynControllerForm::ToggleScanLine() {
    model_.SetScanLineVisible(!model_.Sweep().ScanLineVisible);
    KelOfficeCheckBox5->SetChecked(!model_.Sweep().ScanLineVisible);
}

void TkynControllerForm::ToggleStartDelay() {
    const TGeneralSettings& s = model_.Settings();
    model_.SetRunOptions(NextRunOption(s.StartDelayOn), s.ResetBeforeRun);
    KelOfficeCheckBox4->SetChecked(model_.Settings().StartDelayOn == 1);
}

void TkynControllerForm::ToggleResetBeforeRun() {
    const TGeneralSettings& s = model_.Settings();
    model_.SetRunOptions(s.StartDelayOn, NextRunOption(s.ResetBeforeRun));
    KelOfficeCheckBox6->SetChecked(model_.Settings().ResetBeforeRun == 1);
}

void TkynControllerForm::SetSweepDirection(bool topDown) {
    model_.SetSweepDirection(topDown ? common::sdTopDown : common::sdLeftRight);
    // Checking the radio runs its click once more, with the same direction.
    (topDown ? KelOfficeRadioButton1 : KelOfficeRadioButton2)->SetChecked(true);
}

void TkynControllerForm::TogglePause() {
    model_.SetPaused(!model_.Sweep().Paused);
    const TPauseText text = PauseText(model_.Sweep().Paused);
    SetFontLook(KelGlowButton9->Font(), text.FontColor, text.Bold);
    KelGlowButton9->SetCaption(text.Caption);
    ApplyPauseLook();
}

void TkynControllerForm::ApplyPauseLook() {
    if (std::optional<TButtonLook> look = PauseLook(model_.Settings().Theme, model_.Sweep().Paused)) {
        ApplyButtonLook(*KelGlowButton9, *look);
    }
    KelGlowButton9->Invalidate();
}

void TkynControllerForm::KelGlowButton9Click() { TogglePause(); }

void TkynControllerForm::KelGlowButton9MouseEnter() {
    if (model_.Sweep().Paused) KelGlowButton9->Font().SetColor(fw::clBlack);
}

void TkynControllerForm::KelGlowButton9MouseLeave() {
    if (model_.Sweep().Paused) KelGlowButton9->Font().SetColor(fw::clWhite);
}

// ---- colours

common::TDisplayColour TkynControllerForm::EntityColour(int entity) const {
    return entity == 1 ? model_.Settings().BackgroundColour : model_.Settings().LineColour;
}

void TkynControllerForm::SetEntityColour(int entity, const common::TDisplayColour& colour) {
    if (entity == 1) {
        model_.SetBackgroundColour(colour);
    } else {
        model_.SetLineColour(colour);
    }
}

void TkynControllerForm::Background1Click() { ChooseEntity(1); }

void TkynControllerForm::ScanLine1Click() { ChooseEntity(2); }

void TkynControllerForm::ChooseEntity(int entity) {
    ColourEntity = entity;
    ShowText(KelGlowButton7, entity == 1 ? L"Background" : L"Scan Line");
    common::TDisplayColour colour = EntityColour(entity);
    kel::TKelOfficeRadioButton* radios[] = {KelOfficeRadioButton3, KelOfficeRadioButton4, KelOfficeRadioButton5};
    if (colour.Choice < 1 || colour.Choice > 3) return;
    {
        // The click this check raises is the panel's own, not the user's.
        FlagScope suppress(SuppressRadioClick);
        radios[colour.Choice - 1]->SetChecked(true);
    }
    ApplyColourRule(colour, colour.Choice, colour.Contrast);
    SetEntityColour(entity, colour);
    ShowContrast(colour.Contrast);
}

void TkynControllerForm::ShowContrast(double contrast) {
    KelTrackBar1->SetPosition(ContrastPosition(contrast));
    ShowText(Label10, L"Contrast " + std::to_wstring(KelTrackBar1->Position()));
}

void TkynControllerForm::KelOfficeRadioButton3Click() { ColourRadioClicked(common::ccBlack); }
void TkynControllerForm::KelOfficeRadioButton4Click() { ColourRadioClicked(common::ccWhite); }
void TkynControllerForm::KelOfficeRadioButton5Click() { ColourRadioClicked(common::ccGreen); }

void TkynControllerForm::ColourRadioClicked(int choice) {
    if (SuppressRadioClick) return;
    if (ColourEntity != 1 && ColourEntity != 2) return;
    common::TDisplayColour colour = EntityColour(ColourEntity);
    ApplyColourRule(colour, choice, colour.Contrast);
    // The choice is stored with the colour, before the slider moves: a slider
    // change recolours by the stored choice, which must be the new one.
    colour.Choice = choice;
    SetEntityColour(ColourEntity, colour);
    ShowContrast(colour.Contrast);
}

void TkynControllerForm::KelTrackBar1Change() {
    const int position = KelTrackBar1->Position();
    ShowText(Label10, L"Contrast " + std::to_wstring(position));
    if (ColourEntity != 1 && ColourEntity != 2) return;
    common::TDisplayColour colour = EntityColour(ColourEntity);
    if (colour.Choice < 1 || colour.Choice > 3) return;
    colour.Contrast = position / 255.0;
    ApplyColourRule(colour, colour.Choice, colour.Contrast);
    SetEntityColour(ColourEntity, colour);
}

// ---- showing

void TkynControllerForm::FormShow() {
    // The Info page's sub-pager fills its page below the version panel.
    const RECT page = KelOfficePage3->ClientRect();
    KelOfficePager2->SetBounds(0, 94, page.right - page.left, std::max<int>(page.bottom - page.top - 94, 0));
    SelectTab(1);
    SelectInfoPage(1);
    Image2->SetLeft(KelOfficePager1->Width() - Image2->Width() - 8);
    Image3->SetLeft(Image2->Left() - Image3->Width() - 3);
    const TGeneralSettings& s = model_.Settings();
    ShowText(KelGlowButton8, std::to_wstring(s.LineThickness));
    ShowText(KelGlowButton12, std::to_wstring(s.GridSpacing));
    KelTrackBar4->SetPosition(s.SweepRate);
    SetSweepRate(KelTrackBar4->Position());
    KelOfficeCheckBox4->SetChecked(model_.Settings().StartDelayOn == 1);
    KelOfficeCheckBox6->SetChecked(model_.Settings().ResetBeforeRun == 1);
    KelEdit1->SetText(model_.Settings().ServerIP);
    KelEdit2->SetText(std::to_wstring(model_.Settings().ServerPort));
}

}  // namespace kyn
