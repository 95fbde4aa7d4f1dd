// The mini-HTML layout engine: one call parses the markup, breaks it into
// lines inside a rectangle, draws it on a surface, measures it and tells
// which link lies under a point. Nothing outlives a call. Platform-free;
// RenderHtmlText (GDI) and RenderHtmlTextGP (GDI+) put a surface under it.
#pragma once

#include <string>

#include "framework/core/colors.h"
#include "widgets/drawing/HtmlSurface.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {

struct THtmlParams {
    std::wstring Text;
    TIntRect Rect;              // layout box; text starts at its top-left
    int HitX = 0;               // the point to hit-test
    int HitY = 0;
    int FocusLinkIndex = -1;    // 0-based number of the focused link; -1 none
    int HoverLinkIndex = -1;    // 1-based number of the link under the mouse; -1 none
    int ShadowOffset = 0;       // right and down, of the shadow of "<SH" text
    bool HitTestOnly = false;   // lay out and hit-test, draw nothing
    bool MeasureOnly = false;   // measure only; Rect.Bottom does not stop the layout
    bool PrintMode = false;     // image-list and shell pictures as stretched bitmaps scaled by ScaleFactor
    bool SelectedMode = false;  // the markup leaves the colours alone
    bool BlinkPhase = true;     // false: "<BL" text takes the surface's blink colour
    bool HoverUnderlineOnly = false;  // only link HoverLinkIndex is underlined and takes the hover colours
    bool WordWrap = true;       // false: lines break at markup breaks only, overlong text ends in "..."
    double ScaleFactor = 1.0;
    fw::TColor LinkColor = fw::clBlue;
    fw::TColor HoverBackColor = fw::clNone;
    fw::TColor HoverTextColor = fw::clNone;
    fw::TColor ShadowColor = fw::clGray;
    int LineSpacing = 0;        // pixels added to every line
};

struct THtmlResults {
    std::wstring AnchorHref;    // in/out: the href of the link hit; kept when none is hit
    std::wstring PlainText;     // the words without markup; "<BR>" gives a CR
    std::wstring FocusHref;     // href of the focused link, when it was drawn
    int TextWidth = 0;          // widest line plus 2
    int TextHeight = 0;
    int LinkCount = 0;
    int LinkUnderPoint = -1;    // 1-based number of the link under the point
    TIntRect LinkRect;          // that link's part on the line under the point; kept when none
};

// Lays `params.Text` out on the surface starting in `font`; true when the
// point lies on a link (a word of one in a hit-test-only call, a linked
// picture in any call but a measuring one).
bool LayoutHtml(THtmlSurface& surface, const THtmlFont& font, const THtmlParams& params, THtmlResults& results);

}  // namespace kel
