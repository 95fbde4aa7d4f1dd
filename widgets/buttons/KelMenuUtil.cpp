#include "widgets/buttons/KelMenuUtil.h"

#include <cmath>
#include <cstdlib>

#include "widgets/drawing/KelGDIPColors.h"

namespace kel::menus {

void CenterRectSize(TIntRect& r, int w, int h) {
    r.Right = (r.Left + r.Right + w) / 2;
    r.Left = r.Right - w;
    r.Bottom = (r.Top + r.Bottom + h) / 2;
    r.Top = r.Bottom - h;
}

void SplitColor(fw::TColor color, int& red, int& green, int& blue) {
    const fw::TColor rgb = fw::ColorToRGB(color);
    red = rgb & 0xFF;
    green = (rgb >> 8) & 0xFF;
    blue = (rgb >> 16) & 0xFF;
}

uint32_t MakeColor(int red, int green, int blue, int top) {
    return (static_cast<uint32_t>(top & 0xFF) << 24) | (static_cast<uint32_t>(blue & 0xFF) << 16) |
           (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(red & 0xFF);
}

fw::TColor GradientStep(fw::TColor from, fw::TColor to, int i, int n) {
    int r1, g1, b1, r2, g2, b2;
    SplitColor(from, r1, g1, b1);
    SplitColor(to, r2, g2, b2);
    auto step = [&](int a, int b) { return a + (b - a) * i / n; };
    return static_cast<fw::TColor>(MakeColor(step(r1, r2), step(g1, g2), step(b1, b2), 0));
}

std::vector<TFillPiece> GradientFillPieces(const TIntRect& r, TGradientDirection direction, fw::TColor from,
                                           fw::TColor to) {
    if (to == fw::clNone) to = from;
    if (from == to) return {TFillPiece{r, from}};
    std::vector<TFillPiece> pieces;
    const int height = RectHeight(r);
    if (height <= 0) return pieces;
    if (direction == gdVertical) {
        for (int y = r.Top; y < r.Bottom; ++y)
            pieces.push_back({TIntRect{r.Left, y, r.Right, y + 1}, GradientStep(from, to, y - r.Top, height)});
    } else {
        const int width = RectWidth(r);
        for (int x = r.Left; x < r.Right; ++x)
            pieces.push_back({TIntRect{x, r.Top, x + 1, r.Bottom}, GradientStep(from, to, x - r.Left, width)});
    }
    return pieces;
}

std::optional<TGradientSlice> GradientPart(const TIntRect& full, const TIntRect& clip, TGradientDirection direction,
                                           fw::TColor from, fw::TColor to) {
    const TIntRect p{MaxInt(full.Left, clip.Left), MaxInt(full.Top, clip.Top), MinInt(full.Right, clip.Right),
                     MinInt(full.Bottom, clip.Bottom)};
    if (p.Right <= p.Left || p.Bottom <= p.Top) return std::nullopt;
    if (to == fw::clNone) to = from;
    const bool horizontal = direction == gdHorizontal;
    const int n = horizontal ? RectWidth(full) : RectHeight(full);
    const int nearEdge = horizontal ? p.Left - full.Left : p.Top - full.Top;
    const int farEdge = horizontal ? p.Right - full.Left : p.Bottom - full.Top;
    return TGradientSlice{p, GradientStep(from, to, nearEdge, n), GradientStep(from, to, farEdge, n)};
}

std::vector<TGradientSlice> GradientLinePieces(TIntRect r, fw::TColor color, fw::TColor colorTo,
                                               TGradientDirection direction, TGradientType type, int g, int margin) {
    if (colorTo == fw::clNone) colorTo = color;
    std::vector<TGradientSlice> pieces;
    if (direction == gdHorizontal) {
        r.Left += margin;
        r.Right -= margin;
        const int width = RectWidth(r);
        if (g >= width) {
            g = width;
        } else if (type == gtLeft) {
            pieces.push_back({{r.Left + g, r.Top, r.Right, r.Bottom}, colorTo, colorTo});
        } else if (type == gtRight) {
            pieces.push_back({{r.Left, r.Top, r.Right - g, r.Bottom}, colorTo, colorTo});
        } else {
            pieces.push_back({{r.Left + g / 2, r.Top, r.Right - g / 2, r.Bottom}, color, color});
        }
        if (g <= 0) return pieces;
        if (type == gtLeft) {
            pieces.push_back({{r.Left, r.Top, r.Left + g, r.Bottom}, color, colorTo});
        } else if (type == gtRight) {
            pieces.push_back({{r.Right - g, r.Top, r.Right, r.Bottom}, color, colorTo});
        } else {
            pieces.push_back({{r.Left, r.Top, r.Left + g / 2, r.Bottom}, colorTo, color});
            pieces.push_back({{r.Right - g / 2, r.Top, r.Right, r.Bottom}, color, colorTo});
        }
        return pieces;
    }
    r.Top += margin;
    r.Bottom -= margin;
    if (type == gtBoth) g *= 2;
    const int height = RectHeight(r);
    if (g >= height) {
        g = height;
    } else if (type == gtLeft) {
        pieces.push_back({{r.Left, r.Top, r.Right, r.Bottom - g}, colorTo, colorTo});
    } else if (type == gtRight) {
        pieces.push_back({{r.Left, r.Top + g, r.Right, r.Bottom}, colorTo, colorTo});
    } else {
        pieces.push_back({{r.Left, r.Top + g / 2, r.Right, r.Bottom - g / 2}, color, color});
    }
    if (g <= 0) return pieces;
    if (type == gtLeft) {
        pieces.push_back({{r.Left, r.Bottom - g, r.Right, r.Bottom}, colorTo, color});
    } else if (type == gtRight) {
        pieces.push_back({{r.Left, r.Top, r.Right, r.Top + g}, color, colorTo});
    } else {
        pieces.push_back({{r.Left, r.Top, r.Right, r.Top + g / 2}, colorTo, color});
        pieces.push_back({{r.Left, r.Bottom - g / 2, r.Right, r.Bottom}, color, colorTo});
    }
    return pieces;
}

TIntPoint PicturePosition(TBackgroundPosition position, int offsetX, int offsetY, const TIntRect& r, int pw, int ph) {
    TIntPoint p{r.Left, r.Top};
    const int width = RectWidth(r), height = RectHeight(r);
    switch (position) {
        case bpTopLeft:
        case bpBottomLeft: p.X += offsetX; break;
        case bpTopRight:
        case bpBottomRight: p.X += width - pw + offsetX; break;
        case bpTopCenter:
        case bpBottomCenter:
        case bpCenter: p.X += (width - pw) / 2 + offsetX; break;
        default: break;
    }
    switch (position) {
        case bpTopLeft:
        case bpTopRight:
        case bpTopCenter: p.Y += offsetY; break;
        case bpBottomLeft:
        case bpBottomRight:
        case bpBottomCenter: p.Y += height - ph + offsetY; break;
        case bpCenter: p.Y += (height - ph) / 2 + offsetY; break;
        default: break;
    }
    return p;
}

TIntPoint SideBarCaptionOrigin(int barSize, int barHeight, int cx, int cy, TCaptionAlignment alignment,
                               TDirection direction, int captionOffset, int bottomPicture) {
    TIntPoint p;
    p.X = RoundHalfEven((barSize - cy) / 2.0 - 0.5);
    const bool downToUp = direction == dDownToUp;
    if (alignment == TCaptionAlignment::taCenter) {
        p.Y = RoundHalfEven((barHeight + cx) / 2.0 - 0.5);
    } else if ((alignment == TCaptionAlignment::taRightJustify) == downToUp) {
        p.Y = captionOffset + cx;
    } else {
        p.Y = barHeight - captionOffset - bottomPicture;
    }
    if (!downToUp) {
        p.Y -= cx;
        p.X += cy + 1;
    }
    return p;
}

namespace {

TGlyphMask Blank(int w, int h) { return TGlyphMask{w, h, std::vector<bool>(static_cast<size_t>(w * h), false)}; }

void Set(TGlyphMask& m, int x, int y) {
    if (x >= 0 && y >= 0 && x < m.Width && y < m.Height) m.Black[static_cast<size_t>(y * m.Width + x)] = true;
}

// A stroke three pixels tall along the line from (x0, y0) to (x1, y1).
void Stroke(TGlyphMask& m, int x0, int y0, int x1, int y1) {
    const int steps = MaxInt(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const int x = x0 + RoundHalfEven(double(x1 - x0) * i / steps);
        const int y = y0 + RoundHalfEven(double(y1 - y0) * i / steps);
        for (int dy = 0; dy < 3; ++dy) Set(m, x, y + dy - 1);
    }
}

}  // namespace

std::optional<TGlyphMask> MenuGlyphResource(const std::wstring& name) {
    if (name == L"KELSUBMENUITEM") {
        TGlyphMask m = Blank(4, 7);
        const int widths[7] = {1, 2, 3, 4, 3, 2, 1};
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < widths[y]; ++x) Set(m, x, y);
        return m;
    }
    if (name == L"KELCHECKITEM") {
        TGlyphMask m = Blank(16, 16);
        Stroke(m, 4, 7, 6, 11);
        Stroke(m, 6, 11, 11, 4);
        return m;
    }
    if (name == L"KELRADIOITEM") {
        TGlyphMask m = Blank(16, 16);
        for (int y = 5; y <= 10; ++y) {
            const int inset = (y == 5 || y == 10) ? 1 : 0;
            for (int x = 5 + inset; x <= 10 - inset; ++x) Set(m, x, y);
        }
        return m;
    }
    return std::nullopt;
}

}  // namespace kel::menus
