// Thumb outlines and button glyphs, rasterised the way GDI draws polylines.
#include "widgets/editors/KelTrackBarShapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace kel::trackbar {
namespace {

// Pixels of the strokes, later strokes over earlier ones: 'H' highlight,
// 'B' border. Only axis-parallel segments are rasterised (glyphs).
std::map<std::pair<int, int>, char> Rasterise(const std::vector<TStroke>& strokes) {
    std::map<std::pair<int, int>, char> px;
    for (const TStroke& s : strokes) {
        const char c = s.Role == TPenRole::Highlight ? 'H' : 'B';
        for (size_t i = 1; i < s.Points.size(); ++i) {
            TPoint a = s.Points[i - 1];
            const TPoint b = s.Points[i];
            const int dx = (b.X > a.X) - (b.X < a.X), dy = (b.Y > a.Y) - (b.Y < a.Y);
            EXPECT_TRUE(dx == 0 || dy == 0);
            while (!(a == b)) {  // the end point is left out
                px[{a.X, a.Y}] = c;
                a.X += dx;
                a.Y += dy;
            }
        }
    }
    return px;
}

std::string Picture(const std::map<std::pair<int, int>, char>& px, int left, int top, int right, int bottom) {
    std::string out;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            auto it = px.find({x, y});
            out += it == px.end() ? '.' : it->second;
        }
        out += '\n';
    }
    return out;
}

TEST(TrackBarShapes, PlusAndMinusGlyphsHaveJoinedTwoPixelCores) {
    const TRect d{0, 0, 16, 16};
    EXPECT_EQ(Picture(Rasterise(PlusGlyph(d, 16)), 4, 4, 14, 14),
              ".........." "\n"
              "...HHHH..." "\n"
              "...HBBH..." "\n"
              ".HHHBBHHH." "\n"
              ".HBBBBBBH." "\n"
              ".HBBBBBBH." "\n"
              ".HHHBBHHH." "\n"
              "...HBBH..." "\n"
              "...HHHH..." "\n"
              ".........." "\n");
    EXPECT_EQ(Picture(Rasterise(MinusGlyph(d, 16, false)), 4, 6, 14, 12),
              ".........." "\n"
              ".HHHHHHHH." "\n"
              ".HBBBBBBH." "\n"
              ".HBBBBBBH." "\n"
              ".HHHHHHHH." "\n"
              ".........." "\n");
    // Upright on a vertical trackbar that rotates its texts.
    EXPECT_EQ(Picture(Rasterise(MinusGlyph(d, 16, true)), 6, 4, 12, 14),
              "......" "\n"
              ".HHHH." "\n"
              ".HBBH." "\n"
              ".HBBH." "\n"
              ".HBBH." "\n"
              ".HBBH." "\n"
              ".HBBH." "\n"
              ".HBBH." "\n"
              ".HHHH." "\n"
              "......" "\n");
}

TEST(TrackBarShapes, PointerThumbPointsAtItsTicks) {
    const TRect r{3, 7, 13, 22};
    struct Row {
        TTickMark tick;
        bool vertical;
        TRect body;
        std::vector<TPoint> outline;
    } rows[] = {
        {tmBottomRight, false, {3, 7, 13, 17}, {{13, 17}, {8, 22}, {3, 17}, {3, 7}, {13, 7}}},
        {tmTopLeft, false, {3, 12, 13, 22}, {{13, 22}, {3, 22}, {3, 12}, {8, 7}, {13, 12}}},
        {tmBoth, false, {3, 12, 13, 17}, {{13, 17}, {8, 22}, {3, 17}, {3, 12}, {8, 7}, {13, 12}}},
        {tmBottomRight, true, {3, 7, 6, 22}, {{6, 22}, {3, 22}, {3, 7}, {6, 7}, {13, 15}}},
        {tmTopLeft, true, {10, 7, 13, 22}, {{13, 22}, {10, 22}, {3, 14}, {10, 7}, {13, 7}}},
    };
    for (const Row& row : rows) {
        const TPointerThumb t = PointerThumb(r, row.tick, row.vertical);
        EXPECT_EQ(t.Body, row.body) << row.tick << row.vertical;
        EXPECT_EQ(t.Outline, row.outline) << row.tick << row.vertical;
        // Three passes of four strokes and the grip.
        ASSERT_EQ(t.Strokes.size(), 13u);
        EXPECT_EQ(t.Strokes[4].Role, TPenRole::Border);
        EXPECT_EQ(t.Strokes[8].Role, TPenRole::Highlight);
        EXPECT_EQ(t.Strokes[12].Role, TPenRole::Border);
    }
    // The first pass follows the bottom tip; the grip runs down the middle.
    const TPointerThumb down = PointerThumb(r, tmBottomRight, false);
    EXPECT_EQ(down.Strokes[3].Points, (std::vector<TPoint>{{3, 17}, {8, 22}, {13, 17}}));
    EXPECT_EQ(down.Strokes[12].Points, (std::vector<TPoint>{{8, 12}, {8, 17}}));
}

TEST(TrackBarShapes, PolygonThumbKindsFollowOrientationAndTicks) {
    struct Row {
        TThumbShape shape;
        TTickMark tick;
        int horizontal, vertical;
    } rows[] = {
        {tsTriangle, tmTopLeft, 2, 0},       {tsTriangle, tmBottomRight, 3, 1},  {tsTriangle, tmBoth, 5, 4},
        {tsPointerLeftUp, tmTopLeft, 2, 0},  {tsPointerRightUp, tmBoth, 5, 4},   {tsTriangleLeft, tmBoth, 0, 2},
        {tsTriangleRight, tmTopLeft, 1, 3},
    };
    for (const Row& r : rows) {
        TPolygonFamily f;
        EXPECT_EQ(PolygonThumbKind(r.shape, r.tick, false, f), r.horizontal) << r.shape << "/" << r.tick;
        EXPECT_EQ(PolygonThumbKind(r.shape, r.tick, true, f), r.vertical) << r.shape << "/" << r.tick;
    }
    TPolygonFamily f;
    PolygonThumbKind(tsPointerLeftUp, tmBoth, false, f);
    EXPECT_EQ(f, TPolygonFamily::PointerLeftUp);
    PolygonThumbKind(tsTriangleLeft, tmBoth, false, f);
    EXPECT_EQ(f, TPolygonFamily::Triangle);
}

TEST(TrackBarShapes, PolygonThumbsAndTheirInnerOutlines) {
    const TRect r{0, 0, 10, 16};  // hw 5, hh 8
    // A vertical trackbar's triangle with ticks on the left points right.
    const TPolygonThumb right = PolygonThumb(TPolygonFamily::Triangle, 0, r);
    EXPECT_EQ(right.Polygon, (std::vector<TPoint>{{0, 16}, {0, 0}, {10, 8}, {0, 16}}));
    EXPECT_EQ(right.HighlightStrokes[1].Points, (std::vector<TPoint>{{2, 13}, {2, 3}, {5, 8}, {2, 13}}));
    EXPECT_EQ(right.BorderStrokes[0].Points, (std::vector<TPoint>{{1, 14}, {1, 2}, {7, 8}, {1, 14}}));
    EXPECT_EQ(PolygonThumb(TPolygonFamily::Triangle, 3, r).Polygon,
              (std::vector<TPoint>{{0, 0}, {10, 0}, {5, 16}, {0, 0}}));
    EXPECT_EQ(PolygonThumb(TPolygonFamily::PointerRightUp, 2, r).Polygon,
              (std::vector<TPoint>{{0, 5}, {10, 0}, {10, 16}, {0, 16}, {0, 5}}));
    // Left-up kinds 0 and 1 are the right-up kinds 1 and 0.
    EXPECT_EQ(PolygonThumb(TPolygonFamily::PointerLeftUp, 0, r).Polygon,
              PolygonThumb(TPolygonFamily::PointerRightUp, 1, r).Polygon);

    // Every kind: the inner outlines stay inside the shape's box, the
    // border one between the outline and the inner highlight. Kinds 0, 1
    // and 4 are those of vertical trackbars, whose thumbs are wider than
    // tall.
    for (auto family : {TPolygonFamily::Triangle, TPolygonFamily::PointerRightUp, TPolygonFamily::PointerLeftUp}) {
        for (int kind = 0; kind <= 5; ++kind) {
            const bool wide = kind == 0 || kind == 1 || kind == 4;
            const TRect big = wide ? TRect{10, 20, 50, 45} : TRect{10, 20, 35, 60};
            const TPolygonThumb t = PolygonThumb(family, kind, big);
            ASSERT_EQ(t.HighlightStrokes.size(), 3u);
            ASSERT_EQ(t.BorderStrokes.size(), 2u);
            for (const TPoint& p : t.HighlightStrokes[1].Points) {
                EXPECT_GE(p.X, big.Left + 2);
                EXPECT_LE(p.X, big.Right - 2);
                EXPECT_GE(p.Y, big.Top + 2);
                EXPECT_LE(p.Y, big.Bottom - 2);
            }
            for (const TPoint& p : t.BorderStrokes[0].Points) {
                EXPECT_GE(p.X, big.Left + 1);
                EXPECT_LE(p.X, big.Right - 1);
            }
            // The grips lie inside the box too.
            for (const TPoint& p : t.BorderStrokes[1].Points) {
                EXPECT_GT(p.X, big.Left);
                EXPECT_LT(p.X, big.Right);
                EXPECT_GT(p.Y, big.Top);
                EXPECT_LT(p.Y, big.Bottom);
            }
        }
    }
}

}  // namespace
}  // namespace kel::trackbar
