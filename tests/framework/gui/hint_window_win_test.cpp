// The hint window, alone and driven by the application.
#include "framework/gui/hint_window.h"

#include <gtest/gtest.h>

#include "framework/gui/forms.h"
#include "framework/gui/std_controls.h"
#include "tests/support/win_test_app.h"

namespace fw {
namespace {

using test::PumpUntil;
using test::TestApplication;

TEST(HintWindow, ShowsTheTextSizedToItAndHidesOnItsTimer) {
    TestApplication();
    THintWindow hint(nullptr);
    const SIZE one = hint.CalcHintSize(L"Rate");
    const SIZE longer = hint.CalcHintSize(L"Sweep rate in lines per second");
    EXPECT_GT(longer.cx, one.cx);
    EXPECT_EQ(longer.cy, one.cy);
    EXPECT_GT(hint.CalcHintSize(L"Rate\nSpeed").cy, one.cy);

    hint.ActivateHint(POINT{40, 50}, L"Rate", 150);
    RECT r;
    GetWindowRect(hint.Handle(), &r);
    EXPECT_TRUE(IsWindowVisible(hint.Handle()));
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, one.cx);
    EXPECT_EQ(r.bottom - r.top, one.cy);
    // It never takes the focus from the form the pointer is over.
    EXPECT_NE(GetActiveWindow(), hint.Handle());
    // Painted in the info colours: background at the corner, ink inside.
    TBitmap bmp(one.cx, one.cy);
    hint.PaintTo(bmp.Canvas().Handle());
    GdiFlush();
    const uint32_t back = ToColorRef(clInfoBk);
    const uint32_t backRgb = ((back & 0xFF) << 16) | (back & 0xFF00) | ((back >> 16) & 0xFF);
    EXPECT_EQ(bmp.ScanLine(1)[1] & 0xFFFFFF, backRgb);
    int ink = 0;
    for (int y = 0; y < one.cy; ++y)
        for (int x = 0; x < one.cx; ++x) ink += (bmp.ScanLine(y)[x] & 0xFFFFFF) != backRgb;
    EXPECT_GT(ink, 10);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(hint.Handle()); }, 3000));

    // A hint at the screen's far corner stays on the screen; ReleaseHint hides it.
    hint.ActivateHint(POINT{100000, 100000}, L"Rate");
    GetWindowRect(hint.Handle(), &r);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    hint.ReleaseHint();
    EXPECT_FALSE(IsWindowVisible(hint.Handle()));
}

TEST(HintWindow, ApplicationShowsTheHintOfTheHoveredControl) {
    auto& app = TestApplication();
    app.SetHintPause(20);
    app.SetHintHidePause(5000);
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwHintForm"));
    form->SetBounds(0, 0, 200, 100);
    auto* withHint = new TLabel(form);
    withHint->SetCaption(L"Rate");
    withHint->SetBounds(10, 10, 50, 20);
    withHint->SetHint(L"Sweep rate");
    withHint->SetShowHint(true);
    withHint->SetParent(form);
    auto* without = new TLabel(form);
    without->SetCaption(L"Size");
    without->SetBounds(100, 10, 50, 20);
    without->SetHint(L"not shown");
    without->SetParent(form);
    form->Show();
    HWND h = form->Handle();
    THintWindow* hint = app.HintWindow();
    // The real pointer goes along, so the moves the system makes up when a
    // window appears under it agree with ours.
    auto moveTo = [&](int x, int y) {
        POINT screen{x, y};
        ClientToScreen(h, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };

    moveTo(120, 15);
    PumpUntil([] { return false; }, 150);
    EXPECT_FALSE(IsWindowVisible(hint->Handle()));

    moveTo(20, 15);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hint->Handle()); }, 3000));
    EXPECT_EQ(hint->Caption(), L"Sweep rate");
    // Moving off the control hides it.
    moveTo(80, 60);
    EXPECT_FALSE(IsWindowVisible(hint->Handle()));
    // So does a press while it shows.
    moveTo(20, 15);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hint->Handle()); }, 3000));
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(20, 15));
    EXPECT_FALSE(IsWindowVisible(hint->Handle()));
    // A control freed while its hint is pending shows nothing.
    moveTo(80, 60);
    moveTo(20, 15);
    withHint->Free();
    PumpUntil([] { return false; }, 150);
    EXPECT_FALSE(IsWindowVisible(hint->Handle()));
    form->Free();
}

}  // namespace
}  // namespace fw
