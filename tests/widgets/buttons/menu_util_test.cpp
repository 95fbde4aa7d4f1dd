// Gradient steps, line pieces, picture and caption positions and the
// built-in glyphs of the owner-drawn menus.
#include "widgets/buttons/KelMenuUtil.h"

#include <gtest/gtest.h>

namespace kel::menus {
namespace {

int Gray(fw::TColor c) { return c & 0xFF; }

TEST(MenuUtil, GradientFillStopsOneStepShortOfTheEndColour) {
    const auto rows = GradientFillPieces({0, 0, 5, 4}, gdVertical, fw::clBlack, fw::clWhite);
    ASSERT_EQ(rows.size(), 4u);
    const int expected[] = {0, 63, 127, 191};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].Color, fw::RGBColor(expected[i], expected[i], expected[i]));
        EXPECT_EQ(rows[i].Rect, (TIntRect{0, int(i), 5, int(i) + 1}));
    }
    // clNone as the end colour, or equal colours: one solid piece.
    for (fw::TColor to : {fw::clNone, fw::clRed}) {
        const auto solid = GradientFillPieces({0, 0, 5, 4}, gdHorizontal, fw::clRed, to);
        ASSERT_EQ(solid.size(), 1u);
        EXPECT_EQ(solid[0].Color, fw::clRed);
    }
    EXPECT_TRUE(GradientFillPieces({0, 5, 5, 5}, gdVertical, fw::clBlack, fw::clWhite).empty());
}

TEST(MenuUtil, GradientPartTakesItsEndsFromTheWhole) {
    const auto slice = GradientPart({0, 0, 10, 100}, {0, 50, 10, 75}, gdVertical, fw::clBlack, fw::clWhite);
    ASSERT_TRUE(slice);
    EXPECT_EQ(Gray(slice->From), 127);
    EXPECT_EQ(Gray(slice->To), 191);
    EXPECT_EQ(slice->Rect, (TIntRect{0, 50, 10, 75}));
    const auto rows = GradientFillPieces(slice->Rect, gdVertical, slice->From, slice->To);
    EXPECT_EQ(Gray(rows.front().Color), 127);
    EXPECT_EQ(Gray(rows.back().Color), 188);
    // clNone as the start colour counts as white.
    const auto white = GradientPart({0, 0, 10, 10}, {0, 0, 10, 10}, gdVertical, fw::clNone, fw::clWhite);
    EXPECT_EQ(white->From, fw::clWhite);
    EXPECT_FALSE(GradientPart({0, 0, 10, 10}, {20, 0, 30, 10}, gdVertical, 0, 0));
}

TEST(MenuUtil, LinePieces) {
    const fw::TColor c = 0x112233, to = 0x445566;
    struct Row {
        TIntRect rect;
        TGradientDirection dir;
        TGradientType type;
        int g, margin;
        std::vector<TGradientSlice> expected;
    } rows[] = {
        // Solid separator, 3 pixels shorter at each end.
        {{0, 0, 50, 1}, gdHorizontal, gtBoth, 0, 3, {{{3, 0, 47, 1}, c, c}}},
        {{0, 0, 50, 1}, gdHorizontal, gtLeft, 20, 0, {{{20, 0, 50, 1}, to, to}, {{0, 0, 20, 1}, c, to}}},
        {{0, 0, 50, 1}, gdHorizontal, gtRight, 20, 0, {{{0, 0, 30, 1}, to, to}, {{30, 0, 50, 1}, c, to}}},
        {{0, 0, 50, 1},
         gdHorizontal,
         gtBoth,
         20,
         0,
         {{{10, 0, 40, 1}, c, c}, {{0, 0, 10, 1}, to, c}, {{40, 0, 50, 1}, c, to}}},
        // A fading width beyond the line: all fade, no solid part.
        {{0, 0, 10, 1}, gdHorizontal, gtLeft, 30, 0, {{{0, 0, 10, 1}, c, to}}},
        // Splitters: gtBoth doubles the width first.
        {{0, 0, 1, 100},
         gdVertical,
         gtBoth,
         10,
         5,
         {{{0, 15, 1, 85}, c, c}, {{0, 5, 1, 15}, to, c}, {{0, 85, 1, 95}, c, to}}},
        {{0, 0, 1, 100}, gdVertical, gtLeft, 10, 0, {{{0, 0, 1, 90}, to, to}, {{0, 90, 1, 100}, to, c}}},
    };
    for (const Row& row : rows) {
        const auto pieces = GradientLinePieces(row.rect, c, to, row.dir, row.type, row.g, row.margin);
        ASSERT_EQ(pieces.size(), row.expected.size()) << int(row.type) << " " << row.g;
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].Rect, row.expected[i].Rect) << int(row.type) << " piece " << i;
            EXPECT_EQ(pieces[i].From, row.expected[i].From) << int(row.type) << " piece " << i;
            EXPECT_EQ(pieces[i].To, row.expected[i].To) << int(row.type) << " piece " << i;
        }
    }
}

TEST(MenuUtil, PicturePositions) {
    const TIntRect r{10, 20, 110, 220};  // 100 by 200, picture 30 by 40
    struct Row {
        TBackgroundPosition pos;
        TIntPoint expected;
    } rows[] = {
        {bpTopLeft, {12, 23}},     {bpTopRight, {82, 23}},      {bpBottomLeft, {12, 183}},
        {bpBottomRight, {82, 183}}, {bpTopCenter, {47, 23}},    {bpBottomCenter, {47, 183}},
        {bpCenter, {47, 103}},     {bpTiled, {10, 20}},
    };
    for (const Row& row : rows) EXPECT_EQ(PicturePosition(row.pos, 2, 3, r, 30, 40), row.expected) << int(row.pos);
}

TEST(MenuUtil, SideBarCaptionOrigin) {
    using A = TCaptionAlignment;
    struct Row {
        A align;
        TDirection dir;
        int bottomPicture;
        TIntPoint expected;
    } rows[] = {
        // (200 + 51) / 2 - 0.5 = 125 below the top; x = (24 - 10) / 2 - 0.5 rounds to 6.
        {A::taCenter, dDownToUp, 0, {6, 125}},
        {A::taRightJustify, dDownToUp, 0, {6, 57}},
        {A::taLeftJustify, dDownToUp, 0, {6, 194}},
        {A::taLeftJustify, dDownToUp, 30, {6, 164}},
        {A::taLeftJustify, dUpToDown, 0, {17, 6}},
        {A::taRightJustify, dUpToDown, 0, {17, 143}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SideBarCaptionOrigin(24, 200, 51, 10, row.align, row.dir, 6, row.bottomPicture), row.expected)
            << int(row.align) << " " << int(row.dir);
}

TEST(MenuUtil, CenterRectSizeAndColours) {
    TIntRect r{0, 0, 10, 10};
    CenterRectSize(r, 3, 3);
    EXPECT_EQ(r, (TIntRect{3, 3, 6, 6}));
    EXPECT_EQ(MakeColor(0x112, 0x34, 0x56, 0x78), 0x78563412u);
    int red, green, blue;
    SplitColor(0x563412, red, green, blue);
    EXPECT_EQ(red, 0x12);
    EXPECT_EQ(green, 0x34);
    EXPECT_EQ(blue, 0x56);
}

TEST(MenuUtil, BuiltInGlyphs) {
    const auto sub = MenuGlyphResource(L"KELSUBMENUITEM");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->Width, 4);
    EXPECT_EQ(sub->Height, 7);
    const int widths[] = {1, 2, 3, 4, 3, 2, 1};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(sub->At(x, y), x < widths[y]) << x << "," << y;
    const auto radio = MenuGlyphResource(L"KELRADIOITEM");
    ASSERT_TRUE(radio);
    EXPECT_FALSE(radio->At(5, 5));
    EXPECT_TRUE(radio->At(6, 5));
    EXPECT_TRUE(radio->At(5, 7));
    EXPECT_FALSE(radio->At(4, 7));
    EXPECT_FALSE(radio->At(11, 7));
    const auto check = MenuGlyphResource(L"KELCHECKITEM");
    ASSERT_TRUE(check);
    for (auto [x, y] : {std::pair{4, 7}, {6, 11}, {11, 4}}) EXPECT_TRUE(check->At(x, y)) << x << "," << y;
    EXPECT_FALSE(check->At(0, 0));
    EXPECT_FALSE(MenuGlyphResource(L"KELOTHER"));
}

}  // namespace
}  // namespace kel::menus
