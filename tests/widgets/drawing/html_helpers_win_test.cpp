// GDI helpers of the HTML renderers: stepped gradient with frame, shell
// icons, stretched DIB copies and rotated fonts.
#include <gtest/gtest.h>

#include "tests/widgets/drawing/win_paint.h"
#include "widgets/drawing/HtmlDrawHelpers.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {
namespace {

using test::Px;
using test::Rgb;

TEST(DrawSteppedGradient, SixtyFourBandsEndOneStepShortOfTheToColour) {
    fw::TBitmap bmp(66, 4);
    test::FillWhite(bmp);
    DrawSteppedGradient(bmp.Canvas(), fw::clBlack, fw::clWhite, fw::clNone, 64, RECT{0, 0, 64, 3}, true);
    for (int x = 0; x < 64; ++x) {
        uint32_t g = static_cast<uint32_t>(RoundHalfEven(x * 255 / 64.0));
        EXPECT_EQ(Px(bmp, x, 1), Rgb(g, g, g)) << x;
    }
    EXPECT_EQ(Px(bmp, 63, 0), Rgb(251, 251, 251));
    EXPECT_EQ(Px(bmp, 64, 1), 0xFFFFFFu);  // no band reaches past the rect
    EXPECT_EQ(Px(bmp, 10, 3), 0xFFFFFFu);
}

TEST(DrawSteppedGradient, FrameIsDrawnWithAClearBrushAndNoneMeansNoFrame) {
    fw::TBitmap bmp(12, 12);
    test::FillWhite(bmp);
    fw::TCanvas& c = bmp.Canvas();
    c.Brush().SetStyle(fw::TBrushStyle::bsClear);  // left clear by an earlier frame
    DrawSteppedGradient(c, fw::RGBColor(0, 0, 100), fw::RGBColor(0, 0, 200), fw::clRed, 0, RECT{1, 1, 11, 11}, false);
    EXPECT_EQ(Px(bmp, 1, 1), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 10, 6), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 6, 10), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 6, 6), Rgb(0, 0, 100));  // one band in the from colour
    EXPECT_EQ(Px(bmp, 11, 11), 0xFFFFFFu);
    EXPECT_EQ(c.Pen().Color(), fw::clRed);
    EXPECT_EQ(c.Brush().Style(), fw::TBrushStyle::bsClear);

    // Vertical bands, the last clipped at the bottom.
    test::FillWhite(bmp);
    DrawSteppedGradient(c, fw::clBlack, fw::RGBColor(0, 90, 0), fw::clNone, 3, RECT{0, 0, 4, 10}, false);
    EXPECT_EQ(Px(bmp, 2, 2), Rgb(0, 0, 0));
    EXPECT_EQ(Px(bmp, 2, 5), Rgb(0, 30, 0));
    EXPECT_EQ(Px(bmp, 2, 9), Rgb(0, 60, 0));
    EXPECT_EQ(Px(bmp, 2, 10), 0xFFFFFFu);
}

class SystemIcons : public ::testing::Test {
protected:
    void SetUp() override {
        bmp_.SetSize(80, 80);
        test::FillWhite(bmp_);
    }
    fw::TBitmap bmp_;
};

TEST_F(SystemIcons, IndexOrNameDrawsTheListIconAndReportsItsSize) {
    struct Row {
        const wchar_t* source;
        bool large;
    // Wine's system image list starts with three icons.
    } rows[] = {{L"2", false}, {L" +1", true}, {L"C:\\no\\such\\report.txt", false}, {L"C:\\windows", true}};
    for (const Row& r : rows) {
        test::FillWhite(bmp_);
        POINT size{-1, -1};
        DrawSystemIcon(bmp_.Canvas(), 10, 20, r.source, r.large, true, false, 1.0, size);
        EXPECT_GT(size.x, 0);
        EXPECT_EQ(size.x, size.y);
        EXPECT_GT(test::InkIn(bmp_, 10, 20, 10 + size.x, 20 + size.y), 0) << r.source;
        EXPECT_EQ(test::InkIn(bmp_, 0, 0, 80, 20), 0);
        EXPECT_EQ(test::InkIn(bmp_, 10 + size.x, 0, 80, 80), 0);
    }
    POINT small{}, large{};
    DrawSystemIcon(bmp_.Canvas(), 0, 0, L"3", false, false, false, 1.0, small);
    DrawSystemIcon(bmp_.Canvas(), 0, 0, L"3", true, false, false, 1.0, large);
    EXPECT_LT(small.x, large.x);
}

TEST_F(SystemIcons, MeasuringOnlyDrawsNothing) {
    POINT size{};
    DrawSystemIcon(bmp_.Canvas(), 0, 0, L"3", false, false, false, 1.0, size);
    EXPECT_GT(size.x, 0);
    EXPECT_EQ(test::InkIn(bmp_, 0, 0, 80, 80), 0);
}

TEST_F(SystemIcons, PrintModeStretchesByTheScale) {
    POINT size{};
    DrawSystemIcon(bmp_.Canvas(), 5, 5, L"2", false, true, true, 2.0, size);
    ASSERT_GT(size.x, 0);
    const int drawn = RoundHalfEven(size.x * 2.0);
    // Through a bitmap copied whole, so the scaled box is covered and no more.
    EXPECT_GT(test::InkIn(bmp_, 5 + size.x, 5 + size.y, 5 + drawn, 5 + drawn), 0);
    EXPECT_EQ(test::InkIn(bmp_, 5 + drawn, 0, 80, 80), 0);
    EXPECT_EQ(test::InkIn(bmp_, 0, 5 + drawn, 80, 80), 0);
}

TEST(StretchDrawDIB, CopiesTheBitmapStretchedIntoTheRect) {
    fw::TBitmap source(2, 2);
    source.Canvas().SetPixel(0, 0, fw::clRed);
    source.Canvas().SetPixel(1, 0, fw::clLime);
    source.Canvas().SetPixel(0, 1, fw::clBlue);
    source.Canvas().SetPixel(1, 1, fw::clYellow);
    fw::TBitmap bmp(12, 12);
    test::FillWhite(bmp);
    StretchDrawDIB(bmp.Canvas(), RECT{2, 2, 10, 10}, source);
    EXPECT_EQ(Px(bmp, 2, 2), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 5, 5), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 6, 2), 0x00FF00u);
    EXPECT_EQ(Px(bmp, 2, 9), 0x0000FFu);
    EXPECT_EQ(Px(bmp, 9, 9), 0xFFFF00u);
    EXPECT_EQ(Px(bmp, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(Px(bmp, 1, 1), 0xFFFFFFu);

    fw::TBitmap empty;
    StretchDrawDIB(bmp.Canvas(), RECT{0, 0, 12, 12}, empty);  // nothing
    EXPECT_EQ(Px(bmp, 1, 1), 0xFFFFFFu);
}

LOGFONTW SelectedFont(HDC dc) {
    LOGFONTW lf{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    return lf;
}

TEST(RotatedFont, SelectsARotatedCopyAndRestoreDeletesIt) {
    fw::TBitmap bmp(10, 10);
    fw::TCanvas& c = bmp.Canvas();
    c.Font().SetName(L"Tahoma");
    c.TextExtent(L"x");  // the canvas font is selected
    HDC dc = c.Handle();
    HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);

    TRotatedFontState state;
    CreateRotatedFont(c, 90, state);
    HFONT first = state.rotated;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), first);
    EXPECT_EQ(SelectedFont(dc).lfEscapement, 900);
    EXPECT_EQ(SelectedFont(dc).lfOrientation, 900);
    EXPECT_STREQ(SelectedFont(dc).lfFaceName, L"Tahoma");

    // A second rotation without a restore does not leak the first font.
    CreateRotatedFont(c, -45, state);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(SelectedFont(dc).lfEscapement, -450);
    HFONT second = state.rotated;

    RestoreRotatedFont(c, state);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), before);
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(state.rotated, nullptr);
    RestoreRotatedFont(c, state);  // nothing remembered: nothing happens
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), before);
}

TEST(RotatedFont, CanvasReplacingTheFontLeavesRestoreOnlyTheDeletion) {
    fw::TBitmap bmp(10, 10);
    fw::TCanvas& c = bmp.Canvas();
    TRotatedFontState state;
    CreateRotatedFont(c, 30, state);
    HFONT rotated = state.rotated;
    ASSERT_NE(rotated, nullptr);
    c.TextExtent(L"x");  // the canvas selects its own font again
    HGDIOBJ canvasFont = GetCurrentObject(c.Handle(), OBJ_FONT);
    EXPECT_NE(canvasFont, rotated);
    RestoreRotatedFont(c, state);
    EXPECT_EQ(GetCurrentObject(c.Handle(), OBJ_FONT), canvasFont);
    EXPECT_EQ(GetObjectType(rotated), 0u);
}

}  // namespace
}  // namespace kel
