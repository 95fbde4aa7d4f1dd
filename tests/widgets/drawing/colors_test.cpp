// Colour conversion, blending, shading, rounding, band geometry and the
// Version text.
#include <gtest/gtest.h>

#include <climits>

#include "widgets/drawing/KelGDIPColors.h"

namespace kel {
namespace {

using fw::RGBColor;
using fw::TColor;

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
    struct Row {
        double in;
        int out;
    } rows[] = {{0.5, 0},     {1.5, 2},    {2.5, 2},  {-0.5, 0},       {-1.5, -2},      {2.4999, 2},
                {127.5, 128}, {251.0, 251}, {-2.6, -3}, {1e20, INT_MAX}, {-1e20, INT_MIN}};
    for (const Row& r : rows) EXPECT_EQ(RoundHalfEven(r.in), r.out) << r.in;
}

TEST(ColorConversion, MovesChannelsIntoARGB) {
    EXPECT_EQ(ColorToOpaqueARGB(fw::clRed), 0xFFFF0000u);
    EXPECT_EQ(ColorToOpaqueARGB(fw::clBlue), 0xFF0000FFu);
    EXPECT_EQ(ColorToOpaqueARGB(RGBColor(1, 2, 3)), 0xFF010203u);
    EXPECT_EQ(ColorToARGBAlpha(0x80, fw::clLime), 0x8000FF00u);
    // System colours are resolved first.
    TColor face = fw::ColorToRGB(fw::clBtnFace);
    EXPECT_EQ(ColorToOpaqueARGB(fw::clBtnFace), ColorToOpaqueARGB(face));
    // Only the low byte of each argument counts.
    EXPECT_EQ(ComposeARGB(0x1FF, 0x102, 3, 0x304), 0xFF020304u);
    EXPECT_EQ(ComposeOpaqueARGB(10, 20, 30), 0xFF0A141Eu);
    EXPECT_EQ(ARGBRed(0x80112233u), 0x11);
    EXPECT_EQ(ARGBGreen(0x80112233u), 0x22);
    EXPECT_EQ(ARGBBlue(0x80112233u), 0x33);
}

TEST(BlendColors, MixesResolvedChannelsBetweenTheEnds) {
    TColor face = fw::ColorToRGB(fw::clBtnFace);
    auto mean = [](int a, int b) { return RoundHalfEven((a + b) / 2.0); };
    struct Row {
        TColor c1, c2;
        int percent;
        TColor expected;
    } rows[] = {
        // At the ends the colours come back as given, system colours included.
        {fw::clBtnFace, fw::clWhite, 100, fw::clBtnFace},
        {fw::clBtnFace, fw::clWhite, 150, fw::clBtnFace},
        {fw::clRed, fw::clBtnShadow, 0, fw::clBtnShadow},
        {fw::clRed, fw::clBtnShadow, -20, fw::clBtnShadow},
        {fw::clBtnFace, fw::clWhite, 50,
         RGBColor(mean(fw::ColorR(face), 255), mean(fw::ColorG(face), 255), mean(fw::ColorB(face), 255))},
        // 0.5, 1.5 and 2.5 round to even.
        {RGBColor(1, 3, 5), fw::clBlack, 50, RGBColor(0, 2, 2)},
        {fw::clBlack, fw::clWhite, 50, RGBColor(128, 128, 128)},
        {RGBColor(200, 0, 100), RGBColor(0, 100, 0), 25, RGBColor(50, 75, 25)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(BlendColors(r.c1, r.c2, r.percent), r.expected) << std::hex << r.c1 << " " << r.c2 << " " << std::dec
                                                                  << r.percent;
}

TEST(ScaleColor, ShadesChannelsAndStaysInsideTheByte) {
    struct Row {
        TColor in;
        int r, g, b;
        TColor expected;
    } rows[] = {
        {fw::clBlack, 20, 20, 20, RGBColor(20, 20, 20)},                  // black channels rise
        {RGBColor(200, 100, 0), -50, -50, -50, RGBColor(100, 50, 0)},     // darken
        {RGBColor(200, 100, 0), 30, 30, 30, RGBColor(200, 100, 30)},      // positive: only zero channels
        {fw::clWhite, -5, -5, -5, RGBColor(242, 242, 242)},               // 242.25
        {RGBColor(101, 0, 0), -10, -10, -10, RGBColor(91, 0, 0)},         // 90.9
        {RGBColor(5, 0, 0), -10, -10, -10, RGBColor(4, 0, 0)},            // 4.5 to even
        {RGBColor(200, 100, 50), -150, -150, -150, fw::clBlack},          // no wrap-around below -100
        {RGBColor(200, 100, 50), -1000, -1000, -1000, fw::clBlack},
        {fw::clBlack, 300, 300, 300, fw::clWhite},                        // no wrap-around above 255
        {RGBColor(100, 100, 100), 0, -10, -50, RGBColor(100, 90, 50)},    // per channel
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ScaleColorChannels(row.in, row.r, row.g, row.b), row.expected) << std::hex << row.in;
        if (row.r == row.g && row.g == row.b) {
            EXPECT_EQ(ScaleColor(row.in, row.r), row.expected);
        }
    }
    // System colours are resolved.
    EXPECT_EQ(ScaleColor(fw::clBtnFace, -10), ScaleColor(fw::ColorToRGB(fw::clBtnFace), -10));
}

TEST(VersionText, JoinsTheFourPackedParts) {
    EXPECT_EQ(VersionNrText(0x01000902), L"1.0.9.2");
    EXPECT_EQ(VersionNrText(0x02000101), L"2.0.1.1");
    EXPECT_EQ(VersionNrText(0xFFFEFDFC), L"255.254.253.252");
    struct Component : IKelVersion {
        uint32_t GetVersionNr() const override { return 0x02000101; }
    } c;
    c.SetVersion(L"9.9.9.9");
    EXPECT_EQ(c.GetVersion(), L"2.0.1.1");
}

bool SameRect(const TIntRect& a, const TIntRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TEST(SteppedGradientBands, ZeroStepsPaintTheWholeRectPlusOnePixelInTheFromColour) {
    auto bands = SteppedGradientBands(RGBColor(10, 20, 30), fw::clWhite, 0, TIntRect{0, 0, 10, 5}, true);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].Color, RGBColor(10, 20, 30));
    EXPECT_TRUE(SameRect(bands[0].Rect, TIntRect{0, 0, 11, 5}));
}

TEST(SteppedGradientBands, StepsColourAndPositionByRoundedMultiples) {
    // 64 bands over 64 pixels: band i is grey Round(i * 255 / 64), 2 pixels wide.
    auto bands = SteppedGradientBands(fw::clBlack, fw::clWhite, 64, TIntRect{0, 0, 64, 3}, true);
    ASSERT_EQ(bands.size(), 64u);
    for (int i = 0; i < 64; ++i) {
        int g = RoundHalfEven(i * 255 / 64.0);
        EXPECT_EQ(bands[static_cast<size_t>(i)].Color, RGBColor(g, g, g)) << i;
        EXPECT_TRUE(SameRect(bands[static_cast<size_t>(i)].Rect, TIntRect{i, 0, i + 2, 3})) << i;
    }
    EXPECT_EQ(bands.back().Color, RGBColor(251, 251, 251));

    // Vertical, uneven size 10/3: tops 0, 3, 7; each band Round(size) + 1 high.
    auto v = SteppedGradientBands(fw::clBlack, RGBColor(30, 60, 90), 3, TIntRect{2, 0, 6, 10}, false);
    ASSERT_EQ(v.size(), 3u);
    const TIntRect rects[] = {{2, 0, 6, 4}, {2, 3, 6, 7}, {2, 7, 6, 11}};
    const TColor colours[] = {fw::clBlack, RGBColor(10, 20, 30), RGBColor(20, 40, 60)};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(SameRect(v[i].Rect, rects[i])) << i;
        EXPECT_EQ(v[i].Color, colours[i]) << i;
    }

    // Falling channels and system colours.
    auto down = SteppedGradientBands(fw::clWhite, fw::clBlack, 2, TIntRect{0, 0, 2, 1}, true);
    EXPECT_EQ(down[1].Color, RGBColor(127, 127, 127));  // 255 - 127.5 rounds to even
    auto sys = SteppedGradientBands(fw::clBtnFace, fw::clBtnFace, 1, TIntRect{0, 0, 1, 1}, true);
    EXPECT_EQ(sys[0].Color, fw::ColorToRGB(fw::clBtnFace));
}

TEST(SteppedGradientBands, ShortenedSpanEndsOnePixelBeforeTheFarEdge) {
    auto bands = SteppedGradientBands(fw::clBlack, fw::clWhite, 4, TIntRect{0, 0, 9, 2}, true, 1);
    ASSERT_EQ(bands.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(SameRect(bands[static_cast<size_t>(i)].Rect, TIntRect{2 * i, 0, 2 * i + 3, 2})) << i;
}

TEST(ClippedSteppedGradientBands, TruncatesWidthsAndStopsAtTheFarEdge) {
    auto bands = ClippedSteppedGradientBands(fw::clBlack, fw::clWhite, 64, TIntRect{0, 0, 64, 3}, true);
    ASSERT_EQ(bands.size(), 64u);
    EXPECT_TRUE(SameRect(bands[0].Rect, TIntRect{0, 0, 2, 3}));
    EXPECT_TRUE(SameRect(bands[63].Rect, TIntRect{63, 0, 64, 3}));
    EXPECT_EQ(bands[63].Color, RGBColor(251, 251, 251));

    // 10/3 pixels a band: lefts 0, 3, 7; widths Trunc(3.33) + 1 = 4, the last clipped.
    auto odd = ClippedSteppedGradientBands(fw::clBlack, fw::clWhite, 3, TIntRect{0, 5, 10, 8}, true);
    const TIntRect rects[] = {{0, 5, 4, 8}, {3, 5, 7, 8}, {7, 5, 10, 8}};
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(SameRect(odd[i].Rect, rects[i])) << i;

    auto vertical = ClippedSteppedGradientBands(fw::clBlack, fw::clWhite, 0, TIntRect{1, 2, 5, 9}, false);
    ASSERT_EQ(vertical.size(), 1u);
    EXPECT_TRUE(SameRect(vertical[0].Rect, TIntRect{1, 2, 5, 9}));
}

}  // namespace
}  // namespace kel
