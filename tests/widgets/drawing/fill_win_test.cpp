// The fill painted into off-screen 32-bit bitmaps under Wine: flat colours
// exactly, gradients within a small tolerance.
#include <gtest/gtest.h>

#include <string>

#include "tests/widgets/drawing/gp_print.h"
#include "tests/widgets/drawing/test_data.h"
#include "tests/widgets/drawing/win_paint.h"
#include "widgets/drawing/GDIPFill.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {
namespace {

using test::InkIn;
using test::Near;
using test::Px;
using test::Rgb;

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x008000;
constexpr TGPFloatRect kRect{10, 10, 100, 50};

// A white 120 by 70 bitmap and a GDI+ surface on it.
struct Surface {
    fw::TBitmap bmp{120, 70};
    std::unique_ptr<TGPGraphics> g;
    Surface() {
        test::FillWhite(bmp);
        g = std::make_unique<TGPGraphics>(bmp.Canvas().Handle());
    }
    uint32_t operator()(int x, int y) { return Px(bmp, x, y); }
    TGPFloatRect Fill(TGDIPFill& f, const TGPFloatRect& r = kRect) {
        TGPFloatRect left = f.Fill(g.get(), r);
        GdiFlush();
        return left;
    }
};

// A one-colour fill without gradient.
void Solid(TGDIPFill& f, fw::TColor colour) {
    f.SetGradientType(gtSolid);
    f.SetColor(colour);
}

TEST(FillPaint, SolidPartsAreExactAndTheMirrorLiesOverTheUpper) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clRed);
    EXPECT_EQ(s.Fill(f), kRect);
    EXPECT_EQ(s(10, 10), kRed);
    EXPECT_EQ(s(109, 59), kRed);
    for (auto [x, y] : {std::pair{9, 30}, {110, 30}, {50, 9}, {50, 60}}) EXPECT_EQ(s(x, y), kWhite) << x << "," << y;

    // Two parts: upper (10, 10, 100, 26), lower (10, 34, 100, 26).
    f.SetColorMirror(fw::clBlue);
    f.SetGradientMirrorType(gtSolid);
    s.Fill(f);
    EXPECT_EQ(s(50, 33), kRed);
    EXPECT_EQ(s(50, 34), kBlue);
    EXPECT_EQ(s(50, 59), kBlue);

    // No upper colour: only the mirror part is painted.
    Surface t;
    f.SetColor(fw::clNone);
    t.Fill(f);
    EXPECT_EQ(t(50, 20), kWhite);
    EXPECT_EQ(t(50, 40), kBlue);
}

TEST(FillPaint, OpacityArgumentsOverrideTheProperties) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clRed);
    f.SetOpacity(10);
    f.Fill(s.g.get(), kRect, 255, 128, 255, 255, 255);
    GdiFlush();
    EXPECT_TRUE(Near(s(50, 30), Rgb(255, 127, 127), 1)) << std::hex << s(50, 30);
}

TEST(FillPaint, GradientsRunInTheirDirection) {
    struct Row {
        TKelGradientType kind;
        int angle;
        std::pair<int, int> dark, light;  // near Color (black) and near ColorTo (white)
    } rows[] = {
        {gtVertical, 0, {60, 11}, {60, 58}},         {gtHorizontal, 0, {11, 35}, {108, 35}},
        {gtForwardDiagonal, 0, {11, 11}, {108, 58}}, {gtBackwardDiagonal, 0, {108, 11}, {11, 58}},
        {gtAngle, 0, {11, 35}, {108, 35}},           {gtAngle, 90, {60, 11}, {60, 58}},
    };
    for (const auto& row : rows) {
        Surface s;
        TGDIPFill f;
        f.SetColor(fw::clBlack);
        f.SetColorTo(fw::clWhite);
        f.SetGradientType(row.kind);
        f.SetAngle(row.angle);
        s.Fill(f);
        const std::string what = std::to_string(row.kind) + "/" + std::to_string(row.angle);
        EXPECT_TRUE(Near(s(row.dark.first, row.dark.second), 0, 40)) << what << std::hex << " " << s(row.dark.first, row.dark.second);
        EXPECT_TRUE(Near(s(row.light.first, row.light.second), kWhite, 40)) << what;
        const uint32_t mid = s(60, 35) & 0xFF;
        EXPECT_GT(mid, 40u) << what;
        EXPECT_LT(mid, 215u) << what;
    }
}

TEST(FillPaint, MirrorGradientStartsWithASeamStripInItsFromColour) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clBlack);
    f.SetColorMirror(fw::clBlue);
    f.SetColorMirrorTo(fw::clWhite);
    f.SetGradientMirrorType(gtVertical);
    s.Fill(f);
    EXPECT_EQ(s(50, 34), kBlue);  // the strip: exactly the from colour
    EXPECT_TRUE(Near(s(50, 58), kWhite, 40)) << std::hex << s(50, 58);
}

TEST(FillPaint, HatchUsesForeAndBackColour) {
    Surface s;
    TGDIPFill f;
    f.SetGradientType(gtHatch);
    f.SetHatchStyle(HatchStyleCross);
    f.SetColor(fw::clRed);
    f.SetColorTo(fw::clBlue);
    s.Fill(f);
    int red = 0, blue = 0, other = 0;
    for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 110; ++x) {
            const uint32_t p = s(x, y);
            (p == kRed ? red : p == kBlue ? blue : other)++;
        }
    EXPECT_GT(red, 500);
    EXPECT_GT(blue, 2000);
    EXPECT_EQ(other, 0);
}

TEST(FillPaint, RoundingTypesRoundOnlyTheirCorners) {
    // Corners: top-left, top-right, bottom-right, bottom-left.
    const std::pair<int, int> corners[4] = {{10, 10}, {109, 10}, {109, 59}, {10, 59}};
    struct Row {
        TFillRoundingType type;
        bool rounded[4];
    } rows[] = {
        {rtNone, {false, false, false, false}}, {rtTop, {true, true, false, false}},
        {rtBottom, {false, false, true, true}}, {rtBoth, {true, true, true, true}},
        {rtLeft, {true, false, false, true}},   {rtRight, {false, true, true, false}},
    };
    // One part, two solid parts, two radial parts.
    for (int variant : {0, 1, 2}) {
        for (const auto& row : rows) {
            Surface s;
            TGDIPFill f;
            Solid(f, fw::clRed);
            if (variant > 0) f.SetColorMirror(fw::clRed);
            if (variant == 2) {
                f.SetGradientType(gtRadial);
                f.SetColorTo(fw::clRed);
                f.SetGradientMirrorType(gtRadial);
            }
            f.SetRounding(10);
            f.SetRoundingType(row.type);
            s.Fill(f);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(s(corners[i].first, corners[i].second), row.rounded[i] ? kWhite : kRed)
                    << "type " << row.type << " corner " << i << " variant " << variant;
            EXPECT_EQ(s(60, 35), kRed);
        }
    }
}

TEST(FillPaint, OversizedRoundingStaysInsideTheRectangle) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clRed);
    f.SetRounding(500);
    f.SetBorderColor(fw::clGreen);
    s.Fill(f);
    EXPECT_EQ(InkIn(s.bmp, 0, 0, 120, 9), 0);
    EXPECT_EQ(InkIn(s.bmp, 0, 62, 120, 70), 0);
    EXPECT_EQ(InkIn(s.bmp, 0, 0, 8, 70), 0);
    EXPECT_EQ(InkIn(s.bmp, 112, 0, 120, 70), 0);
    EXPECT_EQ(s(60, 35), kRed);
    EXPECT_EQ(s(12, 12), kWhite);  // a corner rounded by half the height
    EXPECT_EQ(s(60, 12), kRed);
}

TEST(FillPaint, HatchWithAMirrorColourIsOnePartWithAllItsCorners) {
    Surface s;
    TGDIPFill f;
    f.SetGradientType(gtHatch);
    f.SetColor(fw::clRed);
    f.SetColorTo(fw::clRed);
    f.SetColorMirror(fw::clBlue);
    f.SetRounding(10);
    s.Fill(f);
    for (auto [x, y] : {std::pair{10, 10}, {109, 10}, {109, 59}, {10, 59}}) EXPECT_EQ(s(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(s(60, 55), kRed);
}

TEST(FillPaint, BorderFollowsTheOutline) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clRed);
    f.SetBorderColor(fw::clGreen);
    s.Fill(f);
    EXPECT_EQ(s(10, 30), kGreen);
    EXPECT_EQ(s(110, 30), kGreen);
    EXPECT_EQ(s(50, 10), kGreen);
    EXPECT_EQ(s(50, 60), kGreen);
    EXPECT_EQ(s(11, 30), kRed);
    EXPECT_EQ(s.Fill(f, {10, 10, 1, 1}), (TGPFloatRect{10, 10, 1, 1}));

    // No border for clNone or a width of 0.
    for (auto setup : {+[](TGDIPFill& g) { g.SetBorderColor(fw::clNone); }, +[](TGDIPFill& g) { g.SetBorderWidth(0); }}) {
        Surface t;
        setup(f);
        t.Fill(f);
        EXPECT_EQ(t(110, 30), kWhite);
        f.SetBorderColor(fw::clGreen);
        f.SetBorderWidth(1);
    }
}

TEST(FillPaint, ThinRectangleIsAtMostABorderLine) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clRed);
    f.SetShadowOffset(3);
    f.SetBorderColor(fw::clGreen);
    EXPECT_EQ(s.Fill(f, {10, 10, 100, 1}), (TGPFloatRect{10, 10, 100, 1}));
    int red = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 120; ++x) red += s(x, y) == kRed;
    EXPECT_EQ(red, 0);
    EXPECT_GT(InkIn(s.bmp, 10, 9, 111, 12), 50);
    EXPECT_EQ(InkIn(s.bmp, 0, 13, 120, 70), 0);

    Surface t;
    f.SetBorderColor(fw::clNone);
    t.Fill(f, {10, 10, 1, 40});
    EXPECT_EQ(InkIn(t.bmp, 0, 0, 120, 70), 0);
}

TEST(FillPaint, ShadowIsASoftBandAtTheRightAndBottom) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clRed);
    f.SetShadowOffset(5);
    f.SetShadowColor(fw::clBlack);
    EXPECT_EQ(s.Fill(f), (TGPFloatRect{10, 10, 95, 45}));
    EXPECT_EQ(s(104, 54), kRed);
    // Black at alpha 180 over white is 75; the outline's edge stays light.
    const uint32_t outer = s(109, 30) & 0xFF, inner = s(105, 30) & 0xFF;
    EXPECT_GT(outer, 200u) << outer;
    EXPECT_LT(inner, outer);
    EXPECT_GE(inner, 70u);
    EXPECT_LT(s(60, 57) & 0xFF, 130u);
    EXPECT_EQ(s(60, 60), kWhite);
    EXPECT_EQ(s(110, 30), kWhite);
    for (int x = 105; x < 110; ++x)
        for (int y = 15; y < 55; ++y) EXPECT_NE(s(x, y), kWhite) << x << "," << y;

    // An offset beyond the rectangle leaves nothing of the body.
    Surface t;
    f.SetShadowOffset(200);
    EXPECT_EQ(t.Fill(f), (TGPFloatRect{10, 10, 0, 0}));
    EXPECT_EQ(t(60, 35) & 0xFF, 75u);  // only the shadow
}

TEST(FillPaint, RadialPartsFadeFromTheirEdge) {
    Surface s;
    TGDIPFill f;
    f.SetGradientType(gtRadial);
    f.SetColor(fw::clBlue);
    f.SetColorTo(fw::clWhite);
    s.Fill(f);
    // Upper form: ColorTo at the top edge's centre, Color towards the sides.
    EXPECT_TRUE(Near(s(60, 11), kWhite, 40)) << std::hex << s(60, 11);
    EXPECT_TRUE(Near(s(11, 58), kBlue, 40)) << std::hex << s(11, 58);

    // The mirror half's form: ColorMirror at the bottom edge's centre,
    // ColorMirrorTo towards the sides.
    Surface t;
    Solid(f, fw::clRed);
    f.SetColorMirror(fw::clBlue);
    f.SetColorMirrorTo(fw::clWhite);
    f.SetGradientMirrorType(gtRadial);
    t.Fill(f);
    EXPECT_EQ(t(60, 20), kRed);
    EXPECT_TRUE(Near(t(60, 58), kBlue, 40)) << std::hex << t(60, 58);
    EXPECT_TRUE(Near(t(11, 36), kWhite, 40)) << std::hex << t(11, 36);
}

TEST(FillPaint, GlowLightensTheEdgesOrTheMiddle) {
    for (TGlowMode glow : {gmGradient, gmRadial}) {
        Surface s;
        TGDIPFill f;
        Solid(f, fw::clBlack);
        f.SetGlow(glow);
        s.Fill(f);
        const uint32_t top = s(60, 12) & 0xFF, middle = s(60, 35) & 0xFF, bottom = s(60, 57) & 0xFF;
        if (glow == gmGradient) {
            EXPECT_GT(top, 60u);
            EXPECT_GT(bottom, 60u);
            EXPECT_EQ(middle, 0u);
            EXPECT_GT(s(11, 35) & 0xFF, 150u);  // the outline at alpha 200
        } else {
            EXPECT_GT(middle, 60u);
            EXPECT_EQ(s(15, 35), 0u);  // outside the glow's ellipse
        }
        EXPECT_EQ(InkIn(s.bmp, 0, 0, 120, 10), 0) << "clipped to the fill";
    }
}

TEST(FillPaint, FocusOutlineIsDottedInsideTheBorderAndRestoresSmoothing) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clWhite);
    f.SetBorderWidth(2);
    f.Focus = true;
    f.FocusColor = fw::clBlue;
    s.g->SetSmoothingMode(gpSmoothingModeAntiAlias);
    s.Fill(f);
    EXPECT_EQ(f.FocusRect(), (TGPFloatRect{12, 12, 96, 46}));
    EXPECT_EQ(s.g->GetSmoothingMode(), gpSmoothingModeAntiAlias);
    int blue = 0, white = 0;
    for (int x = 20; x < 60; ++x) {
        blue += s(x, 12) == kBlue;
        white += s(x, 12) == kWhite;
    }
    EXPECT_GT(blue, 10);
    EXPECT_GT(white, 10);
}

TEST(FillPaint, PathTypeAndMissingGraphicsPaintNothing) {
    Surface s;
    TGDIPFill f;
    f.SetGradientType(gtPath);
    s.Fill(f);
    EXPECT_EQ(InkIn(s.bmp, 0, 0, 120, 70), 0);

    f.SetShadowOffset(5);
    f.SetBorderColor(fw::clRed);
    EXPECT_EQ(f.Fill(nullptr, {0, 0, 1, 30}), (TGPFloatRect{0, 0, 1, 30}));
    EXPECT_EQ(f.Fill(nullptr, kRect), (TGPFloatRect{10, 10, 95, 45}));
    EXPECT_EQ(f.FocusRect(), (TGPFloatRect{11, 11, 93, 43}));
}

// quadrants.png: 2 by 2, red and green over blue and white.
TEST(FillPaint, BackgroundPictureOnlyWithTextureType) {
    for (TKelGradientType type : {gtSolid, gtTexture}) {
        for (TFillPictureMode mode : {pmInsideFill, pmOutsideFill}) {
            Surface s;
            TGDIPFill f;
            f.SetGradientType(type);
            f.SetColor(fw::clBlack);
            f.SetColorTo(fw::clBlack);
            f.SetBackGroundPictureMode(mode);
            f.BackGroundPicture().LoadFromFile(test::DataFile("quadrants.png"));
            f.SetBackGroundPicturePosition(ppCenterCenter);
            s.Fill(f);
            // Centred: (59, 34) to (61, 36).
            const bool drawn = type == gtTexture;
            EXPECT_EQ(s(59, 34), drawn ? kRed : 0u) << type << " " << mode;
            EXPECT_EQ(s(60, 35), drawn ? kWhite : 0u) << type << " " << mode;
        }
    }
}

TEST(FillPaint, TiledBackgroundIsTheTexture) {
    Surface s;
    TGDIPFill f;
    f.SetGradientType(gtTexture);
    f.BackGroundPicture().LoadFromFile(test::DataFile("quadrants.png"));
    f.SetBackGroundPicturePosition(ppTiled);
    s.Fill(f);
    // Tiled from the surface's origin.
    EXPECT_EQ(s(20, 20), kRed);
    EXPECT_EQ(s(21, 20), 0x00FF00u);
    EXPECT_EQ(s(20, 21), kBlue);
    EXPECT_EQ(s(21, 21), kWhite);
    EXPECT_EQ(s(9, 20), kWhite);
}

TEST(FillPaint, ForegroundPictureAtItsOwnOrACustomSize) {
    Surface s;
    TGDIPFill f;
    Solid(f, fw::clBlack);
    f.Picture().LoadFromFile(test::DataFile("quadrants.png"));
    f.SetPicturePosition(ppBottomRight);
    s.Fill(f);
    EXPECT_EQ(s(108, 58), kRed);
    EXPECT_EQ(s(109, 59), kWhite);
    EXPECT_EQ(s(107, 58), 0u);

    Surface t;
    f.SetPictureSize(psCustom);
    f.SetPictureWidth(20);
    f.SetPictureHeight(10);
    f.SetPicturePosition(ppCustom);
    f.SetPictureLeft(30);
    f.SetPictureTop(40);
    t.Fill(f);
    // Stretched 2 by 2 pixels blend; only where the colours go is certain.
    int inside = 0, outside = 0;
    for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 110; ++x)
            if (t(x, y) != 0) ++(x >= 30 && x < 50 && y >= 40 && y < 50 ? inside : outside);
    EXPECT_GT(inside, 150);
    EXPECT_EQ(outside, 0);
    const uint32_t topLeft = t(32, 42), bottomLeft = t(32, 46);
    EXPECT_GT(topLeft >> 16, topLeft & 0xFF) << std::hex << topLeft;      // red over blue
    EXPECT_GT(bottomLeft & 0xFF, bottomLeft >> 16) << std::hex << bottomLeft;
}

}  // namespace
}  // namespace kel
