// The outlines of the trackbar's thumbs and button glyphs, free of the
// platform: the pointer thumb's body, tips and outline passes, the polygon
// thumbs (triangles, diamonds, slanted pointers) with their inner outlines
// and grip lines, and the minus and plus glyphs of the auto-repeat buttons.
// Strokes are polylines drawn as GDI draws them: each segment stops one
// pixel short of its end point.
#pragma once

#include <vector>

#include "widgets/editors/KelTrackBarLayout.h"

namespace kel::trackbar {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Highlight strokes are white, border strokes in the state's border colour.
enum class TPenRole { Highlight, Border };

struct TStroke {
    TPenRole Role = TPenRole::Highlight;
    std::vector<TPoint> Points;
    friend bool operator==(const TStroke&, const TStroke&) = default;
};

struct TPointerThumb {
    TRect Body;
    // The tip toward the top (left) ticks and the one toward the bottom
    // (right) ticks: corner, apex, corner.
    bool FirstTip = false;
    TPoint U1, U2, U3;
    bool SecondTip = false;
    TPoint D1, D2, D3;
    // The closed outline of body and tips (bottom edge, left side, top,
    // right side), for the glossy fill's clip.
    std::vector<TPoint> Outline;
    // Three outline passes and the grip line (drawn only with a border colour).
    std::vector<TStroke> Strokes;
};

TPointerThumb PointerThumb(const TRect& r, TTickMark tick, bool vertical);

enum class TPolygonFamily { Triangle, PointerRightUp, PointerLeftUp };

// Which polygon a shape takes for the tick position and orientation; the
// family is set to the shape's drawing routine.
int PolygonThumbKind(TThumbShape shape, TTickMark tick, bool vertical, TPolygonFamily& family);

struct TPolygonThumb {
    std::vector<TPoint> Polygon;  // closed: the first point repeated
    // The outline and a smaller one inside in the highlight colour with a
    // grip line; then an outline between the two and a second grip line
    // one pixel beside the first in the border colour.
    std::vector<TStroke> HighlightStrokes;
    std::vector<TStroke> BorderStrokes;
};

TPolygonThumb PolygonThumb(TPolygonFamily family, int kind, const TRect& r);

// The glyphs over a glossy button painted in rectangle d, n the buttons'
// size: a minus bar (upright on vertical trackbars that rotate their text)
// and a plus sign. Highlight strokes go in the state's Color, border
// strokes in its border colour.
std::vector<TStroke> MinusGlyph(const TRect& d, int n, bool upright);
std::vector<TStroke> PlusGlyph(const TRect& d, int n);

}  // namespace kel::trackbar
