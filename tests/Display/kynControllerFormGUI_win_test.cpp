// The control panel under Wine: its controls change the display's state and
// frame, its own checks raise no click the user did not make, the themes
// recolour its tabs and buttons, and it leaves pictures of both themes.
#include "Display/kynControllerFormGUI.h"

#include <gtest/gtest.h>

#include "Display/kynMainFormGUI.h"
#include "framework/gui/image_list.h"
#include "framework/gui/menus.h"
#include "tests/Display/display_form_fixture.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/editors/xdotool.h"
#include "widgets/buttons/KelOfficeButtons.h"
#include "widgets/buttons/KelPopupMenu.h"
#include "widgets/editors/KelTrackBar.h"
#include "widgets/pager/KelOfficePager.h"

namespace kyn {
namespace {

using test::DisplayForm;

using test::FramePixel;
using test::Near;
using test::Pixel;

// A press and release of the left button in the middle of a control.
void ClickOn(fw::TWinControl* control) {
    HWND h = control->Handle();
    const LPARAM at = MAKELPARAM(control->Width() / 2, control->Height() / 2);
    SendMessageW(h, WM_MOUSEMOVE, 0, at);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    fw::test::PumpUntil([] { return false; }, 20);
}

// The item of a drop-down menu with the caption, chosen as a click would.
void Choose(fw::TPopupMenu* menu, const std::wstring& caption) {
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        if (menu->Items()->Items(i)->Caption() == caption) {
            menu->Items()->Items(i)->Click();
            return;
        }
    }
    FAIL() << "no item";
}

class ControlPanel : public DisplayForm {
protected:
    void SetUp() override {
        DisplayForm::SetUp();
        panel_ = kynControllerForm;
        model_.SetTheme(common::thLight);
        form_->ApplyTheme(common::thLight);
        panel_->ApplyTheme(common::thLight);
        panel_->ColourEntity = -1;
        model_.SetRunOptions(0, 0);
        model_.SetSweepRate(128);
        form_->ToggleControlPanel();  // shows the panel
        ASSERT_TRUE(panel_->Visible());
        fw::test::PumpUntil([] { return false; }, 50);
    }
    void TearDown() override {
        if (model_.Sweep().Paused) panel_->TogglePause();
        model_.SetTheme(common::thLight);
    }
    // The panel's picture of the current state, for a person to look at.
    void Shot(const char* name) {
        panel_->Repaint();
        fw::test::PumpUntil([] { return false; }, 100);
        fw::test::SaveWindowShot(panel_->Handle(), name);
    }
    TkynControllerForm* panel_ = nullptr;
};

TEST_F(ControlPanel, FigureCheckBoxesChangeTheFrameAndClickOnlyOnce) {
    // Cross hairs: the vertical line through the centre.
    ClickOn(panel_->KelOfficeCheckBox2);
    EXPECT_TRUE(model_.Sweep().CrossHairsOn);
    EXPECT_TRUE(panel_->KelOfficeCheckBox2->Checked());
    EXPECT_TRUE(form_->CrossHairs1->Checked());
    form_->FormPaint();
    bool vertical = false;
    for (int col = 159; col <= 161; ++col) vertical |= Near(FramePixel(col, 30), 26, 255, 26);
    EXPECT_TRUE(vertical);
    ClickOn(panel_->KelOfficeCheckBox2);
    EXPECT_FALSE(model_.Sweep().CrossHairsOn);
    EXPECT_FALSE(panel_->KelOfficeCheckBox2->Checked());

    // Grid: a white background with black lines.
    model_.SetGridSpacing(128);
    ClickOn(panel_->KelOfficeCheckBox3);
    EXPECT_TRUE(model_.Sweep().GridOn);
    EXPECT_TRUE(form_->Grid1->Checked());
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(60, 60), 255, 255, 255));
    ClickOn(panel_->KelOfficeCheckBox3);
    EXPECT_FALSE(model_.Sweep().GridOn);

    // Hide Scan Line: the centre row goes dark; the box shows the line hidden.
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 120), 26, 255, 26));
    ClickOn(panel_->KelOfficeCheckBox5);
    EXPECT_FALSE(model_.Sweep().ScanLineVisible);
    EXPECT_TRUE(panel_->KelOfficeCheckBox5->Checked());
    EXPECT_TRUE(form_->HideLine1->Checked());
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 120), 0, 0, 0));
    ClickOn(panel_->KelOfficeCheckBox5);
    EXPECT_TRUE(model_.Sweep().ScanLineVisible);

    // The same operations from the menu set the boxes without a click.
    form_->Grid1Click();
    EXPECT_TRUE(model_.Sweep().GridOn);
    EXPECT_TRUE(panel_->KelOfficeCheckBox3->Checked());
    form_->Grid1Click();
    EXPECT_FALSE(panel_->KelOfficeCheckBox3->Checked());
}

TEST_F(ControlPanel, DirectionRadiosTurnTheLineAndKeepItsPosition) {
    model_.SetSweepPos(10);
    ClickOn(panel_->KelOfficeRadioButton2);
    EXPECT_EQ(model_.Settings().SweepDirection, common::sdLeftRight);
    EXPECT_EQ(model_.Sweep().SweepPos, 10);
    EXPECT_TRUE(form_->SweepLeftRight1->Checked());
    EXPECT_FALSE(panel_->KelOfficeRadioButton1->Checked());
    form_->FormPaint();
    bool column = false;
    for (int col = 168; col <= 171; ++col) column |= Near(FramePixel(col, 60), 26, 255, 26);
    EXPECT_TRUE(column);
    // From the menu: the radio follows.
    form_->SweepTopDown1Click();
    EXPECT_EQ(model_.Settings().SweepDirection, common::sdTopDown);
    EXPECT_TRUE(panel_->KelOfficeRadioButton1->Checked());
    EXPECT_EQ(model_.Sweep().SweepPos, 10);
}

TEST_F(ControlPanel, ThicknessAndSpacingMenusReachTheFrame) {
    Choose(panel_->LineThickPopupMenu, L"8");
    EXPECT_EQ(model_.Settings().LineThickness, 8);
    EXPECT_EQ(panel_->KelGlowButton8->Caption(), L"8");
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 117), 26, 255, 26));  // a thick line covers rows around 120
    Choose(panel_->LineThickPopupMenu, L"1");
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 117), 0, 0, 0));

    Choose(panel_->GridSpacingPopupMenu, L"128");
    EXPECT_EQ(model_.Settings().GridSpacing, 128);
    EXPECT_EQ(panel_->KelGlowButton12->Caption(), L"128");
    model_.SetGridOn(true);
    form_->FormPaint();
    bool found = false;
    for (int col = 127; col <= 129; ++col) found |= Near(FramePixel(col, 60), 26, 26, 26);
    EXPECT_TRUE(found);

    // Values from elsewhere (text commands) never reach the renderer out of range.
    panel_->SetLineThickness(0);
    panel_->SetGridSpacing(-5);
    EXPECT_GE(model_.Settings().LineThickness, 1);
    EXPECT_GE(model_.Settings().GridSpacing, 1);
    EXPECT_EQ(panel_->KelGlowButton8->Caption(), std::to_wstring(model_.Settings().LineThickness));
}

TEST_F(ControlPanel, SweepRateSliderAndOperationAreClamped) {
    EXPECT_EQ(panel_->Label14->Caption(), L"Sweep Rate 128");  // shown at opening
    panel_->KelTrackBar4->SetPosition(1000);
    EXPECT_EQ(model_.Settings().SweepRate, 1000);
    EXPECT_EQ(panel_->Label14->Caption(), L"Sweep Rate 1000");
    for (auto [rate, kept] : {std::pair{5000, 1000}, {0, 1}, {-7, 1}, {1, 1}, {990, 990}}) {
        panel_->SetSweepRate(rate);
        EXPECT_EQ(model_.Settings().SweepRate, kept) << rate;
        EXPECT_EQ(panel_->Label14->Caption(), L"Sweep Rate " + std::to_wstring(kept)) << rate;
    }
}

TEST_F(ControlPanel, EntityAndColourRadiosFollowTheColourRule) {
    // With no entity chosen, a colour click changes nothing.
    const common::TDisplayColour before = model_.Settings().BackgroundColour;
    ClickOn(panel_->KelOfficeRadioButton5);
    EXPECT_EQ(model_.Settings().BackgroundColour, before);
    EXPECT_EQ(model_.Settings().LineColour.Choice, common::ccGreen);

    // Background with white at contrast 0.2: "White" checked, 0.8 grey, slider 51.
    model_.SetBackgroundColour({1, 1, 1, common::ccWhite, 0.2});
    Choose(panel_->ColorEntityPopupMenu, L"Background");
    EXPECT_EQ(panel_->KelGlowButton7->Caption(), L"Background");
    EXPECT_TRUE(panel_->KelOfficeRadioButton4->Checked());
    EXPECT_NEAR(model_.Settings().BackgroundColour.Red, 0.8, 1e-9);
    EXPECT_EQ(panel_->KelTrackBar1->Position(), 51);
    EXPECT_EQ(panel_->Label10->Caption(), L"Contrast 51");
    EXPECT_FALSE(panel_->SuppressRadioClick);
    model_.SetLineColour({0, 1, 0, common::ccGreen, 0});
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 60), 204, 204, 204, 4));

    // The line's radio is checked already: the panel's own check leaves no
    // click pending, and the user's next click applies.
    model_.SetLineColour({1, 1, 1, common::ccWhite, 0});
    Choose(panel_->ColorEntityPopupMenu, L"Line");
    EXPECT_EQ(panel_->KelGlowButton7->Caption(), L"Scan Line");
    ClickOn(panel_->KelOfficeRadioButton3);
    EXPECT_EQ(model_.Settings().LineColour.Choice, common::ccBlack);
    ClickOn(panel_->KelOfficeRadioButton4);
    EXPECT_EQ(model_.Settings().LineColour.Choice, common::ccWhite);
    EXPECT_DOUBLE_EQ(model_.Settings().LineColour.Red, 1.0);
    model_.SetBackgroundColour({0, 0, 0, common::ccBlack, 0});
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 120), 255, 255, 255));
}

TEST_F(ControlPanel, RunOptionsPauseAndRunButton) {
    ClickOn(panel_->KelOfficeCheckBox4);
    EXPECT_EQ(model_.Settings().StartDelayOn, 1);
    EXPECT_TRUE(panel_->KelOfficeCheckBox4->Checked());
    panel_->ToggleStartDelay();
    EXPECT_EQ(model_.Settings().StartDelayOn, -1);
    EXPECT_FALSE(panel_->KelOfficeCheckBox4->Checked());
    ClickOn(panel_->KelOfficeCheckBox6);
    EXPECT_EQ(model_.Settings().ResetBeforeRun, 1);

    // Pause in the dark theme: orange "Resume"; the sweep stops.
    model_.SetTheme(common::thDark);
    panel_->ApplyTheme(common::thDark);
    ClickOn(panel_->KelGlowButton9);
    EXPECT_TRUE(model_.Sweep().Paused);
    EXPECT_TRUE(form_->Pause1->Checked());
    EXPECT_EQ(panel_->KelGlowButton9->Caption(), L"Resume");
    EXPECT_EQ(panel_->KelGlowButton9->Appearance().Color(), 0x2084FF);
    EXPECT_EQ(panel_->KelGlowButton9->Font().Color(), fw::clWhite);
    // Over the paused button its text turns black, and white again off it;
    // in the dark theme the action buttons do the same.
    for (kel::glow::TKelGlowButton* b : {panel_->KelGlowButton9, panel_->KelGlowButton10}) {
        SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(b->Font().Color(), fw::clBlack) << b->Caption();
        SendMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(b->Font().Color(), fw::clWhite) << b->Caption();
    }
    // Toggling the theme while paused keeps it orange.
    panel_->Image3Click();
    EXPECT_EQ(model_.Settings().Theme, common::thLight);
    EXPECT_EQ(panel_->KelGlowButton9->Appearance().Color(), 0x2084FF);
    panel_->Image3Click();
    panel_->TogglePause();
    EXPECT_FALSE(model_.Sweep().Paused);
    EXPECT_EQ(panel_->KelGlowButton9->Caption(), L"Pause");
    EXPECT_EQ(panel_->KelGlowButton9->Appearance().Color(), 0xC8C0C0);
    EXPECT_EQ(panel_->KelGlowButton9->Font().Color(), fw::clBlack);

    // Run closes the panel and shows the run prompt.
    ClickOn(panel_->KelGlowButton10);
    EXPECT_FALSE(panel_->Visible());
    EXPECT_FALSE(form_->MainMenu1->Checked());
    EXPECT_EQ(Dialogs().size(), 1u);
}

TEST_F(ControlPanel, TabsAndThemes) {
    // Light: the selected tab blue, 22 high at top 2; the others light grey.
    EXPECT_EQ(panel_->KelOfficePager1->ActivePage(), panel_->KelOfficePage1);
    EXPECT_EQ(panel_->KelGlowButton1->Appearance().Color(), 0xFF8420);
    EXPECT_EQ(panel_->KelGlowButton1->Height(), 22);
    EXPECT_EQ(panel_->KelGlowButton1->Top(), 2);
    EXPECT_EQ(panel_->KelGlowButton3->Appearance().Color(), 0xEEEEEE);
    EXPECT_EQ(panel_->KelGlowButton3->Height(), 14);
    EXPECT_EQ(panel_->KelGlowButton3->Top(), 6);
    Shot("control-panel-light");

    // Info and License stay shown over a theme toggle, raised in dark colours.
    ClickOn(panel_->KelGlowButton3);
    ClickOn(panel_->KelGlowButton5);
    EXPECT_EQ(panel_->KelOfficePager1->ActivePage(), panel_->KelOfficePage3);
    EXPECT_EQ(panel_->KelOfficePager2->ActivePage(), panel_->KelOfficePage5);
    panel_->Image3Click();
    EXPECT_EQ(model_.Settings().Theme, common::thDark);
    EXPECT_EQ(panel_->KelOfficePager1->ActivePage(), panel_->KelOfficePage3);
    EXPECT_EQ(panel_->KelOfficePager2->ActivePage(), panel_->KelOfficePage5);
    EXPECT_EQ(panel_->KelGlowButton3->Appearance().Color(), 0x2084FF);
    EXPECT_EQ(panel_->KelGlowButton3->Height(), 18);
    EXPECT_EQ(panel_->KelGlowButton5->Appearance().Color(), 0x2084FF);
    EXPECT_EQ(panel_->KelGlowButton1->Appearance().Color(), 0x303030);
    EXPECT_EQ(panel_->KelGlowButton10->Appearance().Color(), 0xFF8A20);
    Shot("control-panel-dark-info");
    panel_->SelectTab(1);
    Shot("control-panel-dark");

    // A stored theme of 2 keeps every colour; the next toggle gives light.
    model_.SetTheme(2);
    panel_->ApplyTheme(2);
    panel_->SelectTab(3);
    EXPECT_EQ(panel_->KelGlowButton3->Appearance().Color(), 0x303030);
    EXPECT_EQ(panel_->KelGlowButton3->Height(), 14);
    panel_->Image3Click();
    EXPECT_EQ(model_.Settings().Theme, common::thLight);
    EXPECT_EQ(panel_->KelGlowButton3->Appearance().Color(), 0xFF8420);

    // Opening again shows the Controller page and the Review sub-page.
    form_->ToggleControlPanel();
    form_->ToggleControlPanel();
    EXPECT_EQ(panel_->KelOfficePager1->ActivePage(), panel_->KelOfficePage1);
    EXPECT_EQ(panel_->KelOfficePager2->ActivePage(), panel_->KelOfficePage4);
}

TEST_F(ControlPanel, LanguageFlagShowsOnlyPicturesTheListHas) {
    panel_->US1Click();
    EXPECT_EQ(model_.Settings().Language, 1);
    EXPECT_FALSE(panel_->Image2->PictureEmpty());
    panel_->ShowLanguageFlag(0);
    EXPECT_FALSE(panel_->Image2->PictureEmpty());
    panel_->ShowLanguageFlag(3);  // beyond the three flags
    EXPECT_TRUE(panel_->Image2->PictureEmpty());
    panel_->NL1Click();
    EXPECT_EQ(model_.Settings().Language, 2);
    EXPECT_FALSE(panel_->Image2->PictureEmpty());
    panel_->ShowLanguageFlag(12);
    EXPECT_TRUE(panel_->Image2->PictureEmpty());
    // Placed at the strip's right end.
    EXPECT_EQ(panel_->Image2->Left(), panel_->KelOfficePager1->Width() - 22 - 8);
    EXPECT_EQ(panel_->Image3->Left(), panel_->Image2->Left() - 22 - 3);
}

TEST_F(ControlPanel, NetworkApplyStoresTheBindingAndRefusesABadPort) {
    panel_->KelEdit1->SetText(L"127.0.0.1");
    panel_->KelEdit2->SetText(L"5560");
    panel_->KelGlowButton13Click();
    EXPECT_EQ(model_.Settings().ServerIP, L"127.0.0.1");
    EXPECT_EQ(model_.Settings().ServerPort, 5560);
    panel_->KelEdit1->SetText(L"127.0.0.2");
    panel_->KelEdit2->SetText(L"port");
    EXPECT_THROW(panel_->KelGlowButton13Click(), fw::EConvertError);
    EXPECT_EQ(model_.Settings().ServerIP, L"127.0.0.2");
    EXPECT_EQ(model_.Settings().ServerPort, 5560);
    // The page's edits show the stored binding each time the panel opens.
    form_->ToggleControlPanel();
    form_->ToggleControlPanel();
    EXPECT_EQ(panel_->KelEdit2->Text(), L"5560");
}

TEST_F(ControlPanel, FrameIsRoundedAndShadowed) {
    EXPECT_EQ(panel_->ClientWidth(), 335);
    EXPECT_EQ(panel_->ClientHeight(), 498);
    EXPECT_TRUE(GetClassLongW(panel_->Handle(), GCL_STYLE) & CS_DROPSHADOW);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(panel_->Handle(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 10, 10));
    DeleteObject(rgn);
}

}  // namespace
}  // namespace kyn

namespace kyn {
namespace {

std::wstring Num(long v) { return std::to_wstring(v); }

// Presses at a point of the panel, moves the mouse by (dx, dy) and releases.
RECT DragPanelAt(HWND panel, int x, int y, int dx, int dy) {
    RECT r{};
    GetWindowRect(panel, &r);
    kel::test::Xdotool(L"mousemove " + Num(r.left + x) + L" " + Num(r.top + y) + L" mousedown 1 sleep 0.2 mousemove " +
                       Num(r.left + x + dx) + L" " + Num(r.top + y + dy) + L" sleep 0.2 mouseup 1");
    fw::test::PumpUntil([] { return false; }, 200);
    RECT after{};
    GetWindowRect(panel, &after);
    return after;
}

TEST_F(ControlPanel, DragsByItsTitleAndFrameAlsoInFullScreen) {
    if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "no xdotool";
    HWND h = panel_->Handle();
    SetForegroundWindow(h);
    RECT r0{};
    GetWindowRect(h, &r0);
    // The title "Main Menu".
    RECT r1 = DragPanelAt(h, 20, 8, -40, 30);
    EXPECT_EQ(r1.left, r0.left - 40);
    EXPECT_EQ(r1.top, r0.top + 30);
    // The frame, beside the pager, with the display in full screen.
    form_->ToggleFullScreen();
    SetForegroundWindow(h);
    RECT r2 = DragPanelAt(h, 4, 200, 25, -20);
    EXPECT_EQ(r2.left, r1.left + 25);
    EXPECT_EQ(r2.top, r1.top - 20);
    form_->ToggleFullScreen();
}

}  // namespace
}  // namespace kyn
