// The control panel form: its frame, pages and controls, as its form
// resource lays them out, and the handlers bound to them.
#include "Display/kynControllerFormGUI.h"

#include "Display/kynControlPanelPictures_win.h"
#include "Display/kynControlPanelTexts.h"
#include "Display/kynMainFormGUI.h"
#include "framework/gui/image_list.h"
#include "framework/gui/menus.h"
#include "widgets/buttons/KelMenuStyler.h"
#include "widgets/buttons/KelOfficeButtons.h"
#include "widgets/buttons/KelPopupMenu.h"
#include "widgets/buttons/KelSmoothPanel.h"
#include "widgets/editors/KelTrackBar.h"
#include "widgets/pager/KelOfficePager.h"
#include "widgets/pager/KelOfficePagerStyler.h"

namespace kyn {

TkynControllerForm* kynControllerForm = nullptr;

namespace {

using kel::glow::TKelGlowButton;

template <class T>
T* Make(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name, int x, int y, int w, int h) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
}

fw::TLabel* MakeLabel(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name, const wchar_t* caption,
                      int x, int y, bool bold = false) {
    auto* l = Make<fw::TLabel>(owner, parent, name, x, y, 65, 13);
    l->SetCaption(caption);
    if (bold) {
        l->SetParentFont(false);
        l->Font().SetStyle(fw::fsBold);
    }
    return l;
}

// A section panel: white to light grey, silver border, a black shadow.
kel::TKelSmoothPanel* MakeSection(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name, int x, int y,
                                  int w, int h) {
    auto* p = Make<kel::TKelSmoothPanel>(owner, parent, name, x, y, w, h);
    kel::TGDIPFill& f = p->Fill();
    f.SetColor(fw::clWhite);
    f.SetColorTo(0xD6D6D6);
    f.SetColorMirror(fw::clNone);
    f.SetColorMirrorTo(fw::clNone);
    f.SetGradientType(kel::gtVertical);
    f.SetBorderColor(fw::clSilver);
    f.SetRounding(3);
    f.SetShadowColor(fw::clBlack);
    f.SetShadowOffset(3);
    return p;
}

TKelGlowButton* MakeButton(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name, const wchar_t* caption,
                           int x, int y, int w, int h) {
    auto* b = Make<TKelGlowButton>(owner, parent, name, x, y, w, h);
    b->SetCaption(caption);
    return b;
}

kel::TKelOfficeCheckBox* MakeCheck(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name,
                                   const wchar_t* caption, int x, int y, int w) {
    auto* c = Make<kel::TKelOfficeCheckBox>(owner, parent, name, x, y, w, 17);
    c->SetCaption(caption);
    return c;
}

kel::TKelOfficeRadioButton* MakeRadio(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name,
                                      const wchar_t* caption, int x, int y, int w) {
    auto* r = Make<kel::TKelOfficeRadioButton>(owner, parent, name, x, y, w, 17);
    r->SetCaption(caption);
    return r;
}

kel::TKelEdit* MakeEdit(fw::TComponent* owner, fw::TWinControl* parent, const wchar_t* name, const wchar_t* text, int x,
                        int y, int w) {
    auto* e = Make<kel::TKelEdit>(owner, parent, name, x, y, w, 21);
    e->SetText(text);
    return e;
}

fw::TMenuItem* AddItem(fw::TPopupMenu* menu, const wchar_t* name, const wchar_t* caption, std::function<void()> click) {
    auto* item = new fw::TMenuItem(menu);
    item->SetName(name);
    item->SetCaption(caption);
    item->OnClick = [click = std::move(click)](fw::TComponent*) { click(); };
    menu->Items()->Add(item);
    return item;
}

// A glow button that opens its menu when pressed.
void GiveDropDown(TKelGlowButton* button, fw::TPopupMenu* menu) {
    button->SetDropDownButton(true);
    button->SetDropDownSplit(false);
    button->SetDropDownMenu(menu);
}

kel::pager::TKelOfficePage* MakePage(kel::pager::TKelOfficePager* pager, const wchar_t* name, const wchar_t* caption) {
    auto* page = new kel::pager::TKelOfficePage(pager);
    page->SetName(name);
    page->SetCaption(caption);
    page->SetTabVisible(false);
    page->SetPager(pager);
    return page;
}

}  // namespace

TkynControllerForm::TkynControllerForm(fw::TComponent* owner, TkynDisplayModel& model)
    : fw::TForm(owner, L"TkynControllerForm"), model_(model) {
    kynControllerForm = this;
    SetName(L"kynControllerForm");
    SetCaption(L"Main Menu");
    SetBorderStyle(fw::TFormBorderStyle::bsNone);
    SetFormStyle(fw::TFormStyle::fsStayOnTop);
    SetPosition(fw::TPosition::poScreenCenter);
    Font().SetName(L"Tahoma");
    Font().SetHeight(-11);
    SetClientSize(335, 498);

    BuildFrame();
    BuildControllerPage();
    BuildNetworkPage();
    BuildInfoPage();

    OnCreate = [this](fw::TComponent*) { FormCreate(); };
    OnShow = [this](fw::TComponent*) { FormShow(); };
}

TkynControllerForm::~TkynControllerForm() {
    if (kynControllerForm == this) kynControllerForm = nullptr;
}

void TkynControllerForm::CreateParams(fw::TCreateParams& params) {
    fw::TForm::CreateParams(params);
    SetDropShadowClassStyle(params);
}

void TkynControllerForm::SetDropShadowClassStyle(fw::TCreateParams& params) { params.classStyle |= CS_DROPSHADOW; }

void TkynControllerForm::SetRoundedRegion(HWND window, const RECT& rect, int cornerSize) {
    HRGN region = cornerSize > 0
                      ? CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, cornerSize, cornerSize)
                      : CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    // The window owns the region from here on.
    if (!SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

void TkynControllerForm::FormCreate() {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    SetRoundedRegion(Handle(), client, 5);
}

void TkynControllerForm::BuildFrame() {
    KelSmoothPanel1 = Make<kel::TKelSmoothPanel>(this, this, L"KelSmoothPanel1", 0, 0, 335, 498);
    KelSmoothPanel1->SetAlign(fw::TAlign::alClient);
    kel::TGDIPFill& frame = KelSmoothPanel1->Fill();
    frame.SetColor(0x333333);
    frame.SetColorTo(fw::clBlack);
    frame.SetColorMirror(fw::clNone);
    frame.SetColorMirrorTo(fw::clNone);
    frame.SetGradientType(kel::gtVertical);
    frame.SetBorderColor(fw::clSilver);
    frame.SetBorderWidth(2);
    frame.SetRounding(3);
    frame.SetShadowOffset(0);
    KelSmoothPanel1->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton b, fw::TShiftState, int, int) {
        if (b == fw::TMouseButton::mbLeft) StartDrag();
    };

    Label3 = MakeLabel(this, KelSmoothPanel1, L"Label3", L"Main Menu", 6, 2, true);
    Label3->Font().SetColor(fw::clWhite);
    Label3->Font().SetHeight(-13);
    Label3->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton b, fw::TShiftState, int, int) {
        if (b == fw::TMouseButton::mbLeft) StartDrag();
    };

    ButtonImageList = new fw::TImageList(this, 18, 12);
    ButtonImageList->SetName(L"ButtonImageList");
    AddCloseImages(*ButtonImageList);
    TopBarImageList1 = new fw::TImageList(this, 22, 16);
    TopBarImageList1->SetName(L"TopBarImageList1");
    AddThemeImages(*TopBarImageList1);
    LangImageList = new fw::TImageList(this, 22, 16);
    LangImageList->SetName(L"LangImageList");
    AddFlagImages(*LangImageList);

    Image1 = Make<fw::TImage>(this, KelSmoothPanel1, L"Image1", 307, 4, 18, 12);
    Image1->SetHint(L"Close");
    Image1->SetShowHint(true);
    Image1->ShowListImage(*ButtonImageList, 0);
    Image1->OnMouseEnter = [this](fw::TComponent*) { Image1->ShowListImage(*ButtonImageList, 1); };
    Image1->OnMouseLeave = [this](fw::TComponent*) { Image1->ShowListImage(*ButtonImageList, 0); };
    Image1->OnClick = [this](fw::TComponent*) { Image1Click(); };

    KelOfficePagerOfficeStyler1 = new kel::pager::TKelOfficePagerOfficeStyler(this);
    KelOfficePagerOfficeStyler1->SetName(L"KelOfficePagerOfficeStyler1");
    KelOfficePager1 = Make<kel::pager::TKelOfficePager>(this, KelSmoothPanel1, L"KelOfficePager1", 9, 24, 335 - 18,
                                                        498 - 24 - 9);
    KelOfficePager1->SetKelOfficePagerStyler(KelOfficePagerOfficeStyler1);
    KelOfficePager1->SetAntiAlias(kel::pager::aaNone);
    KelOfficePager1->SetShowShortCutHints(false);
    KelOfficePager1->TabSettings().SetStartMargin(9);
    KelOfficePager1->TabSettings().SetRightMargin(6);
    KelOfficePage1 = MakePage(KelOfficePager1, L"KelOfficePage1", L"Controller");
    KelOfficePage2 = MakePage(KelOfficePager1, L"KelOfficePage2", L"Network");
    KelOfficePage3 = MakePage(KelOfficePager1, L"KelOfficePage3", L"Info");
    KelOfficePager1->SetActivePage(KelOfficePage1);

    auto tab = [this](const wchar_t* name, const wchar_t* caption, int x, kel::pager::TKelOfficePager* pager, int top) {
        TKelGlowButton* b = MakeButton(this, pager, name, caption, x, top, 70, 22);
        b->SetParentFont(false);
        b->Font().SetStyle(fw::fsBold);
        b->SetAutoSize(true);
        return b;
    };
    KelGlowButton1 = tab(L"KelGlowButton1", L"Configure", 9, KelOfficePager1, 4);
    KelGlowButton2 = tab(L"KelGlowButton2", L"Control", 90, KelOfficePager1, 4);
    KelGlowButton3 = tab(L"KelGlowButton3", L"Info", 170, KelOfficePager1, 4);
    KelGlowButton1->OnClick = [this](fw::TComponent*) { SelectTab(1); };
    KelGlowButton2->OnClick = [this](fw::TComponent*) { SelectTab(2); };
    KelGlowButton3->OnClick = [this](fw::TComponent*) {
        SelectTab(3);
        SelectInfoPage(1);
    };

    Image3 = Make<fw::TImage>(this, KelOfficePager1, L"Image3", 250, 5, 22, 16);
    Image3->SetHint(L"Toggle Theme");
    Image3->SetShowHint(true);
    Image3->ShowListImage(*TopBarImageList1, 0);
    Image3->OnMouseEnter = [this](fw::TComponent*) { Image3->ShowListImage(*TopBarImageList1, 1); };
    Image3->OnMouseLeave = [this](fw::TComponent*) { Image3->ShowListImage(*TopBarImageList1, 0); };
    Image3->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) {
        Image3->ShowListImage(*TopBarImageList1, 2);
    };
    Image3->OnMouseUp = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) {
        Image3->ShowListImage(*TopBarImageList1, 0);
    };
    Image3->OnClick = [this](fw::TComponent*) { Image3Click(); };
    Image2 = Make<fw::TImage>(this, KelOfficePager1, L"Image2", 275, 5, 22, 16);
    Image2->SetHint(L"Set Language");
    Image2->SetShowHint(true);
    Image2->OnClick = [this](fw::TComponent*) { Image2Click(); };

    LangPopupMenu = new kel::menus::TKelPopupMenu(this);
    LangPopupMenu->SetName(L"LangPopupMenu");
    LangPopupMenu->SetImages(LangImageList);
    if (kynMainForm) LangPopupMenu->SetMenuStyler(kynMainForm->KelMenuStyler1);
    XX1 = AddItem(LangPopupMenu, L"XX1", L"XX", [this] { XX1Click(); });
    US1 = AddItem(LangPopupMenu, L"US1", L"US", [this] { US1Click(); });
    NL1 = AddItem(LangPopupMenu, L"NL1", L"NL", [this] { NL1Click(); });
    XX1->SetImageIndex(0);
    US1->SetImageIndex(1);
    NL1->SetImageIndex(2);

    ComboBoxMenuStyler = new kel::menus::TKelMenuStyler(this);
    ComboBoxMenuStyler->SetName(L"ComboBoxMenuStyler");
}

void TkynControllerForm::BuildControllerPage() {
    fw::TWinControl* page = KelOfficePage1;

    // Visual Tactic: colours, contrast, thickness, grid spacing, figures.
    KelSmoothPanel4 = MakeSection(this, page, L"KelSmoothPanel4", 6, 9, 305, 162);
    Label2 = MakeLabel(this, KelSmoothPanel4, L"Label2", L"Visual Tactic", 6, 2, true);
    Label5 = MakeLabel(this, KelSmoothPanel4, L"Label5", L"Colour of", 12, 28);
    ColorEntityPopupMenu = new kel::menus::TKelPopupMenu(this);
    ColorEntityPopupMenu->SetName(L"ColorEntityPopupMenu");
    ColorEntityPopupMenu->SetMenuStyler(ComboBoxMenuStyler);
    Background1 = AddItem(ColorEntityPopupMenu, L"Background1", L"Background", [this] { Background1Click(); });
    ScanLine1 = AddItem(ColorEntityPopupMenu, L"ScanLine1", L"Line", [this] { ScanLine1Click(); });
    KelGlowButton7 = MakeButton(this, KelSmoothPanel4, L"KelGlowButton7", L"Select", 100, 24, 100, 22);
    GiveDropDown(KelGlowButton7, ColorEntityPopupMenu);
    KelOfficeRadioButton3 = MakeRadio(this, KelSmoothPanel4, L"KelOfficeRadioButton3", L"Black", 12, 54, 70);
    KelOfficeRadioButton4 = MakeRadio(this, KelSmoothPanel4, L"KelOfficeRadioButton4", L"White", 100, 54, 70);
    KelOfficeRadioButton5 = MakeRadio(this, KelSmoothPanel4, L"KelOfficeRadioButton5", L"Green", 188, 54, 70);
    KelOfficeRadioButton3->OnClick = [this](fw::TComponent*) { KelOfficeRadioButton3Click(); };
    KelOfficeRadioButton4->OnClick = [this](fw::TComponent*) { KelOfficeRadioButton4Click(); };
    KelOfficeRadioButton5->OnClick = [this](fw::TComponent*) { KelOfficeRadioButton5Click(); };
    // The contrast slider and its label are never shown in this configuration.
    Label10 = MakeLabel(this, KelSmoothPanel4, L"Label10", L"Contrast", 12, 76);
    Label10->SetVisible(false);
    KelTrackBar1 = Make<kel::trackbar::TKelTrackBar>(this, KelSmoothPanel4, L"KelTrackBar1", 100, 72, 190, 24);
    KelTrackBar1->SetVisible(false);
    KelTrackBar1->SetMin(0);
    KelTrackBar1->SetMax(255);
    KelTrackBar1->SetPosition(128);
    KelTrackBar1->OnChange = [this](fw::TComponent*) { KelTrackBar1Change(); };

    Label6 = MakeLabel(this, KelSmoothPanel4, L"Label6", L"Thickness", 12, 84);
    LineThickPopupMenu = new kel::menus::TKelPopupMenu(this);
    LineThickPopupMenu->SetName(L"LineThickPopupMenu");
    LineThickPopupMenu->SetMenuStyler(ComboBoxMenuStyler);
    for (int n = 1; n <= 8; ++n) {
        const std::wstring name = L"N" + std::to_wstring(n) + L"1";
        AddItem(LineThickPopupMenu, name.c_str(), std::to_wstring(n).c_str(), [this, n] { SetLineThickness(n); });
    }
    KelGlowButton8 = MakeButton(this, KelSmoothPanel4, L"KelGlowButton8", L"Select", 100, 80, 60, 22);
    GiveDropDown(KelGlowButton8, LineThickPopupMenu);
    Label7 = MakeLabel(this, KelSmoothPanel4, L"Label7", L"Grid", 172, 84);
    GridSpacingPopupMenu = new kel::menus::TKelPopupMenu(this);
    GridSpacingPopupMenu->SetName(L"GridSpacingPopupMenu");
    GridSpacingPopupMenu->SetMenuStyler(ComboBoxMenuStyler);
    for (int n = 2; n <= 128; n *= 2) {
        const std::wstring name = L"N" + std::to_wstring(n) + L"1";
        AddItem(GridSpacingPopupMenu, name.c_str(), std::to_wstring(n).c_str(), [this, n] { SetGridSpacing(n); });
    }
    KelGlowButton12 = MakeButton(this, KelSmoothPanel4, L"KelGlowButton12", L"Select", 230, 80, 60, 22);
    GiveDropDown(KelGlowButton12, GridSpacingPopupMenu);

    KelOfficeCheckBox2 = MakeCheck(this, KelSmoothPanel4, L"KelOfficeCheckBox2", L"Cross Hairs", 12, 112, 110);
    KelOfficeCheckBox3 = MakeCheck(this, KelSmoothPanel4, L"KelOfficeCheckBox3", L"Grid", 150, 112, 110);
    KelOfficeCheckBox5 = MakeCheck(this, KelSmoothPanel4, L"KelOfficeCheckBox5", L"Hide Scan Line", 12, 134, 130);
    KelOfficeCheckBox2->OnClick = [this](fw::TComponent*) { ToggleCrossHairs(); };
    KelOfficeCheckBox3->OnClick = [this](fw::TComponent*) { ToggleGrid(); };
    KelOfficeCheckBox5->OnClick = [this](fw::TComponent*) { ToggleScanLine(); };

    // Sweep Rate and Direction.
    KelSmoothPanel5 = MakeSection(this, page, L"KelSmoothPanel5", 6, 176, 305, 128);
    Label4 = MakeLabel(this, KelSmoothPanel5, L"Label4", L"Sweep Rate and Direction", 6, 2, true);
    Label14 = MakeLabel(this, KelSmoothPanel5, L"Label14", L"Sweep Rate", 12, 26);
    KelTrackBar4 = Make<kel::trackbar::TKelTrackBar>(this, KelSmoothPanel5, L"KelTrackBar4", 8, 42, 289, 30);
    KelTrackBar4->SetMin(1);
    KelTrackBar4->SetMax(1000);
    KelTrackBar4->SetPosition(128);
    KelTrackBar4->OnChange = [this](fw::TComponent*) { KelTrackBar4Change(); };
    Label8 = MakeLabel(this, KelSmoothPanel5, L"Label8", L"Direction", 12, 80);
    KelOfficeRadioButton1 = MakeRadio(this, KelSmoothPanel5, L"KelOfficeRadioButton1", L"Top Down", 12, 98, 85);
    KelOfficeRadioButton2 = MakeRadio(this, KelSmoothPanel5, L"KelOfficeRadioButton2", L"Left Right", 105, 98, 85);
    KelOfficeRadioButton1->SetChecked(true);
    KelOfficeRadioButton1->OnClick = [this](fw::TComponent*) { SetSweepDirection(true); };
    KelOfficeRadioButton2->OnClick = [this](fw::TComponent*) { SetSweepDirection(false); };
    KelGlowButton9 = MakeButton(this, KelSmoothPanel5, L"KelGlowButton9", L"Pause", 215, 94, 80, 24);
    KelGlowButton9->SetParentFont(false);
    KelGlowButton9->OnClick = [this](fw::TComponent*) { KelGlowButton9Click(); };
    KelGlowButton9->OnMouseEnter = [this](fw::TComponent*) { KelGlowButton9MouseEnter(); };
    KelGlowButton9->OnMouseLeave = [this](fw::TComponent*) { KelGlowButton9MouseLeave(); };

    // Run.
    KelSmoothPanel6 = MakeSection(this, page, L"KelSmoothPanel6", 6, 310, 305, 75);
    Label9 = MakeLabel(this, KelSmoothPanel6, L"Label9", L"Run", 6, 2, true);
    KelGlowButton10 = MakeButton(this, KelSmoothPanel6, L"KelGlowButton10", L"Run", 12, 24, 70, 24);
    KelGlowButton10->SetParentFont(false);
    KelGlowButton10->OnClick = [this](fw::TComponent*) { KelGlowButton10Click(); };
    KelOfficeCheckBox4 = MakeCheck(this, KelSmoothPanel6, L"KelOfficeCheckBox4", L"Add Start Delay", 100, 20, 150);
    KelOfficeCheckBox6 = MakeCheck(this, KelSmoothPanel6, L"KelOfficeCheckBox6", L"Reset Line Position", 100, 38, 150);
    KelOfficeCheckBox4->OnClick = [this](fw::TComponent*) { ToggleStartDelay(); };
    KelOfficeCheckBox6->OnClick = [this](fw::TComponent*) { ToggleResetBeforeRun(); };
    Label20 = MakeLabel(this, KelSmoothPanel6, L"Label20", L"Position", 12, 56);
    Label21 = MakeLabel(this, KelSmoothPanel6, L"Label21", L"Size", 160, 56);

    // Size and Position: never shown.
    KelSmoothPanel3 = MakeSection(this, page, L"KelSmoothPanel3", 3, 390, 305, 87);
    KelSmoothPanel3->SetVisible(false);
    Label16 = MakeLabel(this, KelSmoothPanel3, L"Label16", L"Size and Position", 6, 2, true);
    Label17 = MakeLabel(this, KelSmoothPanel3, L"Label17", L"Left", 12, 24);
    KelEdit4 = MakeEdit(this, KelSmoothPanel3, L"KelEdit4", L"0", 50, 20, 50);
    Label18 = MakeLabel(this, KelSmoothPanel3, L"Label18", L"Top", 12, 50);
    KelEdit5 = MakeEdit(this, KelSmoothPanel3, L"KelEdit5", L"0", 50, 46, 50);
    Label19 = MakeLabel(this, KelSmoothPanel3, L"Label19", L"Width", 110, 24);
    KelEdit6 = MakeEdit(this, KelSmoothPanel3, L"KelEdit6", L"0", 150, 20, 50);
    Label22 = MakeLabel(this, KelSmoothPanel3, L"Label22", L"Height", 110, 50);
    KelEdit7 = MakeEdit(this, KelSmoothPanel3, L"KelEdit7", L"0", 150, 46, 50);
    KelOfficeCheckBox1 = MakeCheck(this, KelSmoothPanel3, L"KelOfficeCheckBox1", L"Full Screen", 210, 22, 90);
    KelGlowButton11 = MakeButton(this, KelSmoothPanel3, L"KelGlowButton11", L"Apply", 220, 48, 70, 22);
    KelGlowButton11->SetParentFont(false);
    KelGlowButton11->OnClick = [this](fw::TComponent*) { KelGlowButton11Click(); };

    Bevel1 = Make<fw::TBevel>(this, page, L"Bevel1", 6, 392, 305, 3);
    Bevel1->SetShape(fw::TBevelShape::bsTopLine);

    for (TKelGlowButton* b : {KelGlowButton10, KelGlowButton11}) {
        b->OnMouseEnter = [this, b](fw::TComponent*) { ActionButtonMouseEnter(b); };
        b->OnMouseLeave = [this, b](fw::TComponent*) { ActionButtonMouseLeave(b); };
    }
}

void TkynControllerForm::BuildNetworkPage() {
    fw::TWinControl* page = KelOfficePage2;
    KelSmoothPanel7 = MakeSection(this, page, L"KelSmoothPanel7", 6, 9, 305, 128);
    Label15 = MakeLabel(this, KelSmoothPanel7, L"Label15", L"Network", 6, 2, true);
    Label11 = MakeLabel(this, KelSmoothPanel7, L"Label11", L"IP", 12, 30);
    KelEdit1 = MakeEdit(this, KelSmoothPanel7, L"KelEdit1", L"127.0.0.1", 110, 26, 110);
    Label13 = MakeLabel(this, KelSmoothPanel7, L"Label13", L"Port", 12, 58);
    KelEdit2 = MakeEdit(this, KelSmoothPanel7, L"KelEdit2", L"5555", 110, 54, 60);
    Label23 = MakeLabel(this, KelSmoothPanel7, L"Label23", L"Computer Name", 12, 86);
    KelEdit3 = MakeEdit(this, KelSmoothPanel7, L"KelEdit3", L"My PC", 110, 82, 110);
    KelGlowButton13 = MakeButton(this, KelSmoothPanel7, L"KelGlowButton13", L"Apply", 228, 26, 70, 22);
    KelGlowButton13->SetParentFont(false);
    KelGlowButton13->OnClick = [this](fw::TComponent*) { KelGlowButton13Click(); };
    KelGlowButton13->OnMouseEnter = [this](fw::TComponent*) { ActionButtonMouseEnter(KelGlowButton13); };
    KelGlowButton13->OnMouseLeave = [this](fw::TComponent*) { ActionButtonMouseLeave(KelGlowButton13); };
    KelGlowButton14 = MakeButton(this, KelSmoothPanel7, L"KelGlowButton14", L"Auto Detect", 228, 82, 70, 22);
    KelGlowButton14->OnClick = [this](fw::TComponent*) { KelGlowButton14Click(); };
    KelSmoothPanel8 = MakeSection(this, page, L"KelSmoothPanel8", 6, 143, 305, 122);
    KelSmoothPanel8->SetVisible(false);
}

void TkynControllerForm::BuildInfoPage() {
    fw::TWinControl* page = KelOfficePage3;
    KelSmoothPanel2 = MakeSection(this, page, L"KelSmoothPanel2", 6, 9, 305, 80);
    Label1 = MakeLabel(this, KelSmoothPanel2, L"Label1", L"Build", 32, 35, true);
    SpeedButton1 = Make<fw::TSpeedButton>(this, KelSmoothPanel2, L"SpeedButton1", 2, 80 - 2 - 3 - 22, 305 - 4 - 3, 22);
    SpeedButton1->SetCaption(L"Check for Updates");
    SpeedButton1->SetFlat(true);
    SpeedButton1->SetParentFont(false);
    SpeedButton1->Font().SetStyle(fw::fsBold);
    SpeedButton1->OnClick = [this](fw::TComponent*) { SpeedButton1Click(); };
    Bevel2 = Make<fw::TBevel>(this, KelSmoothPanel2, L"Bevel2", 20, 30, 3, 24);
    Bevel2->SetShape(fw::TBevelShape::bsLeftLine);

    const int pageWidth = KelOfficePager1->Width() - 2;
    KelOfficePager2 = Make<kel::pager::TKelOfficePager>(this, page, L"KelOfficePager2", 0, 94, pageWidth,
                                                        KelOfficePager1->Height() - 26 - 94 - 2);
    KelOfficePager2->SetKelOfficePagerStyler(KelOfficePagerOfficeStyler1);
    KelOfficePager2->SetAntiAlias(kel::pager::aaNone);
    KelOfficePager2->SetShowShortCutHints(false);
    KelOfficePager2->TabSettings().SetStartMargin(9);
    KelOfficePager2->TabSettings().SetRightMargin(6);
    KelOfficePage4 = MakePage(KelOfficePager2, L"KelOfficePage4", L"Review");
    KelOfficePage5 = MakePage(KelOfficePager2, L"KelOfficePage5", L"License");
    KelOfficePage6 = MakePage(KelOfficePager2, L"KelOfficePage6", L"Disclaimer");
    KelOfficePager2->SetActivePage(KelOfficePage4);
    auto tab = [this](const wchar_t* name, const wchar_t* caption, int x) {
        TKelGlowButton* b = MakeButton(this, KelOfficePager2, name, caption, x, 5, 70, 22);
        b->SetParentFont(false);
        b->Font().SetStyle(fw::fsBold);
        b->SetAutoSize(true);
        return b;
    };
    KelGlowButton4 = tab(L"KelGlowButton4", L"Review", 9);
    KelGlowButton5 = tab(L"KelGlowButton5", L"License", 80);
    KelGlowButton6 = tab(L"KelGlowButton6", L"Disclaimer", 150);
    KelGlowButton4->OnClick = [this](fw::TComponent*) { SelectInfoPage(1); };
    KelGlowButton5->OnClick = [this](fw::TComponent*) { SelectInfoPage(2); };
    KelGlowButton6->OnClick = [this](fw::TComponent*) { SelectInfoPage(3); };

    auto memo = [this](kel::pager::TKelOfficePage* p, const wchar_t* name, const wchar_t* text) {
        auto* m = Make<fw::TMemo>(this, p, name, 0, 0, 100, 100);
        m->SetAlign(fw::TAlign::alClient);
        m->SetBorderStyle(fw::TBorderStyle::bsNone);
        m->SetMargins(7);
        m->SetParentFont(false);
        m->SetText(text);
        return m;
    };
    Memo1 = memo(KelOfficePage4, L"Memo1", kReviewText);
    Memo2 = memo(KelOfficePage5, L"Memo2", kLicenseText);
    Memo3 = memo(KelOfficePage6, L"Memo3", kDisclaimerText);
}

void TkynControllerForm::StartDrag() {
    ReleaseCapture();
    // SC_MOVE with the mouse: the system moves the window while the button is held.
    SendMessageW(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}

void TkynControllerForm::Image1Click() {
    if (kynMainForm) kynMainForm->ConfirmClose();
}

void TkynControllerForm::SpeedButton1Click() {
    if (kynMainForm) kynMainForm->StartUpdater();
}

void TkynControllerForm::KelGlowButton10Click() {
    Close();
    Repaint();
    if (kynMainForm) {
        kynMainForm->MainMenu1->SetChecked(false);
        kynMainForm->ShowRunPrompt();
    }
}

void TkynControllerForm::KelGlowButton11Click() {
    if (KelOfficeCheckBox1->Checked() && kynMainForm && kynMainForm->ScreenMode == TScreenMode::Normal) {
        kynMainForm->ToggleFullScreen();
    }
}

void TkynControllerForm::Image2Click() {
    const POINT at{KelOfficePager1->Left() + KelOfficePager1->Width() - Image2->Width() - 9, KelOfficePager1->Top()};
    const POINT screen = ClientToScreen(at);
    LangPopupMenu->Popup(screen.x, screen.y);
}

void TkynControllerForm::XX1Click() {
    if (kynMainForm) kynMainForm->ShowLanguageInvitation();
}

void TkynControllerForm::US1Click() {
    model_.SetLanguage(1);
    ShowLanguageFlag(1);
}

void TkynControllerForm::NL1Click() {
    model_.SetLanguage(2);
    ShowLanguageFlag(2);
}

}  // namespace kyn
