// The fill's geometry: rounded outlines, fitted radii, the part split and
// its rounding, picture placement, the shadow's steps and the glow shapes.
#include <gtest/gtest.h>

#include "tests/widgets/drawing/gp_print.h"
#include "widgets/drawing/GDIPFillGeometry.h"

namespace kel {
namespace {

std::string Describe(const std::vector<TOutlineSegment>& segments) {
    std::string s;
    for (const auto& g : segments) {
        char buf[96];
        if (g.Arc)
            snprintf(buf, sizeof buf, "arc(%g,%g %gx%g %g+%g) ", g.X1, g.Y1, g.X2, g.Y2, g.Start, g.Sweep);
        else
            snprintf(buf, sizeof buf, "line(%g,%g-%g,%g) ", g.X1, g.Y1, g.X2, g.Y2);
        s += buf;
    }
    return s;
}

TEST(FillOutline, EachRoundingTypeHasItsSegmentsClockwiseFromTopLeft) {
    // x 10, y 20, w 100, h 50, radius 8 (arc box 16).
    struct Row {
        TFillRoundingType type;
        const char* expected;
    } rows[] = {
        {rtNone, "line(10,20-110,20) line(110,20-110,70) line(110,70-10,70) line(10,70-10,20) "},
        {rtTop,
         "arc(10,20 16x16 180+90) line(18,20-102,20) arc(94,20 16x16 270+90) line(110,28-110,70) "
         "line(110,70-10,70) line(10,70-10,28) "},
        {rtBottom,
         "line(10,20-110,20) line(110,20-110,62) arc(94,54 16x16 0+90) line(102,70-18,70) "
         "arc(10,54 16x16 90+90) line(10,62-10,20) "},
        {rtBoth,
         "arc(10,20 16x16 180+90) line(18,20-102,20) arc(94,20 16x16 270+90) line(110,28-110,62) "
         "arc(94,54 16x16 0+90) line(102,70-18,70) arc(10,54 16x16 90+90) line(10,62-10,28) "},
        {rtLeft,
         "arc(10,20 16x16 180+90) line(18,20-102,20) line(110,20-110,70) line(102,70-18,70) "
         "arc(10,54 16x16 90+90) line(10,62-10,28) "},
        {rtRight,
         "line(10,20-102,20) arc(94,20 16x16 270+90) line(110,28-110,62) arc(94,54 16x16 0+90) "
         "line(102,70-10,70) line(10,62-10,28) "},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Describe(RoundedOutlineSegments(row.type, 10, 20, 100, 50, 16, 8)), row.expected) << row.type;
        EXPECT_EQ(RoundedRectOutline({10, 20, 100, 50}, 8, row.type), RoundedOutlineSegments(row.type, 10, 20, 100, 50, 16, 8));
    }
}

TEST(FillOutline, RadiusIsFittedToWhatTheCornersCanHold) {
    struct Row {
        TFillRoundingType type;
        float w, h, radius, expected;
    } rows[] = {
        {rtBoth, 100, 50, 8, 8},      {rtBoth, 100, 50, 40, 25},  {rtBoth, 10, 50, 40, 5},
        {rtTop, 100, 10, 40, 10},     {rtTop, 100, 30, 80, 30},   {rtBottom, 12, 30, 40, 6},
        {rtLeft, 100, 10, 40, 5},     {rtRight, 4, 100, 40, 4},   {rtNone, 100, 50, 8, 0},
        {rtBoth, 100, 50, -3, 0},     {rtBoth, 0, 50, 8, 0},      {rtBoth, 100, -5, 8, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FitRadius(row.type, row.w, row.h, row.radius), row.expected)
            << row.type << " " << row.w << "x" << row.h << " r" << row.radius;

    // The upper half of a two-part fill keeps the corners of the whole.
    const TFillParts parts = SplitFillParts({0, 0, 100, 30});
    EXPECT_EQ(FitRadius(rtTop, parts.Upper.Width, parts.Upper.Height, 12), FitRadius(rtBoth, 100, 30, 12));

    // With no radius left the corners are square, never arcs of no size.
    EXPECT_EQ(RoundedRectOutline({0, 0, 10, 10}, 0, rtBoth), RoundedOutlineSegments(rtNone, 0, 0, 10, 10, 0, 0));
    EXPECT_EQ(RoundedRectOutline({0, 0, 10, 10}, -4, rtTop), RoundedOutlineSegments(rtNone, 0, 0, 10, 10, 0, 0));
}

TEST(FillParts, TwoHalvesOverlapByTwoPixelsAndKeepTheirOwnCorners) {
    struct Row {
        TGPFloatRect r, upper, lower;
    } rows[] = {
        {{0, 0, 100, 50}, {0, 0, 100, 26}, {0, 24, 100, 26}},
        {{5, 10, 40, 51}, {5, 10, 40, 26.5f}, {5, 34.5f, 40, 26.5f}},
    };
    for (const auto& row : rows) {
        const TFillParts p = SplitFillParts(row.r);
        EXPECT_EQ(p.Upper, row.upper);
        EXPECT_EQ(p.Lower, row.lower);
    }

    struct Narrow {
        TFillRoundingType type, upper, mirror;
    } narrows[] = {
        {rtNone, rtNone, rtNone},     {rtTop, rtTop, rtNone},    {rtBottom, rtNone, rtBottom},
        {rtBoth, rtTop, rtBottom},    {rtLeft, rtLeft, rtLeft},  {rtRight, rtRight, rtRight},
    };
    for (const auto& n : narrows) {
        EXPECT_EQ(NarrowRounding(n.type, false), n.upper) << n.type;
        EXPECT_EQ(NarrowRounding(n.type, true), n.mirror) << n.type;
    }
}

TEST(FillParts, MissingColoursTurnAPartIntoNothingOrSolid) {
    struct Row {
        TKelGradientType kind;
        fw::TColor from, to;
        TKelGradientType expected;
    } rows[] = {
        {gtVertical, fw::clRed, fw::clBlue, gtVertical}, {gtVertical, fw::clRed, fw::clNone, gtSolid},
        {gtHatch, fw::clNone, fw::clBlue, gtNone},       {gtRadial, fw::clNone, fw::clNone, gtNone},
        {gtAngle, fw::clBtnFace, fw::clNone, gtSolid},
    };
    for (const auto& row : rows) EXPECT_EQ(EffectiveGradientKind(row.kind, row.from, row.to), row.expected);
}

TEST(FillPictures, EachPositionPlacesThePictureInTheRectangle) {
    const TIntRect r{10, 20, 111, 71};  // 101 by 51: centring truncates
    struct Row {
        TFillPicturePosition position;
        TIntRect expected;
    } rows[] = {
        {ppTopLeft, {10, 20, 30, 30}},      {ppTopCenter, {50, 20, 70, 30}},     {ppTopRight, {91, 20, 111, 30}},
        {ppBottomLeft, {10, 61, 30, 71}},   {ppBottomCenter, {50, 61, 70, 71}},  {ppBottomRight, {91, 61, 111, 71}},
        {ppStretched, {10, 20, 111, 71}},   {ppCenterLeft, {10, 40, 30, 50}},    {ppCenterCenter, {50, 40, 70, 50}},
        {ppCenterRight, {91, 40, 111, 50}}, {ppCustom, {3, 4, 23, 14}},
    };
    for (const auto& row : rows) {
        auto placed = FillPictureRect(row.position, 20, 10, r, 3, 4);
        ASSERT_TRUE(placed) << row.position;
        EXPECT_EQ(*placed, row.expected) << row.position;
    }
    EXPECT_FALSE(FillPictureRect(ppTiled, 20, 10, r, 3, 4));
    // A picture larger than the rectangle centres to the left of it.
    EXPECT_EQ(*FillPictureRect(ppCenterCenter, 31, 10, TIntRect{0, 0, 20, 10}, 0, 0), (TIntRect{-5, 0, 26, 10}));
}

TEST(FillPictures, IntegerBoundsRoundHalvesToEven) {
    EXPECT_EQ(IntegerBounds({0.5f, 1.5f, 10.5f, 2.5f}), (TIntRect{0, 2, 10, 4}));
    EXPECT_EQ(IntegerBounds({-0.4f, 3.6f, 99.6f, 0}), (TIntRect{0, 4, 100, 4}));
}

TEST(FillShadow, ShrinksTheRectangleButNeverBelowNothing) {
    EXPECT_EQ(ShrinkByShadow({0, 0, 100, 50}, 5), (TGPFloatRect{0, 0, 95, 45}));
    EXPECT_EQ(ShrinkByShadow({3, 4, 100, 50}, 60), (TGPFloatRect{3, 4, 40, 0}));
    EXPECT_EQ(ShrinkByShadow({3, 4, 100, 50}, 500), (TGPFloatRect{3, 4, 0, 0}));
    EXPECT_EQ(ShrinkByShadow({3, 4, 100, 50}, -5), (TGPFloatRect{3, 4, 100, 50}));
}

TEST(FillShadow, StepsFadeInOverATenthOfTheWayThenStayAt180) {
    const auto steps = ShadowSteps({0, 0, 100, 50});  // a ramp of 5 pixels along the long side
    const std::vector<TShadowStep> expected = {{1.0f, 18}, {0.98f, 54}, {0.96f, 90}, {0.94f, 126}, {0.92f, 162}, {0.9f, 180}};
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_NEAR(steps[i].Scale, expected[i].Scale, 1e-6) << i;
        EXPECT_EQ(steps[i].Alpha, expected[i].Alpha) << i;
    }
    // A small shape still fades; a huge one is not cut into thousands of rings.
    EXPECT_EQ(ShadowSteps({0, 0, 4, 4}).size(), 2u);
    EXPECT_EQ(ShadowSteps({0, 0, 5000, 40}).size(), 33u);
    EXPECT_EQ(ShadowSteps({0, 0, 5000, 40}).back(), (TShadowStep{0.9f, 180}));

    EXPECT_EQ(ScaleAboutCenter({10, 20, 100, 50}, 0.9f), (TGPFloatRect{15, 22.5f, 90, 45}));
}

TEST(FillOverlays, RadialAndGlowShapes) {
    const TRadialLayout up = RadialLayout({10, 20, 100, 40}, true);
    EXPECT_EQ(up.Ellipse, (TGPFloatRect{10, 0, 100, 60}));
    EXPECT_EQ(up.Center, (TGPFloatPoint{60, 20}));
    const TRadialLayout down = RadialLayout({10, 20, 100, 40}, false);
    EXPECT_EQ(down.Ellipse, (TGPFloatRect{10, 20, 100, 60}));
    EXPECT_EQ(down.Center, (TGPFloatPoint{60, 60}));

    const TGlowLayout g = GlowLayout({0, 0, 102, 42});
    EXPECT_EQ(g.Inner, (TGPFloatRect{1, 1, 100, 40}));
    EXPECT_EQ(g.TopBand, (TGPFloatRect{6, 1, 90, 4}));
    EXPECT_EQ(g.TopCorners[0], (TGlowLayout::Triangle{{{1, 1}, {6, 1}, {6, 5}}}));
    EXPECT_EQ(g.TopCorners[1], (TGlowLayout::Triangle{{{101, 1}, {96, 1}, {96, 5}}}));
    EXPECT_EQ(g.BottomBand, (TGPFloatRect{6, 34, 90, 7}));
    EXPECT_EQ(g.BottomCorners[0], (TGlowLayout::Triangle{{{1, 41}, {6, 41}, {6, 34}}}));
    EXPECT_EQ(g.BottomCorners[1], (TGlowLayout::Triangle{{{101, 41}, {96, 41}, {96, 34}}}));
    EXPECT_EQ(g.RadialEllipse, (TGPFloatRect{11, -19, 80, 120}));
    // Too narrow for the bands: they have no area and are left out.
    EXPECT_FALSE(HasArea(GlowLayout({0, 0, 11, 40}).TopBand));
}

}  // namespace
}  // namespace kel
