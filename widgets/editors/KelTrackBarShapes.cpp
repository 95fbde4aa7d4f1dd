// Thumb outlines and button glyphs.
#include "widgets/editors/KelTrackBarShapes.h"

#include <cmath>
#include <utility>

namespace kel::trackbar {
namespace {

using Points = std::vector<TPoint>;

TStroke Hl(Points p) { return {TPenRole::Highlight, std::move(p)}; }
TStroke Bd(Points p) { return {TPenRole::Border, std::move(p)}; }

void Shrink(TRect& b) {
    ++b.Left;
    ++b.Top;
    --b.Right;
    --b.Bottom;
}

void HorizontalPointerStrokes(TPointerThumb& t, const TRect& r) {
    TRect b = t.Body;
    const TPoint &u1 = t.U1, &u2 = t.U2, &u3 = t.U3;
    const TPoint &d1 = t.D1, &d2 = t.D2, &d3 = t.D3;
    auto& s = t.Strokes;
    // Pass 1, highlight.
    s.push_back(Hl({{b.Left, b.Top}, {b.Left, b.Bottom}}));
    s.push_back(Hl({{b.Right, b.Top}, {b.Right, b.Bottom + 1}}));
    s.push_back(t.FirstTip ? Hl({u1, u2, u3}) : Hl({{b.Left, b.Top}, {b.Right, b.Top}}));
    s.push_back(t.SecondTip ? Hl({d1, d2, d3}) : Hl({{b.Left, b.Bottom}, {b.Right, b.Bottom}}));
    Shrink(b);
    // Pass 2, border.
    s.push_back(Bd({{b.Left, b.Top}, {b.Left, b.Bottom + 1}}));
    s.push_back(Bd({{b.Right, b.Top}, {b.Right, b.Bottom + 1}}));
    s.push_back(t.FirstTip ? Bd({{u1.X + 1, u1.Y}, {u2.X, u2.Y + 1}, {u3.X, u3.Y + 1}})
                           : Bd({{b.Left, b.Top}, {b.Right, b.Top}}));
    s.push_back(t.SecondTip ? Bd({{d1.X + 1, d1.Y}, {d2.X, d2.Y - 1}, {d3.X, d3.Y - 1}})
                            : Bd({{b.Left, b.Bottom}, {b.Right, b.Bottom}}));
    Shrink(b);
    // Pass 3, highlight.
    const int e = t.SecondTip ? 2 : 1;
    s.push_back(Hl({{b.Left, b.Top}, {b.Left, b.Bottom + e}}));
    s.push_back(Hl({{b.Right, b.Top}, {b.Right, b.Bottom + e}}));
    s.push_back(t.FirstTip ? Hl({{u1.X + 2, u1.Y}, {u2.X, u2.Y + 2}, {u3.X - 1, u3.Y + 1}})
                           : Hl({{b.Left, b.Top}, {b.Right, b.Top}}));
    s.push_back(t.SecondTip ? Hl({{d1.X + 2, d1.Y}, {d2.X, d2.Y - 2}, {d3.X - 1, d3.Y - 1}})
                            : Hl({{b.Left, b.Bottom}, {b.Right, b.Bottom}}));
    // The grip, down the middle.
    const int k = (r.Bottom - r.Top) / 2 - 2;
    const int x = b.Left + (b.Right - b.Left) / 2;
    const int y = r.Top + ((r.Bottom - r.Top) - k) / 2;
    s.push_back(Bd({{x, y}, {x, y + k}}));
}

void VerticalPointerStrokes(TPointerThumb& t, const TRect& r) {
    TRect b = t.Body;
    const TPoint &u1 = t.U1, &u2 = t.U2, &u3 = t.U3;
    const TPoint &d1 = t.D1, &d2 = t.D2, &d3 = t.D3;
    auto& s = t.Strokes;
    s.push_back(Hl({{b.Left, b.Top}, {b.Right, b.Top}}));
    s.push_back(Hl({{b.Left, b.Bottom}, {b.Right, b.Bottom}}));
    s.push_back(t.FirstTip ? Hl({u1, u2, u3}) : Hl({{b.Left, b.Top}, {b.Left, b.Bottom}}));
    s.push_back(t.SecondTip ? Hl({d1, d2, {d3.X - 1, d3.Y - 1}}) : Hl({{b.Right, b.Top}, {b.Right, b.Bottom + 1}}));
    Shrink(b);
    s.push_back(Bd({{b.Left, b.Bottom}, {b.Right + 1, b.Bottom}}));
    s.push_back(Bd({{b.Left, b.Top}, {b.Right + 1, b.Top}}));
    s.push_back(t.FirstTip ? Bd({{u1.X, u1.Y - 1}, {u2.X + 1, u2.Y}, {u3.X + 1, u3.Y}})
                           : Bd({{b.Left, b.Top}, {b.Left, b.Bottom}}));
    s.push_back(t.SecondTip ? Bd({{d1.X, d1.Y - 1}, {d2.X - 1, d2.Y}, {d3.X - 1, d3.Y}})
                            : Bd({{b.Right, b.Top}, {b.Right, b.Bottom}}));
    Shrink(b);
    const int from = t.FirstTip ? b.Left - 1 : b.Left;
    const int e = t.SecondTip ? 2 : 1;
    s.push_back(Hl({{from, b.Bottom}, {b.Right + e, b.Bottom}}));
    s.push_back(Hl({{from, b.Top}, {b.Right + e, b.Top}}));
    s.push_back(t.FirstTip ? Hl({{u1.X, u1.Y - 2}, {u2.X + 2, u2.Y}, {u3.X + 1, u3.Y + 1}})
                           : Hl({{b.Left, b.Top}, {b.Left, b.Bottom}}));
    s.push_back(t.SecondTip ? Hl({{d1.X, d1.Y - 2}, {d2.X - 2, d2.Y}, {d3.X - 1, d3.Y + 1}})
                            : Hl({{b.Right, b.Top}, {b.Right, b.Bottom}}));
    const int k = (r.Right - r.Left) / 2 - 3;
    const int x = r.Left + ((r.Right - r.Left) - k + 1) / 2;
    const int y = r.Top + (r.Bottom - r.Top) / 2;
    s.push_back(Bd({{x, y}, {x + k, y}}));
}

// The polygon moved inward by `inset` pixels along every edge (the thumbs
// are convex); a corner whose edges are parallel stays where it is.
Points Inset(const Points& closed, double inset) {
    const size_t n = closed.size() - 1;
    double area = 0;
    for (size_t i = 0; i < n; ++i) area += double(closed[i].X) * closed[i + 1].Y - double(closed[i + 1].X) * closed[i].Y;
    const double side = area > 0 ? 1.0 : -1.0;
    struct Line {
        double px, py, dx, dy;
    };
    std::vector<Line> lines;
    for (size_t i = 0; i < n; ++i) {
        const double dx = closed[i + 1].X - closed[i].X, dy = closed[i + 1].Y - closed[i].Y;
        const double len = std::hypot(dx, dy);
        if (len == 0) {
            lines.push_back({double(closed[i].X), double(closed[i].Y), 0, 0});
            continue;
        }
        // Inward normal: to the left of the edge for a positive area (y down).
        const double nx = -dy / len * side, ny = dx / len * side;
        lines.push_back({closed[i].X + nx * inset, closed[i].Y + ny * inset, dx, dy});
    }
    Points out;
    for (size_t i = 0; i < n; ++i) {
        const Line& a = lines[(i + n - 1) % n];
        const Line& b = lines[i];
        const double cross = a.dx * b.dy - a.dy * b.dx;
        if (std::fabs(cross) < 1e-9) {
            out.push_back(closed[i]);
            continue;
        }
        const double t = ((b.px - a.px) * b.dy - (b.py - a.py) * b.dx) / cross;
        out.push_back({static_cast<int>(std::lround(a.px + t * a.dx)), static_cast<int>(std::lround(a.py + t * a.dy))});
    }
    out.push_back(out.front());
    return out;
}

Points PolygonPoints(TPolygonFamily family, int kind, const TRect& r) {
    const int l = r.Left, t = r.Top, rt = r.Right, bt = r.Bottom;
    const int hh = (bt - t) / 2, hw = (rt - l) / 2;
    const Points diamond{{l, t + hh}, {l + hw, t}, {rt, t + hh}, {l + hw, bt}};
    if (family == TPolygonFamily::PointerLeftUp && (kind == 0 || kind == 1)) {
        family = TPolygonFamily::PointerRightUp;
        kind = 1 - kind;
    }
    switch (family) {
        case TPolygonFamily::Triangle:
            switch (kind) {
                case 0: return {{l, bt}, {l, t}, {rt, t + hh}};
                case 1: return {{l, t + hh}, {rt, t}, {rt, bt}};
                case 2: return {{l, bt}, {l + hw, t}, {rt, bt}};
                case 3: return {{l, t}, {rt, t}, {l + hw, bt}};
                default: return diamond;
            }
        case TPolygonFamily::PointerRightUp:
            switch (kind) {
                case 0: return {{l, t}, {rt, t}, {rt, bt}, {l + hh, bt}};
                case 1: return {{l, t}, {rt, t}, {rt - hh, bt}, {l, bt}};
                case 2: return {{l, t + hw}, {rt, t}, {rt, bt}, {l, bt}};
                case 3: return {{l, t}, {rt, t}, {rt, bt}, {l, bt - hw}};
                case 4: return {{l, t}, {rt, t}, {rt - hh, bt}, {l + hh, bt}};
                default: return {{l, t + hw}, {rt, t}, {rt, bt}, {l, bt - hw}};
            }
        case TPolygonFamily::PointerLeftUp:
            switch (kind) {
                case 2: return {{l, t}, {rt, t + hw}, {rt, bt}, {l, bt}};
                case 3: return {{l, t}, {rt, t}, {rt, bt - hw}, {l, bt}};
                case 4: return {{l, t}, {rt, t}, {rt - hh, bt}, {l + hh, bt}};
                default: return {{l, t}, {rt, t + hw}, {rt, bt - hw}, {l, bt}};
            }
    }
    return diamond;
}

bool HorizontalGrip(TPolygonFamily family, int kind) {
    if (kind == 0 || kind == 1) return true;
    return kind == 4 && family != TPolygonFamily::Triangle;
}

// A bar (x, y, x + a, y + b): its outline, then its two inner rows (lying)
// or columns (upright) in the border colour.
void Bar(std::vector<TStroke>& out, int x, int y, int a, int b) {
    out.push_back(Hl({{x, y}, {x + a - 1, y}, {x + a - 1, y + b - 1}, {x, y + b - 1}, {x, y}}));
    if (a > b) {
        out.push_back(Bd({{x + 1, y + 1}, {x + a - 1, y + 1}}));
        out.push_back(Bd({{x + 1, y + 2}, {x + a - 1, y + 2}}));
    } else {
        out.push_back(Bd({{x + 1, y + 1}, {x + 1, y + b - 1}}));
        out.push_back(Bd({{x + 2, y + 1}, {x + 2, y + b - 1}}));
    }
}

}  // namespace

TPointerThumb PointerThumb(const TRect& r, TTickMark tick, bool vertical) {
    TPointerThumb t;
    t.Body = r;
    t.FirstTip = tick == tmTopLeft || tick == tmBoth;
    t.SecondTip = tick == tmBottomRight || tick == tmBoth;
    TRect& b = t.Body;
    if (!vertical) {
        const int h = (r.Right - r.Left) / 2;
        if (t.FirstTip) {
            b.Top = r.Top + h;
            t.U1 = {r.Left, r.Top + h};
            t.U2 = {r.Left + h, r.Top};
            t.U3 = {r.Right, r.Top + h};
        }
        if (t.SecondTip) {
            b.Bottom = r.Bottom - h;
            t.D1 = {r.Left, r.Bottom - h};
            t.D2 = {r.Left + h, r.Bottom};
            t.D3 = {r.Right, r.Bottom - h};
        }
        t.Outline.push_back({b.Right, b.Bottom});
        if (t.SecondTip) t.Outline.push_back(t.D2);
        t.Outline.push_back({b.Left, b.Bottom});
        t.Outline.push_back({b.Left, b.Top});
        if (t.FirstTip) t.Outline.push_back(t.U2);
        t.Outline.push_back({b.Right, b.Top});
        HorizontalPointerStrokes(t, r);
    } else {
        const int h = (r.Bottom - r.Top) / 2;
        if (t.FirstTip) {
            b.Left = r.Left + h;
            t.U1 = {r.Left + h, r.Bottom};
            t.U2 = {r.Left, r.Top + h};
            t.U3 = {r.Left + h, r.Top};
        }
        if (t.SecondTip) {
            b.Right = r.Right - h;
            t.D1 = {r.Right - h, r.Bottom};
            t.D2 = {r.Right, r.Bottom - h};
            t.D3 = {r.Right - h, r.Top};
        }
        t.Outline.push_back({b.Right, b.Bottom});
        t.Outline.push_back({b.Left, b.Bottom});
        if (t.FirstTip) t.Outline.push_back(t.U2);
        t.Outline.push_back({b.Left, b.Top});
        t.Outline.push_back({b.Right, b.Top});
        if (t.SecondTip) t.Outline.push_back(t.D2);
        VerticalPointerStrokes(t, r);
    }
    return t;
}

int PolygonThumbKind(TThumbShape shape, TTickMark tick, bool vertical, TPolygonFamily& family) {
    family = shape == tsPointerLeftUp    ? TPolygonFamily::PointerLeftUp
             : shape == tsPointerRightUp ? TPolygonFamily::PointerRightUp
                                         : TPolygonFamily::Triangle;
    if (shape == tsTriangleLeft) return vertical ? 2 : 0;
    if (shape == tsTriangleRight) return vertical ? 3 : 1;
    switch (tick) {
        case tmTopLeft: return vertical ? 0 : 2;
        case tmBottomRight: return vertical ? 1 : 3;
        case tmBoth: return vertical ? 4 : 5;
    }
    return 0;
}

TPolygonThumb PolygonThumb(TPolygonFamily family, int kind, const TRect& r) {
    TPolygonThumb t;
    t.Polygon = PolygonPoints(family, kind, r);
    t.Polygon.push_back(t.Polygon.front());
    const int l = r.Left, top = r.Top, bt = r.Bottom;
    const int hh = (bt - top) / 2, hw = (r.Right - l) / 2;
    t.HighlightStrokes.push_back(Hl(t.Polygon));
    if (family == TPolygonFamily::Triangle && kind == 0) {
        const int q = hw / 2, rt = r.Right;
        t.HighlightStrokes.push_back(Hl({{l + 2, bt - 3}, {l + 2, top + 3}, {rt - 5, top + hh}, {l + 2, bt - 3}}));
        t.HighlightStrokes.push_back(Hl({{l + hw - q - 2, top + hh + 1}, {l + hw + q - 6, top + hh + 1}}));
        t.BorderStrokes.push_back(Bd({{l + 1, bt - 2}, {l + 1, top + 2}, {rt - 3, top + hh}, {l + 1, bt - 2}}));
        t.BorderStrokes.push_back(Bd({{l + hw - q - 2, top + hh}, {l + hw + q - 6, top + hh}}));
        return t;
    }
    t.HighlightStrokes.push_back(Hl(Inset(t.Polygon, 2)));
    // The grip goes through the middle of the corners.
    double cx = 0, cy = 0;
    const size_t n = t.Polygon.size() - 1;
    for (size_t i = 0; i < n; ++i) {
        cx += t.Polygon[i].X;
        cy += t.Polygon[i].Y;
    }
    const int x = static_cast<int>(std::lround(cx / double(n))), y = static_cast<int>(std::lround(cy / double(n)));
    if (HorizontalGrip(family, kind)) {
        const int q = hw / 2;
        t.HighlightStrokes.push_back(Hl({{x - q, y + 1}, {x + q, y + 1}}));
        t.BorderStrokes.push_back(Bd(Inset(t.Polygon, 1)));
        t.BorderStrokes.push_back(Bd({{x - q, y}, {x + q, y}}));
    } else {
        const int q = hh / 2;
        t.HighlightStrokes.push_back(Hl({{x + 1, y - q}, {x + 1, y + q}}));
        t.BorderStrokes.push_back(Bd(Inset(t.Polygon, 1)));
        t.BorderStrokes.push_back(Bd({{x, y - q}, {x, y + q}}));
    }
    return t;
}

std::vector<TStroke> MinusGlyph(const TRect& d, int n, bool upright) {
    std::vector<TStroke> out;
    const int m = n / 2 - 4;
    const int w = d.Right - d.Left, h = d.Bottom - d.Top;
    if (upright) {
        Bar(out, d.Left + w / 2 - 1, d.Top - 1 + (n - m) / 2, 4, m + 4);
    } else {
        Bar(out, d.Left - 1 + (n - m) / 2, d.Top + h / 2 - 1, m + 4, 4);
    }
    return out;
}

std::vector<TStroke> PlusGlyph(const TRect& d, int n) {
    std::vector<TStroke> out;
    int l = n / 2 - 4;
    l += l % 2;  // even; a negative odd length goes one further down
    const int w = d.Right - d.Left, h = d.Bottom - d.Top;
    Bar(out, d.Left - 1 + (w - l) / 2, d.Top + h / 2 - 1, l + 4, 4);
    const int u = d.Left + 1 + (w - 4) / 2;
    const int v = d.Top + (h - l - 2) / 2;
    const int bottom = v + l + 3;
    const int openFrom = v + l / 2 + 1, openTo = v + l / 2 + 3;
    out.push_back(Hl({{u, v}, {u + 4, v}}));
    out.push_back(Hl({{u, bottom}, {u + 4, bottom}}));
    for (int x : {u, u + 3}) {
        out.push_back(Hl({{x, v}, {x, openFrom}}));
        out.push_back(Hl({{x, openTo + 1}, {x, bottom + 1}}));
    }
    out.push_back(Bd({{u + 1, v + 1}, {u + 1, v + l + 3}}));
    out.push_back(Bd({{u + 2, v + 1}, {u + 2, v + l + 3}}));
    return out;
}

}  // namespace kel::trackbar
