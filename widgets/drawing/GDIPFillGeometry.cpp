#include "widgets/drawing/GDIPFillGeometry.h"

#include <algorithm>
#include <cmath>

namespace kel {

namespace {

// The value as a 32-bit float. i686 code computes in the x87's wider
// registers and keeps the extra bits until a store: 100 * 0.9f stays a hair
// below 90 there, and what is computed from it follows.
float StoredFloat(float v) {
    volatile float stored = v;
    return stored;
}

}  // namespace

std::vector<TOutlineSegment> RoundedOutlineSegments(TFillRoundingType type, float x, float y, float w, float h,
                                                    float d, float r) {
    const float right = x + w, bottom = y + h;
    const TOutlineSegment topLeft = ArcSegment(x, y, d, 180, 90);
    const TOutlineSegment topRight = ArcSegment(right - d, y, d, 270, 90);
    const TOutlineSegment bottomRight = ArcSegment(right - d, bottom - d, d, 0, 90);
    const TOutlineSegment bottomLeft = ArcSegment(x, bottom - d, d, 90, 90);
    switch (type) {
        case rtNone:
            return {LineSegment(x, y, right, y), LineSegment(right, y, right, bottom), LineSegment(right, bottom, x, bottom),
                    LineSegment(x, bottom, x, y)};
        case rtTop:
            return {topLeft,
                    LineSegment(x + r, y, right - r, y),
                    topRight,
                    LineSegment(right, y + r, right, bottom),
                    LineSegment(right, bottom, x, bottom),
                    LineSegment(x, bottom, x, y + r)};
        case rtBottom:
            return {LineSegment(x, y, right, y),
                    LineSegment(right, y, right, bottom - r),
                    bottomRight,
                    LineSegment(right - r, bottom, x + r, bottom),
                    bottomLeft,
                    LineSegment(x, bottom - r, x, y)};
        case rtBoth:
            return {topLeft,
                    LineSegment(x + r, y, right - r, y),
                    topRight,
                    LineSegment(right, y + r, right, bottom - r),
                    bottomRight,
                    LineSegment(right - r, bottom, x + r, bottom),
                    bottomLeft,
                    LineSegment(x, bottom - r, x, y + r)};
        case rtLeft:
            return {topLeft,
                    LineSegment(x + r, y, right - r, y),
                    LineSegment(right, y, right, bottom),
                    LineSegment(right - r, bottom, x + r, bottom),
                    bottomLeft,
                    LineSegment(x, bottom - r, x, y + r)};
        case rtRight:
            return {LineSegment(x, y, right - r, y),
                    topRight,
                    LineSegment(right, y + r, right, bottom - r),
                    bottomRight,
                    LineSegment(right - r, bottom, x, bottom),
                    LineSegment(x, bottom - r, x, y + r)};
    }
    return {};
}

float FitRadius(TFillRoundingType type, float w, float h, float radius) {
    if (!(radius > 0) || !(w > 0) || !(h > 0)) return 0;
    float maxW = w, maxH = h;  // what one rounded corner may take of each side
    switch (type) {
        case rtTop:
        case rtBottom:
            maxW = w / 2;
            break;
        case rtLeft:
        case rtRight:
            maxH = h / 2;
            break;
        case rtBoth:
            maxW = w / 2;
            maxH = h / 2;
            break;
        case rtNone:
            return 0;
    }
    return std::min({radius, maxW, maxH});
}

std::vector<TOutlineSegment> RoundedRectOutline(const TGPFloatRect& rect, float radius, TFillRoundingType type) {
    const float r = FitRadius(type, rect.Width, rect.Height, radius);
    // Arcs of no size would make GDI+ refuse them; the corners are square then.
    if (r == 0) type = rtNone;
    return RoundedOutlineSegments(type, rect.X, rect.Y, rect.Width, rect.Height, 2 * r, r);
}

TFillRoundingType NarrowRounding(TFillRoundingType type, bool mirrorPart) {
    switch (type) {
        case rtNone:
            return rtNone;
        case rtTop:
            return mirrorPart ? rtNone : rtTop;
        case rtBottom:
            return mirrorPart ? rtBottom : rtNone;
        case rtBoth:
            return mirrorPart ? rtBottom : rtTop;
        case rtLeft:
        case rtRight:
            return type;
    }
    return type;
}

TFillParts SplitFillParts(const TGPFloatRect& r) {
    const float half = r.Height / 2;
    const float partHeight = r.Height - half + 1;
    return {TGPFloatRect{r.X, r.Y, r.Width, partHeight}, TGPFloatRect{r.X, r.Y + half - 1, r.Width, partHeight}};
}

TKelGradientType EffectiveGradientKind(TKelGradientType kind, fw::TColor from, fw::TColor to) {
    if (from == fw::clNone) return gtNone;
    if (to == fw::clNone) return gtSolid;
    return kind;
}

TIntRect IntegerBounds(const TGPFloatRect& r) {
    const int left = RoundHalfEven(r.X), top = RoundHalfEven(r.Y);
    return {left, top, left + RoundHalfEven(r.Width), top + RoundHalfEven(r.Height)};
}

std::optional<TIntRect> FillPictureRect(TFillPicturePosition position, int w, int h, const TIntRect& r,
                                        int customLeft, int customTop) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const int centreLeft = L + (R - L - w) / 2;
    const int centreTop = T + (B - T - h) / 2;
    switch (position) {
        case ppTopLeft:
            return TIntRect{L, T, L + w, T + h};
        case ppTopCenter:
            return TIntRect{centreLeft, T, centreLeft + w, T + h};
        case ppTopRight:
            return TIntRect{R - w, T, R, T + h};
        case ppBottomLeft:
            return TIntRect{L, B - h, L + w, B};
        case ppBottomCenter:
            return TIntRect{centreLeft, B - h, centreLeft + w, B};
        case ppBottomRight:
            return TIntRect{R - w, B - h, R, B};
        case ppTiled:
            return std::nullopt;
        case ppStretched:
            return r;
        case ppCenterLeft:
            return TIntRect{L, centreTop, L + w, centreTop + h};
        case ppCenterCenter:
            return TIntRect{centreLeft, centreTop, centreLeft + w, centreTop + h};
        case ppCenterRight:
            return TIntRect{R - w, centreTop, R, centreTop + h};
        case ppCustom:
            return TIntRect{customLeft, customTop, customLeft + w, customTop + h};
    }
    return std::nullopt;
}

TGPFloatRect ShrinkByShadow(const TGPFloatRect& r, int offset) {
    const float o = static_cast<float>(std::max(offset, 0));
    return {r.X, r.Y, std::max(r.Width - o, 0.0f), std::max(r.Height - o, 0.0f)};
}

TGPFloatRect ScaleAboutCenter(const TGPFloatRect& r, float scale) {
    const float w = StoredFloat(r.Width * scale), h = StoredFloat(r.Height * scale);
    return {r.X + (r.Width - w) / 2, r.Y + (r.Height - h) / 2, w, h};
}

std::vector<TShadowStep> ShadowSteps(const TGPFloatRect& r) {
    constexpr int kRampShare = 10;  // the shadow fades in over a tenth of the way in
    constexpr float kRamp = 1.0f / kRampShare;
    constexpr int kAlpha = 180;
    constexpr int kMaxBands = 32;
    // About one band per pixel of the ramp along the longer side. One
    // division: 0.1f * 100 is a hair above 10, which i686 code (x87, wider
    // registers) would keep and ceil to one band too many.
    const float rampPixels = std::max(r.Width, r.Height) / (2 * kRampShare);
    const int bands = std::clamp(static_cast<int>(std::ceil(rampPixels)), 1, kMaxBands);
    std::vector<TShadowStep> steps;
    for (int i = 0; i < bands; ++i) {
        const float scale = 1 - kRamp * static_cast<float>(i) / static_cast<float>(bands);
        const auto alpha = static_cast<uint8_t>(RoundHalfEven(kAlpha * (i + 0.5) / bands));
        steps.push_back({scale, alpha});
    }
    steps.push_back({1 - kRamp, static_cast<uint8_t>(kAlpha)});
    return steps;
}

TRadialLayout RadialLayout(const TGPFloatRect& r, bool upper) {
    TRadialLayout layout;
    layout.Ellipse = {r.X, upper ? r.Y - r.Height / 2 : r.Y, r.Width, 1.5f * r.Height};
    layout.Center = {r.X + r.Width / 2, upper ? r.Y : r.Y + r.Height};
    return layout;
}

TGlowLayout GlowLayout(const TGPFloatRect& r) {
    TGlowLayout g;
    const TGPFloatRect a{r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2};
    const float right = a.X + a.Width, bottom = a.Y + a.Height;
    g.Inner = a;
    g.TopBand = {a.X + 5, a.Y, a.Width - 10, 4};
    g.TopCorners = {TGlowLayout::Triangle{{{a.X, a.Y}, {a.X + 5, a.Y}, {a.X + 5, a.Y + 4}}},
                    TGlowLayout::Triangle{{{right, a.Y}, {right - 5, a.Y}, {right - 5, a.Y + 4}}}};
    g.BottomBand = {a.X + 5, bottom - 7, a.Width - 10, 7};
    g.BottomCorners = {TGlowLayout::Triangle{{{a.X, bottom}, {a.X + 5, bottom}, {a.X + 5, bottom - 7}}},
                       TGlowLayout::Triangle{{{right, bottom}, {right - 5, bottom}, {right - 5, bottom - 7}}}};
    g.RadialEllipse = {a.X + 10, a.Y - a.Height / 2, a.Width - 20, 3 * a.Height};
    return g;
}

}  // namespace kel
