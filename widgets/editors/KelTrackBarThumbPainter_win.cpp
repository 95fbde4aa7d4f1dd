// The thumb shapes: pointer, rectangles, round, line and the polygon thumbs,
// filled flat, solid or glossy and outlined light-dark-light.
#include "widgets/editors/KelTrackBarPainter.h"

namespace kel::trackbar {

namespace {

constexpr fw::TColor kHighlight = 0xFFFFFF;

std::vector<POINT> ToPoints(const std::vector<TPoint>& pts) {
    std::vector<POINT> out;
    out.reserve(pts.size());
    for (const TPoint& p : pts) out.push_back(POINT{p.X, p.Y});
    return out;
}

TGradientDirection FlatDirection(TGDIPGradient g) {
    switch (g) {
        case ggRadial: return gdHorizontal;
        case ggDiagonalForward: return gdHorizontalInOut;
        default: return gdVertical;
    }
}

// The fill of the pointer, rectangle and round thumbs: flat bands without
// mirror colours, the glossy fill with them, a solid fill with the first
// colour alone.
void FillThumb(fw::TCanvas& c, const TRect& r, HRGN q, TGPGraphicsPath& p, const TThumbPaint& s, int shape,
               const TRect& glossRect, fw::TColor outer, fw::TColor inner) {
    const TGlossColors& k = s.Colors;
    if (k.Color == fw::clNone) return;
    if (k.ColorTo == fw::clNone) {
        CanvasClip clip(c.Handle(), q);
        c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
        c.Brush().SetColor(k.Color);
        c.FillRect(RECT{r.Left, r.Top, r.Right, r.Bottom});
        return;
    }
    if (k.ColorMirror == fw::clNone || k.ColorMirrorTo == fw::clNone) {
        CanvasClip clip(c.Handle(), q);
        DrawTrackGradient(c, k.Color, k.ColorTo, FlatDirection(s.Gradient), r, s.Steps);
        return;
    }
    TGPGraphics g(c.Handle());
    const TGPRegion region(p);
    g.SetClipRegion(region, 0);
    DrawGlossShape(g, glossRect, shape, outer, inner, k, s.Gradient, s.GradientMirror, s.Vertical);
    g.ResetClip();
}

void PaintPointer(fw::TCanvas& c, const TRect& r, const TThumbPaint& s) {
    const TPointerThumb t = PointerThumb(r, s.Tick, s.Vertical);
    TGPGraphicsPath path;
    const std::vector<TPoint>& o = t.Outline;
    for (size_t i = 0; i + 1 < o.size(); ++i)
        path.AddLine(float(o[i].X), float(o[i].Y), float(o[i + 1].X), float(o[i + 1].Y));
    path.CloseFigure();
    fw::GdiObject<HRGN> q(CreateRectRgn(t.Body.Left, t.Body.Top, t.Body.Right, t.Body.Bottom));
    auto addTip = [&](const TPoint& a, const TPoint& b, const TPoint& d) {
        const POINT tri[3] = {{a.X, a.Y}, {b.X, b.Y}, {d.X, d.Y}};
        fw::GdiObject<HRGN> tip(CreatePolygonRgn(tri, 3, ALTERNATE));
        CombineRgn(q.get(), q.get(), tip.get(), RGN_OR);
    };
    if (t.FirstTip) addTip(t.U1, t.U2, t.U3);
    if (t.SecondTip) addTip(t.D1, t.D2, t.D3);
    FillThumb(c, r, q.get(), path, s, 1, r, fw::clNone, fw::clNone);
    if (s.Colors.BorderColor == fw::clNone) return;
    c.Brush().SetStyle(fw::TBrushStyle::bsClear);
    DrawStrokes(c, t.Strokes, kHighlight, s.Colors.BorderColor);
}

void PaintRectangle(fw::TCanvas& c, const TRect& r, const TThumbPaint& s) {
    const int k = s.Shape == tsRectangle ? 1 : 8;
    const auto path = BuildRoundRectPath(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, k);
    fw::GdiObject<HRGN> q(CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, k, k));
    FillThumb(c, r, q.get(), *path, s, 1, {r.Left, r.Top, r.Right - 1, r.Bottom - 1}, fw::clNone, fw::clNone);
    const fw::TColor bc = s.Colors.BorderColor;
    // Without a border colour there is no outline and no grip to draw.
    if (bc == fw::clNone) return;
    c.Brush().SetStyle(fw::TBrushStyle::bsClear);
    c.Pen().SetColor(kHighlight);
    c.RoundRect(r.Left, r.Top, r.Right, r.Bottom, k, k);
    c.Pen().SetColor(bc);
    c.RoundRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1, k, k);
    if (s.Shape == tsRectangle) {
        c.Pen().SetColor(kHighlight);
        c.Rectangle(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    }
    c.Pen().SetColor(bc);
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (!s.Vertical) {
        const int len = h / 2 - 2, x = r.Left + w / 2, y = r.Top + (h - len) / 2;
        c.MoveTo(x, y);
        c.LineTo(x, y + len);
    } else {
        const int len = w / 2 - 2, x = r.Left + (w - len) / 2, y = r.Top + h / 2;
        c.MoveTo(x, y);
        c.LineTo(x + len, y);
    }
}

void PaintRound(fw::TCanvas& c, const TRect& r, const TThumbPaint& s) {
    const int rad = s.Size / 2;
    const auto path = BuildRoundRectPath(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, rad);
    fw::GdiObject<HRGN> q(CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, rad, rad));
    FillThumb(c, r, q.get(), *path, s, 0, r, kHighlight, s.Colors.BorderColor);
    const fw::TColor bc = s.Colors.BorderColor;
    if (bc == fw::clNone) return;
    const int x = r.Left + (r.Right - r.Left) / 2 + 1, y = r.Top + (r.Bottom - r.Top) / 2 + 1;
    c.Pen().SetColor(bc);
    c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
    c.Brush().SetColor(bc);
    c.RoundRect(x - 2, y - 2, x + 2, y + 2, 5, 5);
}

void PaintLine(fw::TCanvas& c, const TRect& r, const TThumbPaint& s) {
    const fw::TColor fc = s.Colors.Color, tc = s.Colors.ColorTo;
    const fw::TColor colors[4] = {tc, fc, fc == fw::clNone ? fc : BlendColors(fc, kHighlight, 60),
                                  fc == fw::clNone ? fc : BlendColors(fc, kHighlight, 10)};
    for (int i = 0; i < 4; ++i) {
        if (colors[i] == fw::clNone) continue;
        c.Pen().SetColor(colors[i]);
        if (!s.Vertical) {
            const int x = r.Left + (r.Right - r.Left) / 2 - 1 + i;
            c.MoveTo(x, r.Top);
            c.LineTo(x, r.Bottom);
        } else {
            const int y = r.Top + (r.Bottom - r.Top) / 2 - 1 + i;
            c.MoveTo(r.Left, y);
            c.LineTo(r.Right, y);
        }
    }
}

void PaintPolygon(fw::TCanvas& c, const TRect& r, const TThumbPaint& s) {
    TPolygonFamily family = TPolygonFamily::Triangle;
    const int kind = PolygonThumbKind(s.Shape, s.Tick, s.Vertical, family);
    const TPolygonThumb t = PolygonThumb(family, kind, r);
    const std::vector<POINT> pts = ToPoints(t.Polygon);
    fw::GdiObject<HRGN> q(CreatePolygonRgn(pts.data(), static_cast<int>(pts.size()), ALTERNATE));
    {
        CanvasClip clip(c.Handle(), q.get());
        DrawTrackGradient(c, s.Colors.Color, s.Colors.ColorTo, FlatDirection(s.Gradient), r, s.Steps);
    }
    DrawStrokes(c, t.HighlightStrokes, kHighlight, s.Colors.BorderColor);
    DrawStrokes(c, t.BorderStrokes, kHighlight, s.Colors.BorderColor);
}

}  // namespace

void DrawStrokes(fw::TCanvas& c, const std::vector<TStroke>& strokes, fw::TColor highlight, fw::TColor border) {
    for (const TStroke& s : strokes) {
        const fw::TColor color = s.Role == TPenRole::Highlight ? highlight : border;
        if (color == fw::clNone) continue;
        c.Pen().SetColor(color);
        c.Polyline(ToPoints(s.Points));
    }
}

void PaintThumbShape(fw::TCanvas& canvas, const TRect& r, const TThumbPaint& paint) {
    switch (paint.Shape) {
        case tsPointer: PaintPointer(canvas, r, paint); break;
        case tsRectangle:
        case tsRoundRect: PaintRectangle(canvas, r, paint); break;
        case tsRound: PaintRound(canvas, r, paint); break;
        case tsLine: PaintLine(canvas, r, paint); break;
        default: PaintPolygon(canvas, r, paint); break;
    }
}

}  // namespace kel::trackbar
