// Geometry and colour rules of the owner-drawn menus: gradient steps, the
// pieces of lines with fading ends, picture and side-bar caption positions,
// the rectangle helpers and the built-in glyph bitmaps. Platform-free; the
// GDI drawing that uses them is in KelMenuDraw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/colors.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel::menus {

using kel::TIntRect;

enum TGradientDirection : uint8_t { gdVertical, gdHorizontal };
enum TGradientType : uint8_t { gtLeft, gtRight, gtBoth };
enum TSideBarVisibleIn : uint8_t { viFirstVisible, viFirstLevel, viAnyLevel };
enum TDirection : uint8_t { dDownToUp, dUpToDown };
enum TBackgroundPosition : uint8_t {
    bpTopLeft,
    bpTopRight,
    bpBottomLeft,
    bpBottomRight,
    bpTopCenter,
    bpBottomCenter,
    bpTiled,
    bpStretched,
    bpCenter,
    bpXY
};
enum class TCaptionAlignment { taLeftJustify, taRightJustify, taCenter };

struct TIntPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TIntPoint&, const TIntPoint&) = default;
};

inline int RectWidth(const TIntRect& r) { return r.Right - r.Left; }
inline int RectHeight(const TIntRect& r) { return r.Bottom - r.Top; }
inline int MinInt(int a, int b) { return a < b ? a : b; }
inline int MaxInt(int a, int b) { return a > b ? a : b; }
// Re-sizes the rectangle to w by h about its centre.
void CenterRectSize(TIntRect& r, int w, int h);
// The resolved colour's channels; clNone counts as white.
void SplitColor(fw::TColor color, int& red, int& green, int& blue);
uint32_t MakeColor(int red, int green, int blue, int top);

// Step i of an n-step gradient: from + (to - from) * i / n per channel,
// truncating; the last step stops short of `to`.
fw::TColor GradientStep(fw::TColor from, fw::TColor to, int i, int n);

// The rows (gdVertical) or columns of a gradient fill, each with its colour.
// clNone as `to` means `from`; equal colours give one solid piece.
struct TFillPiece {
    TIntRect Rect;
    fw::TColor Color = 0;
};
std::vector<TFillPiece> GradientFillPieces(const TIntRect& r, TGradientDirection direction, fw::TColor from,
                                           fw::TColor to);

// The slice of a gradient over `full` that falls into `clip`, with its end
// colours taken from the whole; none when the two do not overlap.
struct TGradientSlice {
    TIntRect Rect;
    fw::TColor From = 0;
    fw::TColor To = 0;
};
std::optional<TGradientSlice> GradientPart(const TIntRect& full, const TIntRect& clip, TGradientDirection direction,
                                           fw::TColor from, fw::TColor to);

// The solid and fading pieces of a separator or splitter line, each a
// gradient From..To along `direction` (solid where the two are equal).
std::vector<TGradientSlice> GradientLinePieces(TIntRect r, fw::TColor color, fw::TColor colorTo,
                                               TGradientDirection direction, TGradientType type, int gradientWidth,
                                               int margin);

// Where a background picture of pw by ph goes in r.
TIntPoint PicturePosition(TBackgroundPosition position, int offsetX, int offsetY, const TIntRect& r, int pw, int ph);

// The reference point of the rotated side-bar caption of extent cx (along
// the text) by cy in a bar of `barSize` by `barHeight`. `bottomPicture` is
// the height of a picture placed at the bar's bottom (0 for none).
TIntPoint SideBarCaptionOrigin(int barSize, int barHeight, int cx, int cy, TCaptionAlignment alignment,
                               TDirection direction, int captionOffset, int bottomPicture);

// A 1-bit glyph: true where the pixel is black (drawn), row by row.
struct TGlyphMask {
    int Width = 0;
    int Height = 0;
    std::vector<bool> Black;
    bool At(int x, int y) const { return Black[static_cast<size_t>(y * Width + x)]; }
};
// The built-in glyphs "KELSUBMENUITEM", "KELCHECKITEM" and "KELRADIOITEM";
// none for any other name.
std::optional<TGlyphMask> MenuGlyphResource(const std::wstring& name);

}  // namespace kel::menus
