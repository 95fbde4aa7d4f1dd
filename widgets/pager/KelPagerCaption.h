// Tab caption measuring and drawing with GDI or GDI+, the ellipsis
// shortening of captions that do not fit, and the GDI+ image drawers that
// make one pixel colour of an image transparent.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/graphic.h"
#include "framework/gui/graphics.h"
#include "widgets/pager/KelPagerTypes.h"

namespace fw {
class TImageList;
}
namespace kel {
class TGPGraphics;
}

namespace kel::pager {

struct TCaptionStyle {
    TPagerAlignment Alignment = taLeftJustify;
    bool Enabled = true;
    TPagerAntiAlias AntiAlias = aaClearType;
    TTabPosition Position = tpTop;
    bool Ellipsis = false;
    bool WordWrap = false;
};

// Measures (and with draw, draws) caption, else wideCaption, in rect with
// the canvas's font; textRect receives the measured text rectangle and is
// left alone when both texts are empty.
void DrawTabCaption(fw::TCanvas& canvas, const RECT& rect, const std::wstring& caption,
                    const std::wstring& wideCaption, const TCaptionStyle& style, bool draw, RECT& textRect);

// The text shortened until it (with "..." when addEllipsis) fits the room:
// the rect's height for side positions, else its width.
std::wstring TruncateCaption(fw::TCanvas& canvas, const std::wstring& text, const RECT& rect, bool useGdiPlus,
                             bool wordWrap, TTabPosition position, bool addEllipsis);

// Width and height of the whole text on the device context (0 x 0 when empty).
SIZE GetWideTextExtent(HDC dc, const std::wstring& text);

// The text's width with the canvas's font.
int CanvasWideTextWidth(fw::TCanvas& canvas, const std::wstring& text);

// One image of the list drawn at `at` through GDI+, its bottom-left pixel's
// colour transparent. With no graphics one is made on the canvas. Nothing
// without a list, a valid index, or a surface. Throws "Could not allocate
// memory for image" when no memory block can be had.
void DrawImageListImageGP(TGPGraphics* graphics, fw::TCanvas* canvas, POINT at, bool enabled, int imageIndex,
                          const fw::TImageList* list);

// A graphic drawn at `at` at its own size through GDI+; with useColorKey
// (and not a PNG) its top-left pixel's colour is transparent. Same failure
// as above.
void DrawGraphicGP(TGPGraphics* graphics, fw::TCanvas* canvas, POINT at, bool useColorKey, const fw::TGraphic& graphic);

}  // namespace kel::pager
