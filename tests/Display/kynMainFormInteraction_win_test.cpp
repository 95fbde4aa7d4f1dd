// The display window driven as an operator would under Wine: presses at the
// edges resize it and inside move it, the wheel scales it, Enter and Esc act
// through the keyboard hook, full screen comes back to the saved size, and
// the dialogs and the updater's start behave.
#include <gtest/gtest.h>

#include <string>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "tests/Display/display_form_fixture.h"
#include "tests/support/win_screenshot.h"
#include "tests/widgets/editors/xdotool.h"

namespace kyn {
namespace {

using test::DisplayForm;
using kel::test::Xdotool;

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::wstring Num(long v) { return std::to_wstring(v); }

bool MoveTo(long x, long y) { return Xdotool(L"mousemove " + Num(x) + L" " + Num(y)); }

class DisplayInput : public DisplayForm {
protected:
    void SetUp() override {
        DisplayForm::SetUp();
        if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "no xdotool";
        SetForegroundWindow(form_->Handle());
        fw::test::PumpUntil([] { return false; }, 100);
    }
};

TEST_F(DisplayInput, PressAtTheRightEdgeResizesAndInsideMovesTheWindow) {
    const RECT r0 = WindowRect(form_->Handle());
    ASSERT_EQ(r0.right - r0.left, 320);
    // Column 317 lies in the right edge zone (x > W - 6).
    ASSERT_TRUE(Xdotool(L"mousemove " + Num(r0.left + 317) + L" " + Num(r0.top + 100) +
                        L" mousedown 1 sleep 0.2 mousemove " + Num(r0.left + 377) + L" " + Num(r0.top + 100) +
                        L" sleep 0.2 mouseup 1"));
    fw::test::PumpUntil([] { return false; }, 200);
    const RECT r1 = WindowRect(form_->Handle());
    EXPECT_EQ(r1.left, r0.left);
    EXPECT_EQ(r1.top, r0.top);
    EXPECT_GT(r1.right - r1.left, 360);
    EXPECT_EQ(r1.bottom - r1.top, 240);
    // A press inside drags the window without resizing it.
    ASSERT_TRUE(Xdotool(L"mousemove " + Num(r1.left + 100) + L" " + Num(r1.top + 100) +
                        L" mousedown 1 sleep 0.2 mousemove " + Num(r1.left + 150) + L" " + Num(r1.top + 140) +
                        L" sleep 0.2 mouseup 1"));
    fw::test::PumpUntil([] { return false; }, 200);
    const RECT r2 = WindowRect(form_->Handle());
    EXPECT_EQ(r2.left, r1.left + 50);
    EXPECT_EQ(r2.top, r1.top + 40);
    EXPECT_EQ(r2.right - r2.left, r1.right - r1.left);
    EXPECT_EQ(r2.bottom - r2.top, 240);
}

TEST_F(DisplayInput, CursorFollowsTheZonesAndTheCaptionBarTheTopRows) {
    const RECT r = WindowRect(form_->Handle());
    ASSERT_TRUE(MoveTo(r.left + 2, r.top + 100));
    EXPECT_EQ(fw::ScreenCursor(), fw::TScreenCursor::crSizeWE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    ASSERT_TRUE(MoveTo(r.left + 318, r.top + 238));
    EXPECT_EQ(fw::ScreenCursor(), fw::TScreenCursor::crSizeNWSE);
    EXPECT_FALSE(form_->KelSmoothPanel1->Visible());
    // A run hides the cursor; it comes back as the arrow with the next move inside.
    form_->StartRun();
    EXPECT_EQ(fw::ScreenCursor(), fw::TScreenCursor::crNone);
    EXPECT_EQ(GetCursor(), nullptr);
    ASSERT_TRUE(MoveTo(r.left + 100, r.top + 100));
    EXPECT_EQ(fw::ScreenCursor(), fw::TScreenCursor::crDefault);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    ASSERT_TRUE(MoveTo(r.left + 100, r.top + 20));
    ASSERT_TRUE(form_->KelSmoothPanel1->Visible());
    // The bar paints its light fill along the top, the Close button at its right.
    HWND bar = form_->KelSmoothPanel1->Handle();
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(bar);
    const COLORREF fill = GetPixel(dc, 40, 14);
    ReleaseDC(bar, dc);
    EXPECT_GE(GetGValue(fill), 0xE0) << std::hex << fill;
    EXPECT_EQ(form_->KelSmoothPanel1->Width(), 314);
    EXPECT_EQ(form_->KelGlowButton10->Left(), 314 - 3 - 80);
    fw::test::PumpUntil([] { return false; }, 200);
    fw::test::SaveWindowShot(form_->Handle(), "display_caption_bar");
    // Leaving the window gives the pointer back, whatever the last zone was.
    ASSERT_TRUE(MoveTo(r.left + 2, r.top + 100));
    ASSERT_EQ(fw::ScreenCursor(), fw::TScreenCursor::crSizeWE);
    ASSERT_TRUE(MoveTo(r.left + 600, r.top + 600));
    // Wine notices the pointer has left on a timer of its own.
    EXPECT_TRUE(fw::test::PumpUntil([] { return fw::ScreenCursor() == fw::TScreenCursor::crDefault; }, 3000));
}

TEST_F(DisplayInput, WheelScalesTheWindowWithinItsClamps) {
    const RECT r = WindowRect(form_->Handle());
    ASSERT_TRUE(MoveTo(r.left + 100, r.top + 100));
    ASSERT_TRUE(Xdotool(L"click 5"));  // towards the user: stays at the minimum
    RECT now = WindowRect(form_->Handle());
    EXPECT_EQ(now.right - now.left, 320);
    EXPECT_EQ(now.bottom - now.top, 240);
    ASSERT_TRUE(Xdotool(L"click 4"));  // away from the user: 1.1 times
    now = WindowRect(form_->Handle());
    EXPECT_EQ(now.right - now.left, 352);
    EXPECT_EQ(now.bottom - now.top, 264);
    EXPECT_EQ(model_.Settings().WindowWidth, 352);
    EXPECT_EQ(model_.Settings().WindowHeight, 264);
    EXPECT_TRUE(model_.Sweep().GLReady);
    // Near the screen's size the screen caps it.
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    model_.SetWindowBounds(0, 0, sw - 24, sh - 24);
    ASSERT_TRUE(Xdotool(L"click 4"));
    EXPECT_EQ(model_.Settings().WindowWidth, sw);
    EXPECT_EQ(model_.Settings().WindowHeight, sh);
    now = WindowRect(form_->Handle());
    EXPECT_EQ(now.right - now.left, sw);
}

TEST_F(DisplayForm, FullScreenRoundTripRestoresTheStoredSizeAndIgnoresTheWheel) {
    model_.SetWindowBounds(0, 0, 400, 300);
    form_->SetBounds(0, 0, 450, 320);  // resized by its edges: not stored
    form_->ToggleFullScreen();
    EXPECT_EQ(form_->ScreenMode, TScreenMode::FullScreen);
    EXPECT_TRUE(IsZoomed(form_->Handle()));
    EXPECT_TRUE(form_->FullScreen1->Checked());
    EXPECT_FALSE(form_->KelPopupMenu1->AutoPopup());  // Wine reports Windows 6 or later
    RECT full = WindowRect(form_->Handle());
    EXPECT_GT(full.right - full.left, 450);
    // The wheel is left alone in full screen.
    bool handled = false;
    form_->FormMouseWheel(120, handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(model_.Settings().WindowWidth, 400);
    EXPECT_TRUE(SameRect(full, WindowRect(form_->Handle())));
    form_->ToggleFullScreen();
    EXPECT_EQ(form_->ScreenMode, TScreenMode::Normal);
    EXPECT_FALSE(IsZoomed(form_->Handle()));
    EXPECT_FALSE(form_->FullScreen1->Checked());
    EXPECT_TRUE(form_->KelPopupMenu1->AutoPopup());
    const RECT back = WindowRect(form_->Handle());
    EXPECT_EQ(back.right - back.left, 400);
    EXPECT_EQ(back.bottom - back.top, 300);
}

TEST_F(DisplayForm, PressesInFullScreenOnlyResizeAtTheEdges) {
    form_->ToggleFullScreen();
    const RECT full = WindowRect(form_->Handle());
    // Inside: nothing starts (no move loop, the window stays).
    form_->FormMouseDown(fw::TMouseButton::mbLeft, 100, 100);
    EXPECT_TRUE(SameRect(full, WindowRect(form_->Handle())));
    form_->ToggleFullScreen();
}

TEST_F(DisplayInput, HeldEnterStartsExactlyOneRunAndEscShowsThePanel) {
    int runs = 0;
    const int id = model_.Subscribe([&](TModelChange c) {
        if (c == TModelChange::RunRequest && model_.Sweep().RunRequested) ++runs;
    });
    kynControllerForm->Show();
    model_.SetPaused(true);
    ASSERT_TRUE(Xdotool(L"keydown Return sleep 0.8 keyup Return"));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(model_.Sweep().Paused);  // a run resumes a paused sweep
    EXPECT_FALSE(kynControllerForm->Visible());
    EXPECT_FALSE(form_->MainMenu1->Checked());
    // Auto-repeats and the release, as the hook sees them, do not act again.
    KeyboardHookProc(HC_ACTION, VK_RETURN, 1 | (1 << 30));
    KeyboardHookProc(HC_ACTION, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
    KeyboardHookProc(HC_NOREMOVE, VK_RETURN, 1);
    EXPECT_EQ(runs, 1);
    model_.Unsubscribe(id);

    SetForegroundWindow(form_->Handle());
    ASSERT_TRUE(Xdotool(L"key Escape"));
    EXPECT_TRUE(kynControllerForm->Visible());
    EXPECT_TRUE(form_->MainMenu1->Checked());
    // Esc while the panel shows leaves it showing.
    ASSERT_TRUE(Xdotool(L"key Escape"));
    EXPECT_TRUE(kynControllerForm->Visible());
}

TEST_F(DisplayForm, MenuItemsRunTheOperationsAndFollowTheirState) {
    const wchar_t* captions[] = {L"Main Menu", L"Full Screen", L"Cross Hairs", L"Grid", L"Sweep Left-Right",
                                 L"Sweep Top-Down", L"Hide Scan Line", L"Pause", L"-", L"Close"};
    fw::TMenuItem* items = form_->KelPopupMenu1->Items();
    ASSERT_EQ(items->Count(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(items->Items(i)->Caption(), captions[i]);
    EXPECT_EQ(form_->PopupMenu(), form_->KelPopupMenu1);

    form_->Grid1->Click();
    EXPECT_TRUE(model_.Sweep().GridOn);
    EXPECT_TRUE(form_->Grid1->Checked());
    form_->CrossHairs1->Click();
    EXPECT_TRUE(model_.Sweep().CrossHairsOn);
    EXPECT_TRUE(form_->CrossHairs1->Checked());
    form_->HideLine1->Click();
    EXPECT_FALSE(model_.Sweep().ScanLineVisible);
    EXPECT_TRUE(form_->HideLine1->Checked());
    form_->SweepLeftRight1->Click();
    EXPECT_EQ(model_.Settings().SweepDirection, common::sdLeftRight);
    EXPECT_TRUE(form_->SweepLeftRight1->Checked());
    EXPECT_FALSE(form_->SweepTopDown1->Checked());
    form_->Pause1->Click();
    EXPECT_TRUE(model_.Sweep().Paused);
    EXPECT_TRUE(form_->Pause1->Checked());
    EXPECT_FALSE(form_->dpLineSweep->Enabled());
    form_->MainMenu1->Click();
    EXPECT_TRUE(kynControllerForm->Visible());
    form_->MainMenu1->Click();
    EXPECT_FALSE(kynControllerForm->Visible());
    EXPECT_FALSE(form_->MainMenu1->Checked());
    // The control panel's Network tab button is out of reach.
    EXPECT_FALSE(kynControllerForm->KelGlowButton2->Visible());
    EXPECT_EQ(kynControllerForm->KelGlowButton2->Width(), 1);
}

TEST_F(DisplayForm, OnlyTheCloseButtonOfTheConfirmationClosesTheDisplay) {
    int closeAsked = 0;
    form_->OnCloseQuery = [&](fw::TComponent*, bool& canClose) {
        ++closeAsked;
        canClose = false;  // the test program goes on
    };
    for (int result : {101, -1, 2}) {
        DialogResult() = result;
        form_->Close1->Click();
    }
    EXPECT_EQ(closeAsked, 0);
    DialogResult() = 100;
    form_->KelGlowButton10->Click();
    EXPECT_EQ(closeAsked, 1);
    form_->OnCloseQuery = nullptr;
    ASSERT_EQ(Dialogs().size(), 4u);
    EXPECT_EQ(Dialogs()[0].Title, L"Confirm Close");
}

struct TButtonSearch {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchButtonCaption(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TButtonSearch*>(lp);
    wchar_t text[64] = {};
    GetWindowTextW(h, text, 64);
    if (std::wstring(text) != s->caption || !IsWindowVisible(h)) return TRUE;
    s->found = h;
    return FALSE;
}

// What the timer inside the modal dialog does: the caption of the button to
// press, and what it saw.
struct TDialogClick {
    const wchar_t* button = nullptr;
    const char* shot = nullptr;
    bool clicked = false;
};
TDialogClick* g_click = nullptr;

void CALLBACK ClickDialogButton(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(nullptr, L"Confirm Close");
    if (!g_click || !dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, id);
    TButtonSearch search{g_click->button, nullptr};
    EnumChildWindows(dialog, MatchButtonCaption, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    fw::test::PumpUntil([] { return false; }, 300);  // let it paint
    if (g_click->shot) fw::test::SaveWindowShot(dialog, g_click->shot);
    RECT r = WindowRect(search.found);
    g_click->clicked = Xdotool(L"mousemove " + Num((r.left + r.right) / 2) + L" " + Num((r.top + r.bottom) / 2) +
                               L" click 1");
}

// The real confirmation, answered with the mouse.
TEST_F(DisplayInput, ConfirmationKeepsTheDisplayOnDoNotCloseAndClosesOnClose) {
    TDisplayDialogRunner recorder = SetDisplayDialogRunner(nullptr);
    int closeAsked = 0;
    form_->OnCloseQuery = [&](fw::TComponent*, bool& canClose) {
        ++closeAsked;
        canClose = false;  // the test program goes on
    };
    TDialogClick keep{L"Do Not Close", "display_confirm_close"};
    g_click = &keep;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, ClickDialogButton);
    form_->ConfirmClose();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(keep.clicked);
    EXPECT_EQ(closeAsked, 0);
    EXPECT_TRUE(IsWindowVisible(form_->Handle()));

    TDialogClick close{L"Close", nullptr};
    g_click = &close;
    timer = SetTimer(nullptr, 0, 100, ClickDialogButton);
    form_->ConfirmClose();
    KillTimer(nullptr, timer);
    g_click = nullptr;
    EXPECT_TRUE(close.clicked);
    EXPECT_EQ(closeAsked, 1);
    form_->OnCloseQuery = nullptr;
    SetDisplayDialogRunner(recorder);
}

TEST_F(DisplayForm, MissingUpdaterShowsTheShellsTextForFileNotFound) {
    Boxes().clear();
    BoxKinds().clear();
    form_->StartUpdater();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], L"The system cannot find the file specified.");
    EXPECT_EQ(BoxKinds()[0], common::TMessageBoxKind::Plain);
}

TEST_F(DisplayForm, StartupInfoRanFirstAndTheRunPromptAsksForEnter) {
    ASSERT_FALSE(StartupDialogs().empty());
    EXPECT_EQ(StartupDialogs()[0].Title, L"Application Control Info");
    EXPECT_TRUE(StartupInfoBeforeHook());
    form_->ShowRunPrompt();
    form_->ShowLanguageInvitation();
    ASSERT_EQ(Dialogs().size(), 2u);
    EXPECT_EQ(Dialogs()[0].Instruction, L"Press Enter to Start Scan Line Run");
    EXPECT_EQ(Dialogs()[1].Title, L"Set Your Language");
}

}  // namespace
}  // namespace kyn
