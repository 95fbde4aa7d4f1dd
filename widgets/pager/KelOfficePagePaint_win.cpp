// The page body: the page appearance's two-half fill with its border, the
// lighter inner border lines, the opening under the active tab and the
// corner pixels taken from the pager.
#include <algorithm>

#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/pager/KelOfficePager.h"
#include "widgets/pager/KelPagerPaint.h"

namespace kel::pager {

using namespace fw;

void TKelOfficePage::Paint() {
    if (!pager_ || !pager_->CurrentStyler()) return;
    TCustomKelOfficePagerStyler& styler = *pager_->CurrentStyler();
    TVistaBackground& p = usePageAppearance_ ? pageAppearance_ : styler.PageAppearance();
    if (Color() != p.Color()) color_ = p.Color();
    const bool rounded = styler.RoundedCorners() != 0;
    const TTabPosition pos = pager_->TabPosition();
    const int w = Width(), h = Height();
    TCanvas& canvas = Canvas();
    DrawVistaTabBody(canvas, RECT{0, 0, w, h}, BodyColors(p), pos, rounded, true, nullptr);
    HDC dc = canvas.Handle();
    if (p.BorderColor() != clNone) {
        TGdiPen pen(dc, BlendColors(clWhite, p.BorderColor(), styler.BorderLightening()));
        const int k = rounded ? 3 : 2;
        switch (pos) {
            case tpTop:
                Line(dc, 1, k, 1, h - 2), Line(dc, w - 2, k, w - 2, h - 2), Line(dc, 3, h - 2, w - 2, h - 2);
                break;
            case tpBottom:
                Line(dc, 1, 2, 1, h - k), Line(dc, w - 2, 2, w - 2, h - k), Line(dc, 3, 1, w - 2, 1);
                break;
            case tpLeft:
                Line(dc, k, 1, w - 2, 1), Line(dc, k, h - 2, w - 2, h - 2), Line(dc, w - 2, 3, w - 2, h - 2);
                break;
            case tpRight:
                Line(dc, 2, 1, w - k, 1), Line(dc, 2, h - 2, w - k, h - 2), Line(dc, 1, 3, 1, h - 2);
                break;
        }
    }
    const TPagerTabSettings& tabs = pager_->TabSettings();
    const int index = PageIndex();
    // A tab that is hidden or out of view has no edge to open.
    if (pager_->ActivePage() == this && tabs.Height() > 0 && pager_->IsTabVisible(index)) {
        const RECT tab = pager_->TabRect(index);
        if (tab.left != -1) {
            const bool side = pos == tpLeft || pos == tpRight;
            const int margin = pager_->PageMargin();
            int start = int(side ? tab.top : tab.left) - margin;
            int end = std::min(int(side ? tab.bottom : tab.right) - margin, pager_->ButtonAreaStart());
            const int r2 = tabs.Rounding() / 2;
            const TKelTabShape shape = tabs.Shape();
            // Start and end adjustments by position and shape.
            struct Adjust {
                int start, end;  // end: INT_MIN keeps it
            };
            constexpr int kKeep = -1000000;
            Adjust a{1, kKeep};
            switch (shape) {
                case tsRectangle: a = {1, kKeep}; break;
                case tsLeftRamp:
                    a = pos == tpLeft ? Adjust{1, -(r2 + 1)} : pos == tpRight ? Adjust{r2 + 1, kKeep}
                                                                              : Adjust{r2 + 2, kKeep};
                    break;
                case tsRightRamp:
                    a = pos == tpBottom ? Adjust{1, -r2} : pos == tpLeft ? Adjust{r2 + 2, kKeep} : Adjust{1, -(r2 + 1)};
                    break;
                case tsLeftRightRamp:
                    a = pos == tpBottom ? Adjust{r2 + 1, -r2} : Adjust{r2 + 2, -(r2 + 1)};
                    break;
            }
            start += a.start;
            if (a.end != kKeep) end += a.end;
            TGdiPen pen(dc, p.Color());
            switch (pos) {
                case tpTop: Line(dc, start, 0, end, 0); break;
                case tpBottom: Line(dc, start, h - 1, end, h - 1); break;
                case tpLeft: Line(dc, 0, start - 1, 0, end - 1); break;
                case tpRight: Line(dc, w - 1, start - 1, w - 1, end - 1); break;
            }
        }
    }
    const bool glass = tabs.Glass() && pager_->GlassCapable();
    if (glass || !rounded || pager_->PageMargin() < 1) return;
    // What the pager draws just outside the page.
    TBitmap around(pager_->Width(), pager_->Height());
    HDC adc = around.Canvas().Handle();
    pager_->PaintTo(adc);
    GdiFlush();
    const int lp = Left(), tp = Top();
    auto from = [&](int px, int py) { return GetPixel(adc, lp + px, tp + py); };  // page coordinates
    struct Copy {
        int x, y, fx, fy;
    } copies[] = {{0, 0, -1, -1},         {1, 0, 1, -1},          {0, 1, -1, 0},          {0, h - 1, -1, h},
                  {1, h - 1, -1, h},       {0, h - 2, -1, h},      {w - 1, 0, w, 0},       {w - 2, 0, w, 0},
                  {w - 1, 1, w, 0},        {w - 1, h - 1, w, h},   {w - 2, h - 1, w, h},   {w - 1, h - 2, w, h}};
    for (const Copy& c : copies) SetPixel(dc, c.x, c.y, from(c.fx, c.fy));
}

}  // namespace kel::pager
