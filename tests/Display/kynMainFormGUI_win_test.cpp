// The display form under Wine: frames read back from the window show the
// line, grid and cross hairs where the geometry puts them, in the colours the
// fixed lighting gives; the sweep timer moves the line one pixel per tick.
#include "Display/kynMainFormGUI.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynMessageBox.h"
#include "Display/kynResourceManager.h"
#include "tests/support/win_test_app.h"

namespace kyn {
namespace {

struct Pixel {
    int r, g, b;
};

// Reads one pixel of the last frame shown, (x, y) from the window's top-left.
Pixel FramePixel(int x, int y, int /*height*/) {
    HWND hwnd = FindWindowW(L"TkynMainForm", nullptr);
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

bool Near(Pixel p, int r, int g, int b, int tol = 2) {
    return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol;
}

class DisplayForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto& app = fw::test::TestApplication();
        // No data folder here: record the boxes instead of blocking on them.
        SetMessageBoxHandler([](TMessageBoxKind, const std::wstring& text) { Boxes().push_back(text); });
        SetEndRequestHandler([] {});
        form_ = app.CreateForm<TkynMainForm>();
        app.CreateForm<TkynControllerForm>();
        form_->Show();
        ASSERT_TRUE(fw::test::PumpUntil([] { return SweepState.GLReady && form_->FramesDrawn() > 2; }));
    }
    static std::vector<std::wstring>& Boxes() {
        static std::vector<std::wstring> boxes;
        return boxes;
    }
    void SetUp() override {
        form_->dpLineSweep->SetEnabled(false);
        form_->zuForceRepaint->SetEnabled(false);
        SweepState = TSweepState{};
        SweepState.GLReady = true;
        GeneralSettings.SweepDirection = sdTopDown;
        GeneralSettings.LineThickness = 1;
        GeneralSettings.BackgroundColour = {0, 0, 0, ccBlack, 0};
        GeneralSettings.LineColour = {0, 1, 0, ccGreen, 0};
    }
    static TkynMainForm* form_;
};

TkynMainForm* DisplayForm::form_ = nullptr;

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
    SweepState.SweepPos = 10;  // y = -10, ten rows below the centre
    form_->FormPaint();
    // Green (0, 1, 0) lit: 1.2 c + 0.1 per channel.
    // y = -10 is the boundary between rows 129 and 130; Mesa lights 130.
    const int lit_row = 130;
    EXPECT_TRUE(Near(FramePixel(100, lit_row, 240), 26, 255, 26));
    EXPECT_TRUE(Near(FramePixel(100, 128, 240), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(100, 132, 240), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(100, 100, 240), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(100, 160, 240), 0, 0, 0));
    // A black line shows as 0.1 grey, a white one as white.
    GeneralSettings.LineColour = {0, 0, 0, ccBlack, 0};
    GeneralSettings.BackgroundColour = {1, 1, 1, ccWhite, 0};
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, lit_row, 240), 26, 26, 26));
    EXPECT_TRUE(Near(FramePixel(100, 100, 240), 255, 255, 255));
}

TEST_F(DisplayForm, LeftRightLineMovesOnePixelPerSweepTickAndWraps) {
    GeneralSettings.SweepDirection = sdLeftRight;
    form_->ResetScanLine();
    EXPECT_EQ(SweepState.SweepPos, -160);
    GeneralSettings.SweepRate = 1000;
    form_->dpLineSweep->SetInterval(1);
    unsigned long ticks0 = form_->SweepTicks();
    form_->dpLineSweep->SetEnabled(true);
    ASSERT_TRUE(fw::test::PumpUntil([&] { return form_->SweepTicks() >= ticks0 + 5; }));
    form_->dpLineSweep->SetEnabled(false);
    EXPECT_EQ(SweepState.SweepPos, -160 + static_cast<int>(form_->SweepTicks() - ticks0));
    // From F - 1 the next tick restarts at S.
    SweepState.SweepPos = 159;
    form_->dpLineSweepTimer();
    EXPECT_EQ(SweepState.SweepPos, -160);
    form_->FormPaint();
    EXPECT_EQ(kynControllerForm->Label20->Caption(), L"Position 0");
    SweepState.SweepPos = 10;
    form_->FormPaint();
    // x = 10 is the boundary between columns 169 and 170; Mesa lights 169.
    EXPECT_TRUE(Near(FramePixel(169, 120, 240), 26, 255, 26));
    EXPECT_TRUE(Near(FramePixel(167, 120, 240), 0, 0, 0));
    EXPECT_TRUE(Near(FramePixel(171, 120, 240), 0, 0, 0));
}

TEST_F(DisplayForm, GridHidesTheLineAndCrossHairsHideTheLine) {
    SweepState.GridOn = true;
    GeneralSettings.GridSpacing = 128;
    form_->FormPaint();
    // White background, black lines lit to 0.1 grey at x = -160, -32, 96.
    EXPECT_TRUE(Near(FramePixel(60, 60, 240), 255, 255, 255));
    bool found = false;
    for (int col = 127; col <= 129; ++col) found |= Near(FramePixel(col, 60, 240), 26, 26, 26);
    EXPECT_TRUE(found);
    // The scan line at the centre row is not drawn.
    EXPECT_TRUE(Near(FramePixel(60, 120, 240), 255, 255, 255));

    SweepState.GridOn = false;
    SweepState.CrossHairsOn = true;
    SweepState.SweepPos = 50;
    form_->FormPaint();
    bool vertical = false;
    for (int col = 159; col <= 161; ++col) vertical |= Near(FramePixel(col, 30, 240), 26, 255, 26);
    EXPECT_TRUE(vertical);
    for (int row = 168; row <= 172; ++row) EXPECT_TRUE(Near(FramePixel(60, row, 240), 0, 0, 0)) << row;
}

TEST_F(DisplayForm, RunStartFrameClearsAndResetsTheLine) {
    GeneralSettings.StartDelayOn = 0;
    GeneralSettings.ResetBeforeRun = 1;
    SweepState.SweepPos = 50;
    SweepState.RunRequested = true;
    form_->FormPaint();
    EXPECT_FALSE(SweepState.RunRequested);
    EXPECT_EQ(SweepState.SweepPos, -120);
    for (int row = 168; row <= 172; ++row) EXPECT_TRUE(Near(FramePixel(100, row, 240), 0, 0, 0)) << row;
    // Without the reset the line goes on from where it was.
    GeneralSettings.ResetBeforeRun = -1;
    SweepState.SweepPos = 50;
    SweepState.RunRequested = true;
    form_->FormPaint();
    EXPECT_EQ(SweepState.SweepPos, 50);
}

TEST_F(DisplayForm, OutOfRangeSettingsNeitherHangNorBreakTheFrame) {
    GeneralSettings.LineThickness = 0;
    GeneralSettings.GridSpacing = -5;
    SweepState.GridOn = true;
    size_t boxes = Boxes().size();
    form_->FormPaint();
    SweepState.GridOn = false;
    form_->FormPaint();
    EXPECT_EQ(Boxes().size(), boxes);
}

}  // namespace
}  // namespace kyn

namespace kyn {
namespace {

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

TEST_F(DisplayForm, ExceptionsReachTheHandlerInstalledAtFirstShowing) {
    Boxes().clear();
    fw::GuardCallback(nullptr, [] { throw fw::EConvertError(L"bad command value"); });
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes()[0], L"bad command value");
}

}  // namespace
}  // namespace kyn
