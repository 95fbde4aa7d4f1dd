// The glow button's appearance, presets and paint arithmetic: colour-set
// choice and blending, face rectangles, placement, measuring and auto size.
#include "widgets/buttons/KelGlowButtonPaint.h"

#include <gtest/gtest.h>

#include "widgets/drawing/StylePreset.h"

namespace kel::glow {
namespace {

using fw::RGBColor;

TEST(GlowButtonAppearance, Defaults) {
    TGlowButtonAppearance a;
    EXPECT_EQ(a.Normal(), (TGlowColorSet{fw::clWhite, fw::clWhite, fw::clSilver, fw::clWhite, fw::clSilver, ggVertical,
                                         ggVertical}));
    EXPECT_EQ(a.Hot(), (TGlowColorSet{RGBColor(225, 240, 245), RGBColor(178, 210, 249), RGBColor(173, 200, 245),
                                      RGBColor(244, 248, 255), fw::clBlue, ggRadial, ggRadial}));
    const TGlowColorSet down{RGBColor(202, 216, 245), RGBColor(160, 189, 249), RGBColor(156, 180, 245),
                             RGBColor(220, 223, 255), fw::clNavy, ggRadial, ggRadial};
    EXPECT_EQ(a.Down(), down);
    TGlowColorSet checked = down;
    checked.BorderColor = fw::clBlue;
    checked.GradientMirror = ggVertical;
    EXPECT_EQ(a.Checked(), checked);
    EXPECT_EQ(a.Disabled(), (TGlowColorSet{RGBColor(242, 242, 242), RGBColor(242, 242, 242), RGBColor(182, 182, 182),
                                           RGBColor(242, 242, 242), fw::clGray, ggRadial, ggRadial}));
    EXPECT_TRUE(a.SystemFont());
}

TEST(GlowButtonAppearance, SettersAndAssignNotifyOnlyChanges) {
    TGlowButtonAppearance a, b;
    int changes = 0;
    a.OnChange = [&] { ++changes; };
    a.SetColor(fw::clWhite);
    EXPECT_EQ(changes, 0);
    a.SetColor(fw::clRed);
    EXPECT_EQ(changes, 1);
    b.SetColorHot(fw::clLime);
    b.SetGradientDown(ggDiagonalForward);
    b.SetSystemFont(false);
    changes = 0;
    a.Assign(&b);
    EXPECT_EQ(changes, 4) << "Color back to white, ColorHot, GradientDown, SystemFont";
    EXPECT_EQ(a.ColorHot(), fw::clLime);
    EXPECT_EQ(a.GradientDown(), ggDiagonalForward);
    EXPECT_FALSE(a.SystemFont());
    a.Assign(nullptr);
    EXPECT_EQ(changes, 4);
}

TEST(GlowButtonAppearance, Presets) {
    struct Row {
        int style;
        TGlowColorSet normal, hot, down;
        fw::TColor borderChecked;
    } rows[] = {
        {spOffice2003Blue, {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B, ggVertical, ggVertical},
         {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, ggVertical, ggVertical},
         {0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, ggVertical, ggVertical}, fw::clBlue},
        {spOffice2007Obsidian, {0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2, ggVertical, ggVertical},
         {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, ggVertical, ggVertical},
         {0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, ggVertical, ggVertical}, 0x45667B},
        {spWindowsXP, {fw::clWhite, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, ggVertical, ggVertical},
         {0xEFD3C6, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, fw::clHighlight, ggVertical, ggVertical},
         {0xB59284, 0xB59284, 0xB59284, 0xB59284, fw::clHighlight, ggVertical, ggVertical}, fw::clBlack},
        {spWindowsVista, {0xFDF8F1, 0xFDF8F1, 0xFCEFD5, 0xFDF8F1, 0xFDDE99, ggVertical, ggVertical},
         {fw::clNone, 0xFFFAF0, 0xFFFAF0, 0xFFFAF0, 0xFCF2DA, ggVertical, ggVertical},
         {0xFCEFD5, 0xFCEFD5, 0xFDF4E3, 0xFDF4E3, 0xFEDF9A, ggVertical, ggVertical}, 0xFEDF9A},
        {spTerminal, {fw::clBtnFace, fw::clBtnFace, fw::clBtnFace, fw::clBtnFace, fw::clSilver, ggVertical, ggVertical},
         {fw::clSilver, fw::clSilver, fw::clSilver, fw::clSilver, fw::clGray, ggRadial, ggRadial},
         {fw::clHighlight, fw::clHighlight, fw::clHighlight, fw::clHighlight, fw::clHighlight, ggRadial, ggRadial},
         fw::clGray},
        {spOffice2010Black, {0xBFBFBF, 0x919191, 0x919191, 0x919191, 0x6D6D6D, ggVertical, ggVertical},
         {0x8AE3FD, 0xD9F9FD, 0xD9F9FD, 0x8AE3FD, 0x58CAF1, ggVertical, ggVertical},
         {0x6CD0FF, 0x7BEEFF, 0x7BEEFF, 0x6CD0FF, 0x308AC2, ggVertical, ggVertical}, 0x308AC2},
    };
    for (const Row& r : rows) {
        TGlowButtonAppearance a;
        EXPECT_TRUE(ApplyGlowButtonPreset(a, r.style));
        EXPECT_EQ(a.Normal(), r.normal) << r.style;
        EXPECT_EQ(a.Hot(), r.hot) << r.style;
        EXPECT_EQ(a.Down(), r.down) << r.style;
        EXPECT_EQ(a.BorderColorChecked(), r.borderChecked) << r.style;
        EXPECT_EQ(a.Disabled(), TGlowButtonAppearance().Disabled()) << "never touched: " << r.style;
    }
    for (int style : {int(spCustom), 16, -1}) {
        TGlowButtonAppearance a;
        int changes = 0;
        a.OnChange = [&] { ++changes; };
        EXPECT_FALSE(ApplyGlowButtonPreset(a, style));
        EXPECT_EQ(changes, 0);
    }
}

TColorInputs Inputs(TVisualState state) {
    TColorInputs in;
    in.State = state;
    return in;
}

TEST(GlowButtonPaint, ColourSetForEachState) {
    TGlowButtonAppearance a;
    struct Row {
        const char* what;
        TColorInputs in;
        TGlowColorSet set;
        bool highlighted;
    };
    TColorInputs hot = Inputs(vsUp);
    hot.MouseOver = true;
    TColorInputs disabled = Inputs(vsUp);
    disabled.Enabled = false;
    TColorInputs hiddenDisabled = disabled;
    hiddenDisabled.ShowDisabled = false;
    TColorInputs checkDown = Inputs(vsDown);
    checkDown.Style = bsCheck;
    TColorInputs focusHot = Inputs(vsUp);
    focusHot.Focused = true;
    focusHot.FocusType = ftHot;
    TColorInputs focusBorder = focusHot;
    focusBorder.FocusType = ftBorder;
    TColorInputs leftDown = Inputs(vsDown);
    leftDown.Position = bpMiddle;
    leftDown.LeftDown = true;
    TGlowColorSet downPlainBorder = a.Down();
    downPlainBorder.BorderColor = a.BorderColor();
    const Row rows[] = {
        {"up", Inputs(vsUp), a.Normal(), false},
        {"hot", hot, a.Hot(), true},
        {"down", Inputs(vsDown), a.Down(), true},
        {"checked", Inputs(vsChecked), a.Checked(), false},
        {"check style down", checkDown, a.Checked(), false},
        {"disabled", disabled, a.Disabled(), false},
        {"disabled without ShowDisabled", hiddenDisabled, a.Normal(), false},
        {"focused with ftHot", focusHot, a.Hot(), true},
        {"focused with ftBorder", focusBorder, a.Normal(), false},
        {"held in a row keeps the plain border", leftDown, downPlainBorder, true},
    };
    for (const Row& r : rows) {
        const TColorChoice c = ChooseColors(a, r.in);
        EXPECT_EQ(c.Set, r.set) << r.what;
        EXPECT_EQ(c.Highlighted, r.highlighted) << r.what;
    }
}

TEST(GlowButtonPaint, HalfWayHotFadeMixesSixtyForty) {
    TGlowButtonAppearance a;
    a.SetColor(RGBColor(0, 0, 0));
    a.SetColorHot(RGBColor(200, 100, 50));
    TColorInputs in = Inputs(vsUp);
    in.MouseOver = true;
    in.FadeRunning = true;
    in.HotLevel = 60;
    const TColorChoice c = ChooseColors(a, in);
    EXPECT_EQ(c.Set.Color, RGBColor(120, 60, 30));
    EXPECT_EQ(c.Set.ColorTo, BlendColors(a.ColorHotTo(), a.ColorTo(), 60));
    EXPECT_EQ(c.Set.BorderColor, BlendColors(a.BorderColorHot(), a.BorderColor(), 60));
    EXPECT_EQ(c.Set.Gradient, a.GradientHot()) << "gradients stay those of the chosen set";
    in.FadeRunning = false;
    EXPECT_EQ(ChooseColors(a, in).Set.Color, a.ColorHot()) << "blending only while the timer exists";
}

TEST(GlowButtonPaint, PressFadeBlendsDownOverHot) {
    TGlowButtonAppearance a;
    TColorInputs in = Inputs(vsDown);
    in.Pressed = true;
    in.FadeRunning = true;
    in.DownLevel = 40;
    const TColorChoice c = ChooseColors(a, in);
    EXPECT_EQ(c.Set.Color, BlendColors(a.ColorDown(), a.ColorHot(), 40));
    EXPECT_EQ(c.Set.BorderColor, BlendColors(a.BorderColorDown(), a.BorderColorHot(), 40));
}

TEST(GlowButtonPaint, FaceHalves) {
    TGlowColorSet c{1, 2, 3, 4, 5, ggRadial, ggVertical};
    const TRect r{0, 0, 100, 41};
    EXPECT_EQ(FaceFills(r, c, false, false, true, dpRight, 0),
              (std::vector<THalfFill>{{{0, 19, 100, 41}, 4, 3, ggVertical, false}, {{0, 0, 100, 21}, 1, 2, ggRadial, true}}));
    // Split part under the cursor: the part is the darker one.
    c = {0x808080, 0x808080, 0x808080, 0x808080, 0, ggVertical, ggVertical};
    const fw::TColor dark = ScaleColor(0x808080, -10);
    auto fills = FaceFills(r, c, true, true, true, dpRight, 2);
    ASSERT_EQ(fills.size(), 4u);
    EXPECT_EQ(fills[0].Rect, (TRect{0, 19, 88, 41}));
    EXPECT_EQ(fills[1].Rect, (TRect{0, 0, 88, 21}));
    EXPECT_EQ(fills[2].Rect, (TRect{88, 0, 100, 21}));
    EXPECT_EQ(fills[3].Rect, (TRect{88, 19, 100, 41}));
    EXPECT_EQ(fills[0].First, 0x808080);
    EXPECT_EQ(fills[2].First, dark);
    fills = FaceFills(r, c, true, true, true, dpRight, 1);
    EXPECT_EQ(fills[0].First, dark);
    EXPECT_EQ(fills[2].First, 0x808080);
    EXPECT_EQ(fills[2].Kind, ggRadial);
    fills = FaceFills(r, c, true, true, true, dpBottom, 1);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].Rect, (TRect{0, 13, 100, 29}));
    EXPECT_EQ(fills[1].Rect, (TRect{0, 0, 100, 15}));
    EXPECT_EQ(fills[2].Rect, (TRect{0, 29, 100, 41}));
}

TEST(GlowButtonPaint, ContentAndDropDownRectangles) {
    const TRect r{0, 0, 100, 41};
    EXPECT_EQ(DropDownRect(r, dpRight), (TRect{86, 0, 100, 41}));
    EXPECT_EQ(DropDownRect(r, dpBottom), (TRect{0, 27, 100, 41}));
    EXPECT_EQ(ContentRect(r, true, dpRight), (TRect{0, 0, 86, 41}));
    EXPECT_EQ(ContentRect(r, true, dpBottom), (TRect{0, 0, 100, 27}));
    EXPECT_EQ(ContentRect(r, false, dpBottom), r);
}

TEST(GlowButtonPaint, MeasuringAndAutoSize) {
    const TTextMetrics m{40, 13, 0, 0};
    const TSize content = MeasuredSizeGP(blGlyphLeft, m, {}, 2);
    EXPECT_EQ(content, (TSize{42, 15}));
    EXPECT_EQ(AutoSizeFor(content, 2, 1, 1, false, dpRight), (TSize{52, 21}));
    EXPECT_EQ(AutoSizeFor(content, 2, 1, 1, true, dpRight), (TSize{66, 21}));
    EXPECT_EQ(AutoSizeFor(content, 2, 1, 1, true, dpBottom), (TSize{52, 35}));
    struct Row {
        TButtonLayout layout;
        TSize gp, gdi;
    } rows[] = {
        {blGlyphLeft, {50 + 18 + 2, 13 + 2 + 10}, {40 + 18 + 2, 18}},
        {blGlyphTop, {42, 13 + 16 + 2}, {42, 13 + 16 + 2}},
        {blGlyphLeftAdjusted, {50 + 18 + 2, 13 + 2 + 10}, {50 + 18 + 2, 13 + 2 + 10}},
        {blGlyphRight, {50 + 18 + 2, 13 + 2 + 10}, {40 + 18 + 2, 18}},
    };
    for (const Row& r : rows) {
        const TTextMetrics n{40, 13, 50, 10};
        EXPECT_EQ(MeasuredSizeGP(r.layout, n, {18, 16}, 2), r.gp) << r.layout;
        EXPECT_EQ(MeasuredSizeGDI(r.layout, n, {18, 16}, 2), r.gdi) << r.layout;
    }
    EXPECT_EQ(SpacedImageSize({16, 16}, true, blGlyphLeft, 2).P, 18);
    EXPECT_EQ(SpacedImageSize({16, 16}, true, blGlyphTop, 2).Q, 18);
    EXPECT_EQ(SpacedImageSize({16, 16}, true, blGlyphBottom, 2).Q, 16);
    EXPECT_EQ(SpacedImageSize({16, 16}, false, blGlyphLeft, 2).P, 16);
    EXPECT_EQ(SpacedImageSize({0, 0}, true, blGlyphLeft, 2).P, 0);
}

TEST(GlowButtonPaint, LineBreaksInCaptions) {
    EXPECT_EQ(ExpandLineBreaks(L"One\\nTwo", false), L"One\n\rTwo");
    EXPECT_EQ(ExpandLineBreaks(L"One\\NTwo", false), L"One\n\rTwo");
    EXPECT_EQ(ExpandLineBreaks(L"One\\nTwo", true), L"One Two");
    EXPECT_EQ(ExpandLineBreaks(L"a\\", false), L"a\\");
}

TEST(GlowButtonPaint, Placement) {
    TPlacementInputs in;
    in.K = {0, 0, 100, 41};
    in.Img = {18, 16};
    in.TextWidth = 40;
    in.TextHeight = 13;
    in.TextLeft = 30;
    in.Layout = blGlyphLeft;
    TPlacement p = PlaceContent(in);
    EXPECT_EQ(p.X, 20);
    EXPECT_EQ(p.Width, 80);
    EXPECT_EQ(p.X0, 21);
    EXPECT_EQ(p.Y0, 12);
    in.Layout = blGlyphTop;
    p = PlaceContent(in);
    EXPECT_EQ(p.Y, 16);
    EXPECT_EQ(p.Height, 23);
    EXPECT_EQ(p.X0, 41);
    EXPECT_EQ(p.Y0, 5) << "16 + 5 - 16";
    in.Layout = blGlyphRight;
    p = PlaceContent(in);
    EXPECT_EQ(p.X, 2);
    EXPECT_EQ(p.Width, 78);
    EXPECT_EQ(p.X0, 19 + 40 + 4 + 2);
    in.Layout = blGlyphBottom;
    p = PlaceContent(in);
    EXPECT_EQ(p.Y0, 5 + 15);
    EXPECT_EQ(CentreIn(in.K, 16, 16), (TSize{42, 12}));
}

TEST(GlowButtonPaint, ArrowAndCorners) {
    const TRect d = DropDownRect({0, 0, 100, 41}, dpRight);
    EXPECT_EQ(ArrowPoint(d, dpRight, false, 0), (TPoint{90, 20}));
    EXPECT_EQ(ArrowPoint(d, dpRight, true, 27), (TPoint{90, 19}));
    const TArrowPixels down = DropDownArrowPixels({10, 10}, true);
    EXPECT_EQ(down.Ink.size(), 9u);
    EXPECT_EQ(down.Ink.front(), (TPoint{10, 10}));
    EXPECT_EQ(down.Ink.back(), (TPoint{12, 12}));
    EXPECT_EQ(down.Highlight.back(), (TPoint{12, 13}));
    const TArrowPixels right = DropDownArrowPixels({10, 10}, false);
    EXPECT_EQ(right.Ink[4], (TPoint{10, 14}));
    EXPECT_EQ(CornerPixels(100, 41, bpStandalone).size(), 4u);
    EXPECT_EQ(CornerPixels(100, 41, bpMiddle).size(), 0u);
    EXPECT_EQ(CornerPixels(100, 41, bpLeft), (std::vector<TPoint>{{0, 0}, {0, 40}}));
    EXPECT_EQ(CornerPixels(100, 41, bpRight), (std::vector<TPoint>{{99, 0}, {99, 40}}));
}

}  // namespace
}  // namespace kel::glow
