// GDI drawing that the mini-HTML renderers need besides text: a stepped
// two-colour gradient with an optional frame, shell icons, a bitmap copied
// stretched as a device-independent bitmap (print output) and a rotated
// font. Nothing here throws; failed Windows calls leave nothing drawn, and
// every GDI object made here is released here.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gui/graphics.h"

namespace kel {

// `count` bands (0 or less count as 1) from colour to colorTo, none reaching
// past the rectangle's far edge; then, unless frameColor is clNone, a frame
// round the whole rectangle with a clear brush. Pen and brush keep the last
// colours.
void DrawSteppedGradient(fw::TCanvas& canvas, fw::TColor color, fw::TColor colorTo, fw::TColor frameColor, int count,
                         const RECT& rect, bool horizontal);

// The system image list's icon for `source`: a number is an index into the
// list; any other non-empty text is a file or folder name (a name that does
// not exist gets its extension's icon). size receives the list's icon size.
// Print mode draws through a bitmap stretched by `scale` with StretchDrawDIB.
void DrawSystemIcon(fw::TCanvas& canvas, int x, int y, const std::wstring& source, bool large, bool draw,
                    bool printMode, double scale, POINT& size);

// The bitmap stretched into rect through StretchDIBits (SRCCOPY).
void StretchDrawDIB(fw::TCanvas& canvas, const RECT& rect, fw::TBitmap& bitmap);

// What CreateRotatedFont remembers for RestoreRotatedFont; each renderer
// keeps one.
struct TRotatedFontState {
    HDC dc = nullptr;
    HGDIOBJ replaced = nullptr;
    HFONT rotated = nullptr;
};

// Selects a copy of the canvas font turned by `angle` degrees straight into
// the canvas's device context (past the canvas's font object, so the canvas
// replaces it when it next selects its own font). A rotation still in place
// is restored first.
void CreateRotatedFont(fw::TCanvas& canvas, int angle, TRotatedFontState& state);
// Puts the replaced font back (when the rotated one is still selected) and
// deletes the rotated font; nothing when none is remembered.
void RestoreRotatedFont(fw::TCanvas& canvas, TRotatedFontState& state);

}  // namespace kel
