// The control panel's tabs, themes and language flag.
#include "Display/kynControlPanelLooks.h"
#include "Display/kynControllerFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "Display/kynThemeApply_win.h"
#include "framework/gui/image_list.h"
#include "widgets/buttons/KelOfficeButtons.h"
#include "widgets/buttons/KelSmoothPanel.h"
#include "widgets/editors/KelTrackBar.h"
#include "widgets/pager/KelOfficePager.h"
#include "widgets/pager/KelOfficePagerStyler.h"

namespace kyn {

namespace {

using kel::glow::TKelGlowButton;

// Sizes, places and colours a row of three tab buttons, raising the n-th.
void LayOutTabs(TKelGlowButton* (&buttons)[3], int n, int theme, bool repaintEach, TKelGlowButton* configure) {
    for (TKelGlowButton* b : buttons) {
        // A hidden tab (the Network tab) keeps the width it was given, so it
        // leaves no gap in the row.
        if (b->Visible()) b->UpdateAutoSize();
        if (repaintEach) b->Repaint();
    }
    buttons[1]->SetLeft(buttons[0]->Left() + buttons[0]->Width() + 3);
    buttons[2]->SetLeft(buttons[1]->Left() + buttons[1]->Width() + 3);
    if (std::optional<TButtonLook> look = TabLook(theme)) {
        for (TKelGlowButton* b : buttons) ApplyButtonLook(*b, *look);
    }
    for (TKelGlowButton* b : buttons) b->SetBounds(b->Left(), kTabPlace.Top, b->Width(), kTabPlace.Height);
    if (n < 1 || n > 3) return;
    TKelGlowButton* raised = buttons[n - 1];
    const std::optional<TTabPlace> place = SelectedTabPlace(theme);
    const std::optional<TButtonLook> look = SelectedTabLook(theme, raised == configure);
    if (!place || !look) return;
    ApplyButtonLook(*raised, *look);
    raised->SetBounds(raised->Left(), place->Top, raised->Width(), place->Height);
    if (repaintEach) raised->Repaint();
}

}  // namespace

void TkynControllerForm::SelectTab(int n) {
    TKelGlowButton* buttons[3] = {KelGlowButton1, KelGlowButton2, KelGlowButton3};
    kel::pager::TKelOfficePage* pages[3] = {KelOfficePage1, KelOfficePage2, KelOfficePage3};
    if (n >= 1 && n <= 3) KelOfficePager1->SetActivePage(pages[n - 1]);
    LayOutTabs(buttons, n, model_.Settings().Theme, false, KelGlowButton1);
}

void TkynControllerForm::SelectInfoPage(int n) {
    TKelGlowButton* buttons[3] = {KelGlowButton4, KelGlowButton5, KelGlowButton6};
    kel::pager::TKelOfficePage* pages[3] = {KelOfficePage4, KelOfficePage5, KelOfficePage6};
    if (n >= 1 && n <= 3) KelOfficePager2->SetActivePage(pages[n - 1]);
    LayOutTabs(buttons, n, model_.Settings().Theme, true, nullptr);
}

void TkynControllerForm::ShowLanguageFlag(int language) {
    const TFlagChange change = LanguageFlag(language, LangImageList->Count());
    if (change.Keep) return;
    Image2->ClearPicture();
    if (change.Picture >= 0) Image2->ShowListImage(*LangImageList, change.Picture);
}

void TkynControllerForm::Image3Click() {
    const int theme = NextTheme(model_.Settings().Theme);
    model_.SetTheme(theme);
    if (kynMainForm) kynMainForm->ApplyTheme(theme);
    ApplyTheme(theme);
    kel::pager::TKelOfficePage* page = KelOfficePager1->ActivePage();
    if (page == KelOfficePage1) SelectTab(1);
    if (page == KelOfficePage2) SelectTab(2);
    if (page == KelOfficePage3) SelectTab(3);
    page = KelOfficePager2->ActivePage();
    if (page == KelOfficePage4) SelectInfoPage(1);
    if (page == KelOfficePage5) SelectInfoPage(2);
    if (page == KelOfficePage6) SelectInfoPage(3);
}

void TkynControllerForm::ActionButtonMouseEnter(TKelGlowButton* button) {
    if (model_.Settings().Theme != common::thDark) return;
    button->Font().SetColor(fw::clBlack);
    button->SetBorderStyle(kel::glow::bsNone);
}

void TkynControllerForm::ActionButtonMouseLeave(TKelGlowButton* button) {
    if (model_.Settings().Theme != common::thDark) return;
    button->Font().SetColor(fw::clWhite);
    button->SetBorderStyle(kel::glow::bsNone);
}

void TkynControllerForm::ApplyTheme(int theme) {
    const std::optional<TPanelTheme> found = PanelTheme(theme);
    if (!found) return;
    const TPanelTheme& t = *found;

    for (kel::TKelSmoothPanel* p : {KelSmoothPanel3, KelSmoothPanel4, KelSmoothPanel5, KelSmoothPanel6, KelSmoothPanel7,
                                    KelSmoothPanel8}) {
        kel::TGDIPFill& f = p->Fill();
        f.SetBorderColor(t.FillBorder);
        f.SetColor(t.FillColor);
        f.SetColorTo(t.FillColorTo);
        f.SetColorMirror(t.FillMirror);
        f.SetColorMirrorTo(t.FillMirrorTo);
        kel::TKelSmoothPanelCaption& c = p->Caption();
        c.SetColorStart(t.CaptionStart);
        c.SetColorEnd(t.CaptionEnd);
        c.SetLineColor(t.CaptionLine);
        SetFontLook(c.Font(), c.Font().Color(), t.CaptionBold);
        c.Changed();
    }

    for (TKelGlowButton* b : {KelGlowButton7, KelGlowButton8, KelGlowButton12}) {
        b->SetParentFont(false);
        ApplyButtonLook(*b, ButtonLook(t.DropDownButtons));
        SetFontLook(b->Font(), t.ButtonFontColor, true);
    }
    for (TKelGlowButton* b : {KelGlowButton9, KelGlowButton14}) {
        TButtonLook look = ButtonLook(t.PlainButtons);
        look.FontColor.reset();
        look.FontBold.reset();
        ApplyButtonLook(*b, look);
    }
    for (TKelGlowButton* b : {KelGlowButton10, KelGlowButton11, KelGlowButton13}) {
        b->SetParentFont(false);
        ApplyButtonLook(*b, ButtonLook(t.ActionButtons));
        if (t.ActionButtons == TLook::LightButton) SetFontLook(b->Font(), t.ButtonFontColor, true);
    }

    kel::pager::TKelOfficePagerOfficeStyler& styler = *KelOfficePagerOfficeStyler1;
    kel::pager::TVistaBackground& page = styler.PageAppearance();
    page.SetBorderColor(t.PageBorder);
    page.SetColor(t.PageColor);
    page.SetColorTo(t.PageColor);
    page.SetColorMirror(t.PageColor);
    page.SetColorMirrorTo(t.PageColor);
    kel::pager::TTabAppearance& tabs = styler.TabAppearance();
    tabs.BackGround().SetColor(t.TabBackground);
    tabs.BackGround().SetColorTo(t.TabBackground);
    tabs.SetTextColor(t.TabText);
    tabs.SetTextColorHot(t.TabTextHot);
    tabs.SetTextColorSelected(t.TabTextSelected);
    tabs.SetTextColorDisabled(t.TabTextDisabled);
    tabs.Font().SetStyle(kel::pager::fsBold);
    tabs.SetShadowColor(fw::clNone);
    constexpr TColor white = fw::clWhite;
    tabs.SetColorHot(white);
    tabs.SetColorHotTo(white);
    tabs.SetColorMirrorHot(white);
    tabs.SetColorMirrorHotTo(white);
    tabs.SetBorderColorHot(white);
    tabs.SetHighLightColor(white);
    tabs.SetHighLightColorHot(white);
    tabs.SetHighLightColorDown(white);
    tabs.SetHighLightColorSelectedHot(white);
    tabs.SetColorSelected(white);
    tabs.SetColorSelectedTo(white);
    tabs.SetColorMirrorSelected(white);
    tabs.SetColorMirrorSelectedTo(white);
    tabs.SetBorderColorSelected(t.TabSelectedBorder);
    tabs.SetBorderColorSelectedHot(t.TabSelectedHotBorder);

    if (std::optional<TMenuTheme> menu = DropDownMenuTheme(theme)) ApplyMenuTheme(*ComboBoxMenuStyler, *menu);

    for (fw::TLabel* l : {Label2, Label4, Label9, Label15, Label16}) {
        l->Font().SetColor(t.TitleColor);
        l->Invalidate();
    }
    for (fw::TMemo* m : {Memo1, Memo2, Memo3}) {
        m->Font().SetColor(t.TitleColor);
        m->SetColor(t.MemoBackground);
        m->Invalidate();
    }
    for (fw::TLabel* l : {Label5, Label6, Label7, Label8, Label10, Label11, Label13, Label14, Label17, Label18, Label19,
                          Label20, Label21, Label22, Label23}) {
        l->SetParentFont(false);
        SetFontLook(l->Font(), t.LabelColor, t.LabelBold);
        // A bold caption is wider: size the label to it again.
        l->SetAutoSize(true);
        l->Invalidate();
    }
    for (fw::TControl* c : std::initializer_list<fw::TControl*>{
             KelOfficeCheckBox1, KelOfficeCheckBox2, KelOfficeCheckBox3, KelOfficeCheckBox4, KelOfficeCheckBox5,
             KelOfficeCheckBox6, KelOfficeRadioButton1, KelOfficeRadioButton2, KelOfficeRadioButton3,
             KelOfficeRadioButton4, KelOfficeRadioButton5}) {
        c->SetParentFont(false);
        SetFontLook(c->Font(), t.LabelColor, t.LabelBold);
        c->Invalidate();
    }

    for (kel::trackbar::TKelTrackBar* s : {KelTrackBar1, KelTrackBar4}) {
        // Transparency is taken again over the colour "none".
        s->SetTransparent(false);
        s->SetColor(fw::clNone);
        s->SetTransparent(true);
        kel::trackbar::TTrackBarSlider& bar = s->Slider();
        bar.SetSize(t.SliderSize);
        bar.SetOffset(t.SliderOffset);
        bar.SetBorderColor(t.SliderBorder);
        bar.SetColorCompleted(t.SliderCompleted);
        bar.SetColorCompletedTo(t.SliderCompletedTo);
        s->Invalidate();
    }
    Bevel1->SetHeight(t.BevelExtent);
    Bevel2->SetWidth(t.BevelExtent);

    if (model_.Sweep().Paused) ApplyPauseLook();
    Invalidate();
}

}  // namespace kyn
