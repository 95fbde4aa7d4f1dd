// The tab and page body painters.
#include "widgets/pager/KelPagerPaint.h"

#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/pager/KelPagerShapes.h"

namespace kel::pager {

namespace {

TPagerRect ToPagerRect(const RECT& r) { return TPagerRect{r.left, r.top, r.right, r.bottom}; }

TGPFloatRect ToFloat(const TPagerRect& r) {
    return FloatRect(float(r.Left), float(r.Top), float(r.Width()), float(r.Height()));
}

int LinearMode(TGDIPGradient g, bool side) {
    switch (g) {
        case ggDiagonalForward: return gpLinearGradientModeForwardDiagonal;
        case ggDiagonalBackward: return gpLinearGradientModeBackwardDiagonal;
        default: return side ? gpLinearGradientModeHorizontal : gpLinearGradientModeVertical;
    }
}

// The two halves of a body, each filled solid with its first colour, then
// with its gradient inset where the border runs.
void FillTwoHalves(TGPGraphics& g, const TPagerRect& body, const TBodyColors& c, TTabPosition orientation,
                   bool depthFlag) {
    const bool side = orientation == tpLeft || orientation == tpRight;
    const bool border = c.BorderColor != fw::clNone;
    TPagerRect outer = body, inner = body;  // the half away from the page and the one towards it
    // Edges of each half: which bound the body (outer side, inner side).
    if (!side) {
        const int h2 = body.Height() / 2;
        if (orientation == tpTop) {
            outer.Bottom = body.Top + h2;
            inner.Top = body.Top + h2;
        } else {
            outer.Top = body.Bottom - h2;
            inner.Bottom = body.Bottom - h2;
        }
    } else {
        const int w2 = body.Width() / 2;
        if (orientation == tpLeft) {
            outer.Right = body.Left + w2;
            inner.Left = body.Left + w2;
        } else {
            outer.Left = body.Right - w2;
            inner.Right = body.Right - w2;
        }
    }
    struct Half {
        TPagerRect rect;
        TColor from, to;
        TGDIPGradient gradient;
        bool first;
    } halves[2] = {{outer, c.Color, c.ColorTo, c.Gradient, true},
                   {inner, c.ColorMirror, c.ColorMirrorTo, c.GradientMirror, false}};
    for (const Half& h : halves) {
        if (h.rect.Width() <= 0 || h.rect.Height() <= 0) continue;
        if (h.from != fw::clNone) {
            TGPSolidBrush solid(ColorToOpaqueARGB(h.from));
            g.FillRectangleF(solid, ToFloat(h.rect));
        }
        if (h.from == fw::clNone || h.to == fw::clNone) continue;
        // The edge of the body that bounds this half: the outer edge for the
        // first half, the inner edge (towards the page) for the second.
        TPagerRect f = h.rect;
        const bool inset = !(h.first && !border);
        if (inset) {
            if (!side) f.Left += 1, f.Right -= 1;
            else f.Top += 1, f.Bottom -= 1;
            auto& edge = [&]() -> int& {
                switch (orientation) {
                    case tpTop: return h.first ? f.Top : f.Bottom;
                    case tpBottom: return h.first ? f.Bottom : f.Top;
                    case tpLeft: return h.first ? f.Left : f.Right;
                    default: return h.first ? f.Right : f.Left;
                }
            }();
            const bool grows = (orientation == tpTop || orientation == tpLeft) ? !h.first : h.first;
            if (!h.first && depthFlag)
                edge += grows ? 2 : -2;
            else
                edge += grows ? -1 : 1;
        }
        if (f.Width() <= 0 || f.Height() <= 0) continue;
        if (h.gradient == ggRadial) {
            // Centre on the middle of the body edge that bounds this half.
            int cx = body.Left + body.Width() / 2, cy = body.Top + body.Height() / 2;
            const bool towardsStart = (orientation == tpTop || orientation == tpLeft) == h.first;
            if (!side)
                cy = towardsStart ? body.Top : body.Bottom;
            else
                cx = towardsStart ? body.Left : body.Right;
            TGPGraphicsPath ellipse;
            ellipse.AddEllipse(float(cx - body.Width() / 2), float(cy - body.Height() / 2), float(body.Width()),
                               float(body.Height()));
            TGPPathGradientBrush brush(ellipse);
            brush.SetCenterPointI(IntPoint(cx, cy));
            brush.SetCenterColor(ColorToOpaqueARGB(h.to));
            TARGB surround = ColorToOpaqueARGB(h.from);
            int count = 1;
            brush.SetSurroundColors(&surround, count);
            g.FillRectangleF(brush, ToFloat(f));
        } else {
            TGPLinearGradientBrush brush(ToFloat(h.rect), ColorToOpaqueARGB(h.from), ColorToOpaqueARGB(h.to),
                                         LinearMode(h.gradient, side));
            g.FillRectangleF(brush, ToFloat(f));
        }
    }
}

void FillGradientOrSolid(TGPGraphics& g, const TPagerRect& area, const TPagerRect& gradientRect, TColor from,
                         TColor to, int mode) {
    if (area.Width() <= 0 || area.Height() <= 0 || from == fw::clNone) return;
    if (to == fw::clNone) {
        TGPSolidBrush brush(ColorToOpaqueARGB(from));
        g.FillRectangleF(brush, ToFloat(area));
        return;
    }
    TGPLinearGradientBrush brush(ToFloat(gradientRect), ColorToOpaqueARGB(from), ColorToOpaqueARGB(to), mode);
    g.FillRectangleF(brush, ToFloat(area));
}

}  // namespace

TBodyColors BodyColors(const TVistaBackground& a) {
    return TBodyColors{a.Color(),       a.ColorTo(),  a.ColorMirror(),   a.ColorMirrorTo(),
                       a.BorderColor(), a.Gradient(), a.GradientMirror()};
}

void DrawTabProgress(const TTabProgress& progress, TGPGraphics* graphics, const RECT& rect, TTabPosition orientation,
                     bool depthFlag) {
    if (!graphics) return;
    const TTabProgressGeometry geo = TabProgressGeometry(progress, ToPagerRect(rect), orientation, depthFlag);
    TColor c1 = progress.Color(), c2 = progress.ColorTo();
    TColor k1 = progress.CompleteColor(), k2 = progress.CompleteColorTo();
    if (geo.Reversed) {
        if (c2 != fw::clNone) std::swap(c1, c2);
        if (k2 != fw::clNone) std::swap(k1, k2);
    }
    FillGradientOrSolid(*graphics, geo.Bar, geo.Bar, c1, c2, geo.Mode);
    FillGradientOrSolid(*graphics, geo.Complete, geo.Complete, k1, k2, geo.Mode);
}

void DrawRectOutline(TGPGraphics& g, const TGPPen& pen, float x, float y, float w, float h) {
    TGPGraphicsPath path;
    path.AddLine(x, y, x + w, y);
    path.AddLine(x + w, y, x + w, y + h);
    path.AddLine(x + w, y + h, x, y + h);
    path.CloseFigure();
    g.DrawPath(&pen, &path);
}

void DrawRoundedRectOutline(TGPGraphics& g, const TGPPen& pen, float x, float y, float w, float h, float radius) {
    const float d = 2 * radius;
    TGPGraphicsPath path;
    path.AddLine(x + radius, y, x + w - radius, y);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddLine(x + w, y + radius, x + w, y + h - radius);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddLine(x + w - radius, y + h, x + radius, y + h);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.AddLine(x, y + h - radius, x, y + radius);
    path.AddArc(x, y, d, d, 180, 90);
    path.CloseFigure();
    g.DrawPath(&pen, &path);
}

void DrawVistaTabBody(fw::TCanvas& canvas, const RECT& rect, const TBodyColors& colors, TTabPosition orientation,
                      bool roundedCorners, bool depthFlag, const TTabProgress* progress) {
    TGPGraphics g(canvas.Handle());
    const TPagerRect body = ToPagerRect(rect);
    if (progress && progress->Visible()) {
        RECT bar = rect;
        bar.right -= 2;
        DrawTabProgress(*progress, &g, bar, orientation, depthFlag);
    } else {
        FillTwoHalves(g, body, colors, orientation, depthFlag);
    }
    if (colors.BorderColor == fw::clNone) return;
    TGPPen pen(ColorToOpaqueARGB(colors.BorderColor), 1);
    g.SetSmoothingMode(gpSmoothingModeAntiAlias);
    const float x = float(body.Left), y = float(body.Top);
    const float w = float(body.Width() - 1), h = float(body.Height() - 1);
    if (roundedCorners)
        DrawRoundedRectOutline(g, pen, x, y, w, h, 3);
    else
        DrawRectOutline(g, pen, x, y, w, h);
}

std::unique_ptr<TGPGraphicsPath> CreateTabShapePath(const RECT& rect, TKelTabShape shape, int rounding,
                                                    TTabPosition position, bool rotated) {
    auto path = std::make_unique<TGPGraphicsPath>();
    for (const TShapeSegment& s :
         TabShapeOutline(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, shape, rounding, position,
                         rotated)) {
        const auto& p = s.Points;
        switch (s.Kind) {
            case TShapeSegment::skLine:
                path->AddLine(float(p[0].X), float(p[0].Y), float(p[1].X), float(p[1].Y));
                break;
            case TShapeSegment::skCurve: path->AddCurve(p.data(), int(p.size()), kTabCurveTension); break;
            case TShapeSegment::skBezier: path->AddBezierPoints(p[0], p[1], p[2], p[3]); break;
        }
    }
    path->CloseFigure();
    return path;
}

void FillShapedTab(fw::TCanvas& canvas, const RECT& rect, const TBodyColors& colors, TKelTabShape shape, int rounding,
                   bool rotated, TTabPosition position, const TTabProgress* progress) {
    TGPGraphics g(canvas.Handle());
    std::unique_ptr<TGPGraphicsPath> path = CreateTabShapePath(rect, shape, rounding, position, rotated);
    TGPRegion region(*path);
    g.SetClipRegion(region, gpCombineModeReplace);
    const bool side = position == tpLeft || position == tpRight;
    const TTabPosition orientation = side && !rotated ? tpTop : position;
    if (progress && progress->Visible())
        DrawTabProgress(*progress, &g, rect, orientation, true);
    else
        FillTwoHalves(g, ToPagerRect(rect), colors, orientation, false);
    g.SetSmoothingMode(gpSmoothingModeAntiAlias);
    if (colors.BorderColor == fw::clNone) return;
    g.ResetClip();
    TGPPen pen(ColorToOpaqueARGB(colors.BorderColor), 1.6f);
    g.DrawPath(&pen, path.get());
}

}  // namespace kel::pager
