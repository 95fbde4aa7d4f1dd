// Tab caption measuring and drawing with GDI or GDI+, and the ellipsis
// shortening of captions that do not fit.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gui/graphics.h"
#include "widgets/pager/KelPagerTypes.h"

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

}  // namespace kel::pager
