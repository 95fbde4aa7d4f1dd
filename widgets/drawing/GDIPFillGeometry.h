// The geometry of the rounded gradient fill, free of the platform: rounded
// outlines as segment lists, the split into an upper and a mirror part, the
// narrowing of the rounding to a part, picture placement, the soft shadow's
// steps and the glow overlay's shapes. The Windows half turns these into
// GDI+ paths and brushes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "framework/core/colors.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace kel {

enum TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };
enum TFillPicturePosition {
    ppTopLeft,
    ppTopCenter,
    ppTopRight,
    ppBottomLeft,
    ppBottomCenter,
    ppBottomRight,
    ppTiled,
    ppStretched,
    ppCenterLeft,
    ppCenterCenter,
    ppCenterRight,
    ppCustom
};

// One piece of an outline: a line from (X1, Y1) to (X2, Y2), or an arc in
// the box at (X1, Y1) of X2 by Y2 from Start sweeping Sweep degrees.
struct TOutlineSegment {
    bool Arc = false;
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
    float Start = 0;
    float Sweep = 0;
    friend bool operator==(const TOutlineSegment&, const TOutlineSegment&) = default;
};

inline TOutlineSegment LineSegment(float x1, float y1, float x2, float y2) { return {false, x1, y1, x2, y2, 0, 0}; }
inline TOutlineSegment ArcSegment(float x, float y, float d, float start, float sweep) {
    return {true, x, y, d, d, start, sweep};
}

// The outline of a rectangle with the corners of `type` rounded, clockwise
// from the top-left; arcs have a d by d box, r is their radius.
std::vector<TOutlineSegment> RoundedOutlineSegments(TFillRoundingType type, float x, float y, float w, float h,
                                                    float d, float r);

// The largest radius up to `radius` whose corners fit a w by h rectangle
// with that rounding type; 0 for a negative radius or an empty rectangle.
float FitRadius(TFillRoundingType type, float w, float h, float radius);

// The segments CreateRoundedPath draws: the radius fitted to the rectangle,
// square corners when nothing of it is left.
std::vector<TOutlineSegment> RoundedRectOutline(const TGPFloatRect& rect, float radius, TFillRoundingType type);

// The rounding of one part of a two-part fill: the upper part keeps only its
// top corners, the mirror part only its bottom ones; left and right stay.
TFillRoundingType NarrowRounding(TFillRoundingType type, bool mirrorPart);

struct TFillParts {
    TGPFloatRect Upper;
    TGPFloatRect Lower;
};
// Two halves that overlap by two pixels in the middle.
TFillParts SplitFillParts(const TGPFloatRect& r);

// The kind a part is painted as: nothing without a from colour, solid
// without a to colour.
TKelGradientType EffectiveGradientKind(TKelGradientType kind, fw::TColor from, fw::TColor to);

// The integer rectangle of a fill rectangle: Bounds(Round(X), Round(Y),
// Round(W), Round(H)), halves to even.
TIntRect IntegerBounds(const TGPFloatRect& r);

// Where a w by h picture goes in r (integer division by 2 centres); none for
// ppTiled, which only serves as a texture.
std::optional<TIntRect> FillPictureRect(TFillPicturePosition position, int w, int h, const TIntRect& r,
                                        int customLeft, int customTop);

// The rectangle left after a shadow of `offset` pixels at the right and
// bottom; it never turns negative.
TGPFloatRect ShrinkByShadow(const TGPFloatRect& r, int offset);

// r scaled by `scale` about its centre.
TGPFloatRect ScaleAboutCenter(const TGPFloatRect& r, float scale);

// The soft shadow as nested shapes of the fill's outline scaled about its
// centre: the band between step i's shape and step i + 1's takes step i's
// alpha, and the last step's shape is filled whole. The alpha ramps from
// transparent at the outline to 180 a tenth of the way in, then stays.
struct TShadowStep {
    float Scale = 1;
    uint8_t Alpha = 0;
    friend bool operator==(const TShadowStep&, const TShadowStep&) = default;
};
std::vector<TShadowStep> ShadowSteps(const TGPFloatRect& r);

// The upper or lower form of a radial part: the ellipse its path gradient
// fills and the gradient's centre.
struct TRadialLayout {
    TGPFloatRect Ellipse;
    TGPFloatPoint Center;
};
TRadialLayout RadialLayout(const TGPFloatRect& r, bool upper);

// The shapes of the glow overlay for a fill rectangle R.
struct TGlowLayout {
    using Triangle = std::array<TGPFloatPoint, 3>;
    TGPFloatRect Inner;  // R less one pixel on every side
    TGPFloatRect TopBand;
    std::array<Triangle, 2> TopCorners;
    TGPFloatRect BottomBand;
    std::array<Triangle, 2> BottomCorners;
    TGPFloatRect RadialEllipse;
};
TGlowLayout GlowLayout(const TGPFloatRect& r);

// A linear gradient brush covers the rectangle grown by one pixel on every
// side, so its end colours reach the edges.
inline TGPFloatRect GrowByOne(const TGPFloatRect& r) { return {r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2}; }

// True when the rectangle has something inside.
inline bool HasArea(const TGPFloatRect& r) { return r.Width > 0 && r.Height > 0; }

}  // namespace kel
