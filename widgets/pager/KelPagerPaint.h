// The tab and page body painters: rectangular bodies, shaped tab outlines
// and their fill, outlines and the tab progress bar. They take colours and
// flags, not the pager; every call makes and frees its own GDI+ objects.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/gui/graphics.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/pager/KelPagerAppearance.h"

namespace kel::pager {

// A 1-pixel solid GDI pen selected into a DC for the scope.
class TGdiPen {
public:
    TGdiPen(HDC dc, TColor color) : dc_(dc), pen_(CreatePen(PS_SOLID, 1, fw::ColorToRGB(color))) {
        old_ = SelectObject(dc_, pen_);
    }
    ~TGdiPen() {
        SelectObject(dc_, old_);
        DeleteObject(pen_);
    }
    TGdiPen(const TGdiPen&) = delete;
    TGdiPen& operator=(const TGdiPen&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ old_;
};

// A line with the DC's pen, the end point left out as GDI does.
inline void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// The colours of a body: the half away from the page runs Color to
// ColorTo, the half towards it ColorMirror to ColorMirrorTo.
struct TBodyColors {
    TColor Color = fw::clWhite, ColorTo = fw::clWhite, ColorMirror = fw::clWhite, ColorMirrorTo = fw::clWhite;
    TColor BorderColor = fw::clNone;  // clNone: no border
    TGDIPGradient Gradient = ggVertical, GradientMirror = ggVertical;
};

TBodyColors BodyColors(const TVistaBackground& appearance);

// The fill or the visible progress bar, and the border (radius 3 with
// rounded corners).
void DrawVistaTabBody(fw::TCanvas& canvas, const RECT& rect, const TBodyColors& colors, TTabPosition orientation,
                      bool roundedCorners, bool depthFlag, const TTabProgress* progress);

// The closed outline of a shaped tab; the caller owns it.
std::unique_ptr<TGPGraphicsPath> CreateTabShapePath(const RECT& rect, TKelTabShape shape, int rounding,
                                                    TTabPosition position, bool rotated);

void FillShapedTab(fw::TCanvas& canvas, const RECT& rect, const TBodyColors& colors, TKelTabShape shape, int rounding,
                   bool rotated, TTabPosition position, const TTabProgress* progress);

void DrawRoundedRectOutline(TGPGraphics& graphics, const TGPPen& pen, float x, float y, float width, float height,
                            float radius);
void DrawRectOutline(TGPGraphics& graphics, const TGPPen& pen, float x, float y, float width, float height);

// orientation: the tab position; depthFlag fills side tabs along their height.
void DrawTabProgress(const TTabProgress& progress, TGPGraphics* graphics, const RECT& rect, TTabPosition orientation,
                     bool depthFlag);

}  // namespace kel::pager
