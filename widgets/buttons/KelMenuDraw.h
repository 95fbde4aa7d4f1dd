// GDI drawing of the owner-drawn menus: gradients drawn row by row (whole or
// the slice that falls into one item), gradient and mirror boxes, lines with
// fading ends, backgrounds with pictures, and the side bar. A colour of
// clNone paints nothing.
#pragma once

#include <windows.h>

#include "framework/gui/graphics.h"
#include "widgets/buttons/KelMenuStyler.h"
#include "widgets/buttons/KelMenuUtil.h"

namespace kel::menus {

inline TIntRect FromRect(const RECT& r) { return TIntRect{r.left, r.top, r.right, r.bottom}; }
inline RECT ToRect(const TIntRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

void FillGradient(fw::TCanvas& canvas, const RECT& r, TGradientDirection direction, fw::TColor from, fw::TColor to);
void FillGradientPart(fw::TCanvas& canvas, const RECT& full, const RECT& clip, TGradientDirection direction,
                      fw::TColor from, fw::TColor to);
void DrawGradientBox(fw::TCanvas& canvas, const RECT& r, fw::TColor from, fw::TColor to, TGradientDirection direction,
                     fw::TColor border, bool fill);
void DrawMirrorBox(fw::TCanvas& canvas, const RECT& r, fw::TColor from, fw::TColor to, fw::TColor mirrorFrom,
                   fw::TColor mirrorTo, TGradientDirection direction, fw::TColor border, bool fill);
void DrawGradientLine(fw::TCanvas& canvas, const RECT& r, fw::TColor color, fw::TColor colorTo,
                      TGradientDirection direction, TGradientType type, int gradientWidth, int margin);
// A 1-pixel frame; nothing for clNone.
void FrameColor(fw::TCanvas& canvas, const RECT& r, fw::TColor color);
void FillColor(fw::TCanvas& canvas, const RECT& r, fw::TColor color);

// Paints the background (gradient when asked, then its picture) through its
// cache bitmap into r shrunk by the margins.
void PaintBackground(fw::TCanvas& canvas, const RECT& r, TBackground& background, bool withGradient);

void DrawSideBarCaption(fw::TCanvas& canvas, const RECT& bar, TSideBar& sideBar);
void DrawSideBarBorder(fw::TCanvas& canvas, const RECT& bar, TSideBar& sideBar);
void DrawSideBarSplitter(fw::TCanvas& canvas, const RECT& bar, TSideBar& sideBar);

// A GDI font from the font turned by `angle` degrees; the caller deletes it.
HFONT MakeRotatedFont(fw::TFont& font, int angle);
RECT BitmapRect(const fw::TBitmap* bitmap);

// Draws a black-on-white glyph: its black pixels in `color`, nothing else.
void DrawGlyph(fw::TCanvas& canvas, int x, int y, fw::TBitmap& glyph, fw::TColor color);
// Draws the bitmap's pixels that differ from its bottom-left pixel.
void DrawTransparent(fw::TCanvas& canvas, int x, int y, fw::TBitmap& bitmap);

}  // namespace kel::menus
