// The display form under Wine: frames read back from the window show the
// line, grid and cross hairs where the geometry puts them, in the colours the
// fixed lighting gives; the sweep timer moves the line one pixel per tick.
#include "Display/kynMainFormGUI.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Display/kynControllerFormGUI.h"
#include "common/MessageBox.h"
#include "tests/Display/display_form_fixture.h"
#include "tests/support/win_test_app.h"

namespace kyn {
namespace {

using common::TMessageBoxKind;
using test::DisplayForm;

using test::FramePixel;
using test::Near;
using test::Pixel;


TEST_F(DisplayForm, FirstShowingPlacesTheWindowAndLabelsThePanel) {
    HWND found = FindWindowW(L"TkynMainForm", nullptr);
    ASSERT_EQ(found, form_->Handle());
    RECT r;
    GetWindowRect(found, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(r.bottom - r.top, 240);
    EXPECT_TRUE(GetWindowLongW(found, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(form_->Caption(), L"Quorvex Display");
    EXPECT_EQ(kynControllerForm->Label21->Caption(), L"320 x 240");
    form_->FormPaint();
    EXPECT_EQ(kynControllerForm->Label20->Caption(), L"Position 120");
}

TEST_F(DisplayForm, TopDownLineIsDrawnAtItsRowInTheLitColour) {
    model_.SetSweepPos(10);  // y = -10, ten rows below the centre
    form_->FormPaint();
    // Green (0, 1, 0) lit: 1.2 c + 0.1 per channel.
    // y = -10 is the boundary between rows 129 and 130; Mesa lights 130.
    const int lit_row = 130;
    EXPECT_TRUE(Near(FramePixel(100, lit_row), 26, 255, 26));
    EXPECT_TRUE(Near(FramePixel(100, 128), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(100, 132), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(100, 100), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(100, 160), 0, 0, 0));
    // A black line shows as 0.1 grey, a white one as white.
    model_.SetLineColour({0, 0, 0, common::ccBlack, 0});
    model_.SetBackgroundColour({1, 1, 1, common::ccWhite, 0});
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, lit_row), 26, 26, 26));
    EXPECT_TRUE(Near(FramePixel(100, 100), 255, 255, 255));
}

TEST_F(DisplayForm, LeftRightLineMovesOnePixelPerSweepTickAndWraps) {
    model_.SetSweepDirection(common::sdLeftRight);
    form_->ResetScanLine();
    EXPECT_EQ(model_.Sweep().SweepPos, -160);
    model_.SetSweepRate(1000);
    unsigned long ticks0 = form_->SweepTicks();
    form_->dpLineSweep->SetEnabled(true);
    ASSERT_TRUE(fw::test::PumpUntil([&] { return form_->SweepTicks() >= ticks0 + 5; }));
    form_->dpLineSweep->SetEnabled(false);
    EXPECT_EQ(model_.Sweep().SweepPos, -160 + static_cast<int>(form_->SweepTicks() - ticks0));
    // From F - 1 the next tick restarts at S.
    model_.SetSweepPos(159);
    form_->dpLineSweepTimer();
    EXPECT_EQ(model_.Sweep().SweepPos, -160);
    form_->FormPaint();
    EXPECT_EQ(kynControllerForm->Label20->Caption(), L"Position 0");
    model_.SetSweepPos(10);
    form_->FormPaint();
    // x = 10 is the boundary between columns 169 and 170; Mesa lights 169.
    EXPECT_TRUE(Near(FramePixel(169, 120), 26, 255, 26));
    EXPECT_TRUE(Near(FramePixel(167, 120), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(171, 120), 0, 0, 0));
}

// The panel and the text commands change the rate and the pause through the
// model while the display runs: the sweep timer follows at once.
TEST_F(DisplayForm, RateAndPauseChangedThroughTheModelReachTheRunningSweepTimer) {
    model_.SetPaused(true);
    EXPECT_FALSE(form_->dpLineSweep->Enabled());
    model_.SetPaused(false);
    ASSERT_TRUE(form_->dpLineSweep->Enabled());
    const std::pair<int, UINT> rates[] = {{1, 1000}, {500, 501}, {871, 130}, {5000, 1}, {-3, 1000}, {1000, 1}};
    for (const auto& [rate, interval] : rates) {
        model_.SetSweepRate(rate);
        EXPECT_EQ(form_->dpLineSweep->Interval(), interval) << rate;
    }
    const unsigned long ticks0 = form_->SweepTicks();
    EXPECT_TRUE(fw::test::PumpUntil([&] { return form_->SweepTicks() >= ticks0 + 5; }));
    form_->dpLineSweep->SetEnabled(false);
}

TEST_F(DisplayForm, GridHidesTheLineAndCrossHairsHideTheLine) {
    model_.SetGridOn(true);
    model_.SetGridSpacing(128);
    form_->FormPaint();
    // White background, black lines lit to 0.1 grey at x = -160, -32, 96.
    EXPECT_TRUE(Near(FramePixel(60, 60), 255, 255, 255));
    bool found = false;
    for (int col = 127; col <= 129; ++col) found |= Near(FramePixel(col, 60), 26, 26, 26);
    EXPECT_TRUE(found);
    // The scan line at the centre row is not drawn.
    EXPECT_TRUE(Near(FramePixel(60, 120), 255, 255, 255));

    model_.SetGridOn(false);
    model_.SetCrossHairsOn(true);
    model_.SetSweepPos(50);
    form_->FormPaint();
    bool vertical = false;
    for (int col = 159; col <= 161; ++col) vertical |= Near(FramePixel(col, 30), 26, 255, 26);
    EXPECT_TRUE(vertical);
    for (int row = 168; row <= 172; ++row) EXPECT_TRUE(Near(FramePixel(60, row), 0, 0, 0)) << row;
}

TEST_F(DisplayForm, RunStartFrameClearsAndResetsTheLine) {
    model_.SetRunOptions(0, 1);
    model_.SetSweepPos(50);
    model_.RequestRun();
    form_->FormPaint();
    EXPECT_FALSE(model_.Sweep().RunRequested);
    EXPECT_EQ(model_.Sweep().SweepPos, -120);
    for (int row = 168; row <= 172; ++row) EXPECT_TRUE(Near(FramePixel(100, row), 0, 0, 0)) << row;
    // Without the reset the line goes on from where it was.
    model_.SetRunOptions(0, -1);
    model_.SetSweepPos(50);
    model_.RequestRun();
    form_->FormPaint();
    EXPECT_EQ(model_.Sweep().SweepPos, 50);
}

TEST_F(DisplayForm, OutOfRangeSettingsNeitherHangNorBreakTheFrame) {
    model_.SetLineThickness(0);
    model_.SetGridSpacing(-5);
    EXPECT_EQ(model_.Settings().LineThickness, 1);
    EXPECT_EQ(model_.Settings().GridSpacing, 1);
    model_.SetGridOn(true);
    size_t boxes = Boxes().size();
    form_->FormPaint();
    model_.SetGridOn(false);
    form_->FormPaint();
    EXPECT_EQ(Boxes().size(), boxes);
}

}  // namespace
}  // namespace kyn

namespace kyn {
namespace {

using test::DisplayForm;

TEST_F(DisplayForm, GLErrorEndsTheFrameWithPaintErrorOnceUntilAFrameIsClean) {
    glLineWidth(-1.0f);  // GL_INVALID_VALUE, pending until read
    try {
        form_->FormPaint();
        ADD_FAILURE() << "no Paint Error";
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message().rfind(L"Paint Error\r", 0), 0u) << e.Message();
    }
    EXPECT_EQ(form_->LastGLError, GL_INVALID_VALUE);
    // The same error again before a clean frame ends the frame quietly.
    glLineWidth(-1.0f);
    EXPECT_NO_THROW(form_->FormPaint());
    form_->FormPaint();  // clean
    glLineWidth(-1.0f);
    EXPECT_THROW(form_->FormPaint(), fw::Exception);
}

TEST_F(DisplayForm, ApplicationExceptionShowsTheMessageThenEachPendingGLError) {
    Boxes().clear();
    glLineWidth(-1.0f);
    form_->ApplicationException(nullptr, std::make_exception_ptr(fw::Exception(L"Something failed")));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0], L"Something failed");
    EXPECT_EQ(form_->LastGLError, 0);
    // Without a current context the error flag never reads 0: only the message.
    Boxes().clear();
    wglMakeCurrent(nullptr, nullptr);
    form_->ApplicationException(nullptr, std::make_exception_ptr(fw::Exception(L"Again")));
    EXPECT_EQ(Boxes().size(), 1u);
    ASSERT_TRUE(wglMakeCurrent(form_->DeviceContext, form_->RenderContext));
}

struct TBoxSeen {
    bool found = false;
    bool topmost = false;
    bool aboveDisplay = false;
};

BOOL CALLBACK FindOwnBox(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t name[16] = {};
    GetClassNameW(h, name, 16);
    if (pid != GetCurrentProcessId() || std::wstring(name) != L"#32770" || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

// A box that is not on top of the stay-on-top display could open behind it,
// and the program would wait on it out of sight: whatever window is active,
// the display's boxes open above it.
TEST_F(DisplayForm, BoxesOpenAboveTheDisplayWindow) {
    HWND other = CreateWindowExW(0, L"STATIC", L"another window", WS_POPUP | WS_CAPTION | WS_VISIBLE, 400, 300, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetActiveWindow(other);
    ASSERT_EQ(GetActiveWindow(), other);
    TBoxSeen seen;
    const HWND display = form_->Handle();
    std::thread watcher([&seen, display] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i) {
            EnumWindows(FindOwnBox, reinterpret_cast<LPARAM>(&box));
            if (!box) Sleep(20);
        }
        if (!box) return;
        seen.found = true;
        seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        for (HWND w = GetTopWindow(nullptr); w && w != display; w = GetWindow(w, GW_HWNDNEXT)) {
            seen.aboveDisplay |= w == box;
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    common::TMessageBoxHandler recorder = common::SetMessageBoxHandler(nullptr);
    form_->ApplicationException(nullptr, std::make_exception_ptr(fw::Exception(L"shown for real")));
    common::SetMessageBoxHandler(recorder);
    watcher.join();
    DestroyWindow(other);
    EXPECT_TRUE(seen.found);
    EXPECT_TRUE(seen.topmost);
    EXPECT_TRUE(seen.aboveDisplay);
}

TEST_F(DisplayForm, ExceptionsReachTheHandlerInstalledAtFirstShowing) {
    Boxes().clear();
    fw::GuardCallback(nullptr, [] { throw fw::EConvertError(L"bad command value"); });
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes()[0], L"bad command value");
}

}  // namespace
}  // namespace kyn
