// The GDI+ object layer under Wine: start and stop, the status rule, the
// font fallback, the text helpers and pixels drawn into 32-bit bitmaps.
#include <gtest/gtest.h>

#include "tests/widgets/drawing/test_data.h"
#include "tests/widgets/drawing/win_paint.h"
#include "widgets/drawing/DecodedImage.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {
namespace {

using test::Near;
using test::Px;
using test::Rgb;

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { StartGdiplus(); }
    void TearDown() override { StopGdiplus(); }
};
[[maybe_unused]] const auto* const kGdiplusEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

TEST(GdiplusLifecycle, ShutdownWaitsForTheLastWrapperAndAllocationRestarts) {
    ASSERT_TRUE(GdiplusRunning());
    ASSERT_EQ(LiveGdiplusWrappers(), 0);
    auto* brush = new TGPSolidBrush(0xFF00FF00);  // on GDI+'s heap
    EXPECT_EQ(brush->LastStatus(), stOk);
    EXPECT_EQ(LiveGdiplusWrappers(), 1);
    StopGdiplus();
    EXPECT_TRUE(GdiplusRunning());  // the brush still needs GDI+
    delete brush;
    EXPECT_FALSE(GdiplusRunning());
    EXPECT_EQ(LiveGdiplusWrappers(), 0);

    // A wrapper made before the start step starts GDI+ by itself.
    {
        auto pen = std::make_unique<TGPPen>(0xFF000000, 1.0f);
        EXPECT_TRUE(GdiplusRunning());
        EXPECT_EQ(pen->LastStatus(), stOk);
        EXPECT_NE(pen->Native(), nullptr);
    }
    StartGdiplus();  // hooks into the running session
    EXPECT_TRUE(GdiplusRunning());

    // Started again while a stop waits: the stop is called off.
    auto* pending = new TGPSolidBrush(0xFF000000);
    StopGdiplus();
    StartGdiplus();
    delete pending;
    EXPECT_TRUE(GdiplusRunning());
}

TEST(GdiplusStatus, NullGraphicsFailsEveryCallAndKeepsTheFailure) {
    TGPGraphics g(static_cast<TGPImage*>(nullptr));
    EXPECT_EQ(g.Native(), nullptr);
    EXPECT_EQ(g.LastStatus(), stOk);
    TGPSolidBrush brush(0xFFFF0000);
    TGPPen pen(0xFF000000, 1);
    EXPECT_EQ(g.FillRectangle(brush, 0, 0, 1, 1), stInvalidParameter);
    EXPECT_EQ(g.LastStatus(), stInvalidParameter);
    EXPECT_EQ(g.DrawLine(pen, 0, 0, 1, 1), stInvalidParameter);
    EXPECT_EQ(g.SetSmoothingMode(gpSmoothingModeAntiAlias), stInvalidParameter);
    EXPECT_EQ(g.GetSmoothingMode(), -1);
    EXPECT_EQ(g.GetHDC(), nullptr);
}

TEST(GdiplusStatus, ALaterSuccessDoesNotResetTheLastFailure) {
    fw::TBitmap bmp(4, 4);
    TGPGraphics g(bmp.Canvas().Handle());
    ASSERT_EQ(g.LastStatus(), stOk);
    EXPECT_EQ(g.DrawPath(nullptr, nullptr), stInvalidParameter);  // nil passes null
    TGPSolidBrush brush(0xFF102030);
    EXPECT_EQ(g.FillRectangle(brush, 0, 0, 4, 4), stOk);
    EXPECT_EQ(g.LastStatus(), stInvalidParameter);
    EXPECT_EQ(g.SetSmoothingMode(gpSmoothingModeAntiAlias), stOk);
    EXPECT_EQ(g.GetSmoothingMode(), gpSmoothingModeAntiAlias);
}

TEST(GdiplusStatus, PathGradientRefusesBadCountsWithoutCallingGdiplus) {
    TGPGraphicsPath path;
    path.AddLine(0, 0, 10, 0);
    path.AddLine(10, 0, 10, 10);
    path.AddLine(10, 10, 0, 10);
    path.CloseFigure();
    TGPPathGradientBrush brush(path);
    ASSERT_EQ(brush.LastStatus(), stOk);
    const int points = brush.GetPointCount();
    ASSERT_GE(points, 3);
    std::vector<TARGB> colours(static_cast<size_t>(points) + 1, 0xFF0000FF);
    float positions[2] = {0, 1};

    struct Row {
        const TARGB* colours;
        int count;
    } refused[] = {{colours.data(), 0}, {colours.data(), -1}, {nullptr, 1}, {colours.data(), points + 1}};
    for (const Row& r : refused) {
        int count = r.count;
        EXPECT_EQ(brush.SetSurroundColors(r.colours, count), stInvalidParameter) << r.count;
        EXPECT_EQ(count, r.count);
    }
    EXPECT_EQ(brush.SetInterpolationColors(colours.data(), positions, 0), stInvalidParameter);
    EXPECT_EQ(brush.SetInterpolationColors(nullptr, positions, 2), stInvalidParameter);

    int count = 1;
    TGPPathGradientBrush fresh(path);
    EXPECT_EQ(fresh.SetSurroundColors(colours.data(), count), stOk);
    EXPECT_EQ(count, 1);
    // SetCenterColor answers the sticky status: Ok on the fresh brush, the
    // earlier refusal on the other.
    EXPECT_EQ(fresh.SetCenterColor(0xFFFF0000), stOk);
    EXPECT_EQ(brush.SetCenterColor(0xFFFF0000), stInvalidParameter);
}

TEST(GdiplusDrawing, SolidHatchAndGradientFillsLandOnTheBitmap) {
    fw::TBitmap bmp(100, 40);
    test::FillWhite(bmp);
    TGPGraphics g(bmp.Canvas().Handle());
    TGPSolidBrush solid(ComposeOpaqueARGB(0x10, 0x20, 0x30));
    g.FillRectangleF(solid, FloatRect(0, 0, 10, 10));
    EXPECT_EQ(Px(bmp, 5, 5), Rgb(0x10, 0x20, 0x30));
    EXPECT_EQ(Px(bmp, 10, 5), 0xFFFFFFu);

    TGPLinearGradientBrush gradient(FloatRect(0, 10, 100, 10), 0xFF000000, 0xFFFFFFFF,
                                    gpLinearGradientModeHorizontal);
    ASSERT_EQ(gradient.LastStatus(), stOk);
    g.FillRectangle(gradient, 0, 10, 100, 10);
    for (int x : {5, 25, 50, 75, 95}) {
        int grey = x * 255 / 100;
        EXPECT_TRUE(Near(Px(bmp, x, 15), Rgb(grey, grey, grey), 8)) << x << " " << std::hex << Px(bmp, x, 15);
    }

    TGPHatchBrush hatch(HatchStyleVertical, 0xFF000000, 0xFFFFFFFF);
    g.FillRectangle(hatch, 0, 20, 16, 4);
    int black = 0, white = 0;
    for (int x = 0; x < 16; ++x) {
        uint32_t p = Px(bmp, x, 22);
        if (p == 0) ++black;
        if (p == 0xFFFFFF) ++white;
    }
    EXPECT_GT(black, 0);
    EXPECT_GT(white, 0);

    TGPGraphicsPath ellipse;
    ellipse.AddEllipse(40, 20, 20, 20);
    TGPPathGradientBrush radial(ellipse);
    radial.SetCenterPointI(IntPoint(50, 30));
    radial.SetCenterColor(0xFFFF0000);
    TARGB surround = 0xFF0000FF;
    int count = 1;
    radial.SetSurroundColors(&surround, count);
    EXPECT_EQ(g.FillPath(radial, ellipse), stOk);
    uint32_t centre = Px(bmp, 50, 30);
    EXPECT_GT(int(centre >> 16), 200) << std::hex << centre;
    EXPECT_LT(int(centre & 0xFF), 60) << std::hex << centre;
    EXPECT_EQ(Px(bmp, 41, 21), 0xFFFFFFu);  // outside the ellipse
}

TEST(GdiplusDrawing, PenRectangleAndClipRegion) {
    fw::TBitmap bmp(30, 30);
    test::FillWhite(bmp);
    TGPGraphics g(bmp.Canvas().Handle());
    TGPRegion clip(FloatRect(0, 0, 15, 30));
    EXPECT_EQ(g.SetClipRegion(clip, gpCombineModeReplace), stOk);
    TGPSolidBrush red(0xFFFF0000);
    g.FillRectangle(red, 0, 0, 30, 10);
    EXPECT_EQ(Px(bmp, 14, 5), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 15, 5), 0xFFFFFFu);
    g.ResetClip();
    TGPPen pen(0xFF0000FF, 1);
    g.DrawRectangle(pen, 5, 15, 10, 10);
    EXPECT_EQ(Px(bmp, 10, 15), 0x0000FFu);
    EXPECT_EQ(Px(bmp, 10, 20), 0xFFFFFFu);  // outline only
}

TEST(GdiplusImages, BitmapsDrawReadBackAndKnowTheirFormat) {
    TGPBitmap bitmap(3, 2, gpPixelFormat32bppARGB);
    ASSERT_EQ(bitmap.LastStatus(), stOk);
    {
        TGPGraphics g(&bitmap);
        TGPSolidBrush green(0xFF00FF00);
        g.FillRectangle(green, 0, 0, 3, 2);
    }
    TARGB pixel = 0;
    EXPECT_EQ(bitmap.GetPixel(2, 1, pixel), stOk);
    EXPECT_EQ(pixel, 0xFF00FF00u);
    EXPECT_EQ(bitmap.GetWidth(), 3u);
    EXPECT_EQ(bitmap.GetBitsPerPixel(), 32);
    EXPECT_TRUE(bitmap.IsAlphaFormat());
    EXPECT_FALSE(bitmap.IsIndexedFormat());
    EXPECT_EQ(bitmap.GetFormatKind(), ifMemoryBMP);

    struct Row {
        const char* file;
        TGPImageFormatKind kind;
        unsigned w, h;
    } rows[] = {{"keyed.bmp", ifBMP, 6, 4},         {"quadrants.png", ifPNG, 2, 2}, {"baseline.jpg", ifJPEG, 33, 17},
                {"comma.gif", ifGIF, 23, 11},       {"big.tif", ifTIFF, 41, 13}};
    for (const Row& r : rows) {
        TDecodedImage decoded(test::DataBytes(r.file));
        ASSERT_TRUE(decoded.Ok()) << r.file;
        EXPECT_EQ(decoded.Image().GetFormatKind(), r.kind) << r.file;
        EXPECT_EQ(decoded.Image().GetWidth(), r.w) << r.file;
        EXPECT_EQ(decoded.Image().GetHeight(), r.h) << r.file;
    }
    std::vector<uint8_t> junk = {1, 2, 3, 4, 5};
    TDecodedImage bad(junk);
    EXPECT_FALSE(bad.Ok());
    EXPECT_EQ(bad.Image().GetWidth(), 0u);
    EXPECT_NE(bad.Image().LastStatus(), stOk);
}

TEST(GdiplusImages, ColourKeyMakesTheKeyedPixelsTransparent) {
    fw::TBitmap bmp(10, 10);
    test::FillWhite(bmp);
    TDecodedImage decoded(test::DataBytes("keyed.bmp"));
    ASSERT_TRUE(decoded.Ok());
    TGPImageAttributes attributes;
    EXPECT_EQ(attributes.SetColorKey(0xFFFF00FF, 0xFFFF00FF), stOk);
    TGPGraphics g(bmp.Canvas().Handle());
    EXPECT_EQ(g.DrawImageRectRect(&decoded.Image(), FloatRect(1, 1, 6, 4), 0, 0, 6, 4, gpUnitPixel, &attributes), stOk);
    EXPECT_EQ(Px(bmp, 1, 1), 0xFFFFFFu);  // magenta keyed out
    EXPECT_EQ(Px(bmp, 3, 2), 0x0000FFu);  // the blue square at (2, 1) of the image
    EXPECT_EQ(g.DrawImageAt(nullptr, 0, 0), stInvalidParameter);
}

class GdiplusText : public ::testing::Test {
protected:
    void SetUp() override {
        bmp_.SetSize(200, 60);
        test::FillWhite(bmp_);
        font_.SetName(L"Tahoma");
        font_.SetSize(10);
        font_.SetColor(fw::clBlack);
    }
    fw::TBitmap bmp_;
    fw::TFont font_;
};

TEST_F(GdiplusText, MissingFamilyFallsBackSoTextStillShows) {
    TGPFontFamily missing(L"No Such Face Qx");
    EXPECT_EQ(missing.LastStatus(), stFontFamilyNotFound);
    auto family = MakeFontFamily(L"No Such Face Qx");
    EXPECT_EQ(family->LastStatus(), stOk);
    EXPECT_NE(family->Native(), nullptr);

    font_.SetName(L"No Such Face Qx");
    auto gpFont = TGPGraphics::MakeFont(font_);
    EXPECT_EQ(gpFont->LastStatus(), stOk);
    TGPGraphics g(bmp_.Canvas().Handle());
    TGPSolidBrush black(0xFF000000);
    EXPECT_EQ(g.DrawStringW(L"Scan", gpFont.get(), FloatRect(2, 2, 150, 40), nullptr, &black), stOk);
    EXPECT_GT(test::InkIn(bmp_, 2, 2, 80, 40), 10);
    EXPECT_EQ(test::InkIn(bmp_, 100, 0, 200, 60), 0);
}

TEST_F(GdiplusText, DrawTextMeasuresTrailingBlanksAsIAndDrawsNothingWhenCalculating) {
    TGPGraphics g(bmp_.Canvas().Handle());
    auto gpFont = TGPGraphics::MakeFont(font_);
    struct Row {
        int points;
        double margin;
    } rows[] = {{8, 2}, {10, 2 + 1}, {14, 2 + 4}};
    for (const Row& r : rows) {
        font_.SetSize(r.points);
        auto f = TGPGraphics::MakeFont(font_);
        TGPFloatRect box;
        g.MeasureStringBounds(L"abi", 3, f.get(), FloatRect(10, 5, 1000 + 100, 30), box);
        RECT rect{10, 5, 110, 35};
        int height = g.DrawText(L"ab ", 3, rect, font_, DT_CALCRECT, fw::clNone);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.right, 10 + RoundHalfEven(box.Width - r.margin)) << r.points;
        EXPECT_EQ(rect.bottom, 5 + RoundHalfEven(box.Height)) << r.points;
        EXPECT_EQ(height, rect.bottom - rect.top);
    }
    EXPECT_EQ(test::InkIn(bmp_, 0, 0, 200, 60), 0);

    // Drawing: the text in the font colour over the background colour.
    font_.SetSize(10);
    font_.SetColor(fw::clBlue);
    RECT rect{10, 5, 110, 35};
    g.DrawText(L"Wg", 2, rect, font_, 0, fw::clRed);
    int red = 0, blue = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left + 1; x < rect.right; ++x) {
            if (Px(bmp_, x, y) == 0xFF0000) ++red;
            if (Near(Px(bmp_, x, y), 0x0000FF, 60)) ++blue;
        }
    EXPECT_GT(red, 10);
    EXPECT_GT(blue, 3);
    EXPECT_GT(g.TextHeight(L"Wg", font_), 5);
}

TEST(GdiplusCanvas, SteppedGradientBandsOverlapByOnePixel) {
    fw::TBitmap bmp(12, 3);
    test::FillWhite(bmp);
    bmp.Canvas().Brush().SetStyle(fw::TBrushStyle::bsClear);  // bands fill all the same
    DrawSteppedGradientBands(bmp.Canvas(), fw::clBlack, fw::RGBColor(120, 80, 40), 4, RECT{0, 0, 8, 2}, true);
    const uint32_t expected[] = {Rgb(0, 0, 0),    Rgb(0, 0, 0),    Rgb(30, 20, 10), Rgb(30, 20, 10), Rgb(60, 40, 20),
                                 Rgb(60, 40, 20), Rgb(90, 60, 30), Rgb(90, 60, 30), Rgb(90, 60, 30), 0xFFFFFF};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Px(bmp, x, 1), expected[x]) << x;
    EXPECT_EQ(Px(bmp, 3, 2), 0xFFFFFFu);

    test::FillWhite(bmp);
    DrawSteppedGradientBands(bmp.Canvas(), fw::clRed, fw::clBlue, 0, RECT{0, 0, 5, 2}, false);
    EXPECT_EQ(Px(bmp, 4, 2), 0xFF0000u);  // one pixel beyond the bottom edge
    EXPECT_EQ(Px(bmp, 5, 1), 0xFFFFFFu);
}

TEST(Platform, WineCountsAsVistaOrLater) { EXPECT_TRUE(IsWindowsVistaOrLater()); }

}  // namespace
}  // namespace kel
