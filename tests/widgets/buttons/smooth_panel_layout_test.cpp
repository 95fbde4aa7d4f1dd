// The smooth panel's placement rules and presets.
#include "widgets/buttons/KelSmoothPanelLayout.h"

#include <gtest/gtest.h>

namespace kel::panel {
namespace {

TEST(SmoothPanelLayout, PlaceByLocationTable) {
    // R = (10, 20, 100, 60); block 30 x 10; right = max(100 - 30, 10) = 70.
    const TGPFloatRect r{10, 20, 100, 60};
    struct Row {
        TKelSmoothPanelLocation location;
        int x, y;
    } rows[] = {
        {plTopLeft, 10, 20},     {plTopCenter, 35, 20},     {plTopRight, 70, 20},
        {plCenterLeft, 10, 25},  {plCenterCenter, 35, 25},  {plCenterRight, 70, 25},
        {plBottomLeft, 10, 50},  {plBottomCenter, 35, 50},  {plBottomRight, 70, 50},
        {plCustom, -7, -9},
    };
    for (const Row& row : rows) {
        int x = -7, y = -9;
        PlaceByLocation(x, y, r, 30, 10, row.location);
        EXPECT_EQ(x, row.x) << row.location;
        EXPECT_EQ(y, row.y) << row.location;
    }
    // A block wider than the rect keeps its left edge; negative halves
    // truncate toward zero.
    int x = 0, y = 0;
    PlaceByLocation(x, y, TGPFloatRect{5, 0, 20, 9}, 40, 14, plCenterCenter);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, -2);
}

TEST(SmoothPanelLayout, FillPictureMovesOnlyCaptionsOnItsSide) {
    const TGPFloatRect fr{0, 0, 200, 100};
    struct Row {
        TFillPicturePosition picture;
        TKelSmoothPanelLocation caption;
        float x, width;
        int inset;
    } rows[] = {
        {ppTopLeft, plTopLeft, 32, 200, 32},      {ppTopLeft, plTopRight, 32, 200, 32},
        {ppTopLeft, plTopCenter, 0, 200, 0},      {ppTopLeft, plBottomLeft, 0, 200, 0},
        {ppBottomLeft, plBottomRight, 32, 200, 32}, {ppTopRight, plTopLeft, 0, 168, 0},
        {ppBottomRight, plBottomLeft, 0, 168, 0}, {ppBottomRight, plTopLeft, 0, 200, 0},
    };
    for (const Row& row : rows) {
        const TCaptionArea a = CaptionArea(fr, true, 32, row.picture, row.caption);
        EXPECT_EQ(a.Rect.X, row.x) << row.picture << "/" << row.caption;
        EXPECT_EQ(a.Rect.Width, row.width) << row.picture << "/" << row.caption;
        EXPECT_EQ(a.Inset, row.inset) << row.picture << "/" << row.caption;
    }
    EXPECT_EQ(CaptionArea(fr, false, 32, ppTopLeft, plTopLeft).Rect.X, 0);
}

TEST(SmoothPanelLayout, CaptionLineUnderTextOrAboveBottomCaptions) {
    const TGPFloatRect cr{4, 0, 120, 80};
    const TCaptionLine top = CaptionLine(cr, 10, 15.5f, plTopLeft);
    EXPECT_EQ(top.X1, 6);
    EXPECT_EQ(top.X2, 118);
    EXPECT_EQ(top.Y, 25.5f);
    EXPECT_EQ(CaptionLine(cr, 60, 15.5f, plBottomCenter).Y, 58);
}

TEST(SmoothPanelLayout, HtmlBlockKeepsClearOfShadowBorderAndCaption) {
    THtmlBlockInput in;
    in.Width = 200;
    in.BorderWidth = 1;
    in.ShadowSpace = 5;
    in.CaptionHeight = 18;
    in.Location = plTopLeft;
    EXPECT_EQ(in.Available(), 193);
    EXPECT_EQ(HtmlMeasureRect(in), (TIntRect{0, 18, 193, 10000}));
    // Placed in the fill's rect less the caption, then moved under it.
    EXPECT_EQ(HtmlDrawRect(in, TGPFloatRect{0, 0, 195, 95}, 60, 20), (TIntRect{0, 18, 60, 38}));
    in.Location = plBottomRight;
    EXPECT_EQ(HtmlDrawRect(in, TGPFloatRect{0, 0, 195, 95}, 60, 20), (TIntRect{135, 75, 195, 95}));

    in.Location = plCustom;
    in.Left = 12;
    in.Top = 30;
    EXPECT_EQ(HtmlMeasureRect(in), (TIntRect{0, 18, 181, 10000}));
    EXPECT_EQ(HtmlDrawRect(in, TGPFloatRect{0, 0, 195, 95}, 60, 20), (TIntRect{12, 30, 193, 50}));
}

TEST(SmoothPanelLayout, PresetsAndTheStylesThatSetNothing) {
    const TSmoothPanelPreset luna = SmoothPanelPreset(4);
    ASSERT_TRUE(luna.Known);
    EXPECT_EQ(luna.CaptionStart, 0xB0721Cu);
    EXPECT_EQ(luna.CaptionEnd, 0x9F661Au);
    EXPECT_EQ(luna.Color, 0xFAF1E9u);
    EXPECT_EQ(luna.MirrorTo, 0xFFF2E7u);
    EXPECT_EQ(luna.Border, 0xE3B28Du);
    EXPECT_TRUE(luna.MirrorVertical);
    EXPECT_FALSE(luna.GlowRadial);
    EXPECT_TRUE(SmoothPanelPreset(15).GlowRadial);
    EXPECT_EQ(SmoothPanelPreset(10).Line, 0xFDDE99u);
    EXPECT_EQ(SmoothPanelPreset(6).Color, fw::clBtnFace);
    for (int style : {-1, 8, 16, 99}) EXPECT_FALSE(SmoothPanelPreset(style).Known) << style;
    for (int style = 0; style <= 15; ++style) EXPECT_EQ(SmoothPanelPreset(style).Known, style != 8) << style;
}

}  // namespace
}  // namespace kel::panel
