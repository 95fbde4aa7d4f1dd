// The glow button's paint arithmetic.
#include "widgets/buttons/KelGlowButtonPaint.h"

#include <algorithm>
#include <cwctype>

namespace kel::glow {
namespace {

bool IsTopOrBottom(TButtonLayout l) {
    return l == blGlyphTop || l == blGlyphBottom || l == blGlyphTopAdjusted || l == blGlyphBottomAdjusted;
}

void BlendFace(TGlowColorSet& out, const TGlowColorSet& a, const TGlowColorSet& b, int percent) {
    out.Color = BlendColors(a.Color, b.Color, percent);
    out.ColorTo = BlendColors(a.ColorTo, b.ColorTo, percent);
    out.ColorMirror = BlendColors(a.ColorMirror, b.ColorMirror, percent);
    out.ColorMirrorTo = BlendColors(a.ColorMirrorTo, b.ColorMirrorTo, percent);
}

int R(double v) { return RoundHalfEven(v); }

}  // namespace

TColorChoice ChooseColors(const TGlowButtonAppearance& a, const TColorInputs& in) {
    TColorChoice c;
    const bool disabled = in.State == vsDisabled || !in.Enabled;
    if (disabled && in.ShowDisabled) {
        c.Set = a.Disabled();
    } else if (in.State == vsDown && in.Style == bsButton) {
        c.Set = a.Down();
        c.Highlighted = true;
    } else if (in.State == vsChecked || (in.Style == bsCheck && in.State == vsDown)) {
        c.Set = a.Checked();
        if (in.FadeRunning &&
            (in.MouseInFlag || (in.Style == bsButton && (in.GroupIndex <= 0 || in.State == vsDown))))
            BlendFace(c.Set, a.Checked(), a.Down(), in.DownLevel);
    } else if (in.MouseOver) {
        c.Set = a.Hot();
        c.Highlighted = true;
    } else {
        c.Set = a.Normal();
    }
    if (in.FadeRunning) {
        if (!in.Pressed && !in.Transparent && in.State != vsChecked && !(in.Style == bsCheck && in.State == vsDown)) {
            BlendFace(c.Set, a.Hot(), a.Normal(), in.HotLevel);
            c.Set.BorderColor = BlendColors(a.BorderColorHot(), a.BorderColor(), in.HotLevel);
        } else if (in.Style == bsCheck && in.Pressed) {
            BlendFace(c.Set, a.Down(), a.Checked(), in.DownLevel);
        } else if (in.Style == bsButton && in.Pressed && in.State != vsChecked) {
            BlendFace(c.Set, a.Down(), a.Hot(), in.DownLevel);
            c.Set.BorderColor = BlendColors(a.BorderColorDown(), a.BorderColorHot(), in.DownLevel);
        }
    }
    if (in.Position != bpStandalone && in.LeftDown) c.Set.BorderColor = a.BorderColor();
    if (disabled && in.ShowDisabled) c.Set = a.Disabled();
    if (in.Focused && (in.FocusType == ftHot || in.FocusType == ftHotBorder) && !in.Pressed) {
        c.Set = a.Hot();
        c.Highlighted = true;
    }
    return c;
}

TRect DropDownRect(const TRect& r, TDropDownPosition pos) {
    if (pos == dpBottom) return {r.Left, r.Bottom - kDropDownPart, r.Right, r.Bottom};
    return {r.Right - kDropDownPart, r.Top, r.Right, r.Bottom};
}

TRect ContentRect(const TRect& r, bool dropDownButton, TDropDownPosition pos) {
    TRect k = r;
    if (dropDownButton) {
        const TRect d = DropDownRect(r, pos);
        if (pos == dpBottom)
            k.Bottom = d.Top;
        else
            k.Right = d.Left;
    }
    return k;
}

std::vector<THalfFill> FaceFills(const TRect& r, const TGlowColorSet& c, bool dropDownButton, bool highlighted,
                                 bool dropDownSplit, TDropDownPosition pos, int dropDownState) {
    const int H = r.Bottom - r.Top;
    const int h = H / 2;
    if (!(dropDownButton && highlighted && dropDownSplit)) {
        return {{{r.Left, r.Top + h - 1, r.Right, r.Bottom}, c.ColorMirrorTo, c.ColorMirror, c.GradientMirror, false},
                {{r.Left, r.Top, r.Right, r.Bottom - h}, c.Color, c.ColorTo, c.Gradient, true}};
    }
    const int part = kDropDownHotStrip;
    TRect bodyUpper, bodyLower, partUpper, partLower;
    if (pos == dpRight) {
        bodyUpper = {r.Left, r.Top, r.Right - part, r.Bottom - h};
        bodyLower = {r.Left, r.Top + h - 1, r.Right - part, r.Bottom};
        partUpper = {r.Right - part, r.Top, r.Right, r.Bottom - h};
        partLower = {r.Right - part, r.Top + h - 1, r.Right, r.Bottom};
    } else {
        const int h2 = (H - part) / 2;
        bodyUpper = {r.Left, r.Top, r.Right, r.Bottom - part - h2};
        bodyLower = {r.Left, r.Top + h2 - 1, r.Right, r.Bottom - part};
        partUpper = {r.Left, r.Bottom - part, r.Right, r.Bottom};
    }
    auto dark = [](fw::TColor col) { return ScaleColor(col, -10); };
    std::vector<THalfFill> fills;
    if (dropDownState == 2) {
        fills.push_back({bodyLower, c.ColorMirrorTo, c.ColorMirror, c.GradientMirror, false});
        fills.push_back({bodyUpper, c.Color, c.ColorTo, c.Gradient, true});
        fills.push_back({partUpper, dark(c.Color), dark(c.ColorTo), c.Gradient, true});
        if (pos == dpRight)
            fills.push_back({partLower, dark(c.ColorMirrorTo), dark(c.ColorMirror), c.GradientMirror, false});
    } else {
        fills.push_back({bodyLower, dark(c.ColorMirrorTo), dark(c.ColorMirror), c.GradientMirror, false});
        fills.push_back({bodyUpper, dark(c.Color), dark(c.ColorTo), c.Gradient, true});
        fills.push_back({partUpper, c.Color, c.ColorTo, ggRadial, true});
        if (pos == dpRight) fills.push_back({partLower, c.ColorMirrorTo, c.ColorMirror, c.GradientMirror, false});
    }
    return fills;
}

std::wstring ExpandLineBreaks(const std::wstring& caption, bool forcedPictureSize) {
    std::wstring out;
    out.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'\\' && i + 1 < caption.size() && std::towlower(caption[i + 1]) == L'n') {
            out += forcedPictureSize ? L" " : L"\n\r";
            ++i;
        } else {
            out += caption[i];
        }
    }
    return out;
}

TImageSize SpacedImageSize(TImageSize img, bool hasCaption, TButtonLayout layout, int spacing) {
    if (!hasCaption) return img;
    switch (layout) {
        case blGlyphLeft: case blGlyphRight: case blGlyphLeftAdjusted: case blGlyphRightAdjusted:
            if (img.P > 0) img.P += spacing;
            break;
        case blGlyphTop: case blGlyphTopAdjusted:
            if (img.Q > 0) img.Q += spacing;
            break;
        default:
            break;
    }
    return img;
}

TSize MeasuredSizeGP(TButtonLayout layout, const TTextMetrics& m, TImageSize img, int s) {
    if (IsTopOrBottom(layout))
        return {std::max(R(m.TextWidth) + s, img.P + s), R(m.TextHeight) + img.Q + s};
    return {std::max(R(m.TextWidth), R(m.NotesWidth)) + img.P + s,
            std::max(R(m.TextHeight) + s + R(m.NotesHeight), img.Q + s)};
}

TSize MeasuredSizeGDI(TButtonLayout layout, const TTextMetrics& m, TImageSize img, int s) {
    switch (layout) {
        case blGlyphLeft: case blGlyphRight: case blGlyphRightAdjusted:
            return {R(m.TextWidth) + img.P + s, std::max(R(m.TextHeight) + s, img.Q + s)};
        case blGlyphLeftAdjusted:
            return {std::max(R(m.TextWidth), R(m.NotesWidth)) + img.P + s,
                    std::max(R(m.TextHeight) + s + R(m.NotesHeight), img.Q + s)};
        default:
            return {std::max(R(m.TextWidth) + s, img.P + s), R(m.TextHeight) + img.Q + s};
    }
}

TSize AutoSizeFor(TSize content, int spacing, int marginHorz, int marginVert, bool dropDownButton,
                  TDropDownPosition pos) {
    TSize s{spacing * 3 + content.Width + 2 + marginHorz * 2, spacing * 2 + content.Height + marginVert * 2};
    if (dropDownButton) (pos == dpBottom ? s.Height : s.Width) += kDropDownPart;
    return s;
}

TPlacement PlaceContent(const TPlacementInputs& in) {
    const TRect& k = in.K;
    const int kw = k.Right - k.Left, kh = k.Bottom - k.Top;
    const int p = in.Img.P, q = in.Img.Q;
    TPlacement o;
    o.X = k.Left;
    o.Y = k.Top;
    o.Width = kw;
    o.Height = kh;
    if (!in.Gdi && in.WordWrap && p > 0) o.Width -= p + in.Spacing;
    const double th = in.TextHeight, tw = in.TextWidth;
    const int centredX = k.Left + std::max((kw - p) / 2, 0);
    const int middleY = k.Top + std::max((kh - q) / 2, 0);
    switch (in.Layout) {
        case blGlyphLeft:
        case blGlyphLeftAdjusted:
            o.X = k.Left + p + 2;
            o.Width = kw - p - 2;
            if (in.Gdi && in.Layout == blGlyphLeft)
                o.X0 = in.GdiTextX;
            else
                o.X0 = R(in.Gdi ? in.GdiTextX : in.TextLeft - p / 2);
            o.X0 = std::max(o.X0, 2);
            o.Y0 = middleY;
            break;
        case blGlyphTop:
            o.Y = k.Top + q;
            o.Height = kh - q - 2;
            o.X0 = centredX;
            o.Y0 = R(o.Y) + std::max(R(o.Height - th) / 2, 0) - q - (in.Gdi ? 4 : 0);
            o.Y0 = std::max(o.Y0, 2);
            break;
        case blGlyphTopAdjusted:
            o.Y = k.Top + q;
            o.Height = kh - q - 2;
            o.X0 = centredX;
            o.Y0 = std::max(R(o.Y) - q, 2);
            break;
        case blGlyphBottom:
            o.Y = 2;
            o.Height = kh - q - 2;
            o.X0 = centredX;
            o.Y0 = std::max(R(o.Height - th) / 2, 0) + (in.Gdi ? R(th + 5) : R(th + 2));
            if (kh - q < o.Y0) o.Y0 = kh - q - 2;
            break;
        case blGlyphBottomAdjusted:
            o.Y = 2;
            o.X0 = centredX;
            if (in.Gdi) {
                o.Height = kh - q - 4;
                o.Y0 = kh - q - 2;
            } else {
                o.Height = kh - q - 2;
                o.Y0 = std::max(kh / 2, 0) + R(th + 2);
                if (kh - q < o.Y0) o.Y0 = kh - q - 2;
            }
            break;
        case blGlyphRight:
        case blGlyphRightAdjusted:
            o.X = 2;
            o.Width = kw - p - 4;
            if (in.Layout == blGlyphRightAdjusted)
                o.X0 = kw - p - 2;
            else
                o.X0 = std::min(std::max(R(o.Width - tw) / 2, 0) + R(tw) + 4, kw - p - 2);
            o.X0 += in.Spacing;
            o.Y0 = middleY;
            break;
    }
    return o;
}

TSize CentreIn(const TRect& k, int w, int h) {
    return {k.Left + std::max((k.Right - k.Left - w) / 2, 0), k.Top + std::max((k.Bottom - k.Top - h) / 2, 0)};
}

TPoint ArrowPoint(const TRect& d, TDropDownPosition pos, bool hasCaption, int textReferenceLine) {
    TPoint p;
    p.X = d.Left + (d.Right - d.Left - 5) / 2;
    if (pos == dpBottom || !hasCaption)
        p.Y = d.Top + 1 + (d.Bottom - d.Top - 3) / 2;
    else
        p.Y = textReferenceLine - 8;
    return p;
}

TArrowPixels DropDownArrowPixels(TPoint a, bool down) {
    TArrowPixels px;
    const int x = a.X, y = a.Y;
    if (down) {
        for (int i = 0; i < 5; ++i) px.Ink.push_back({x + i, y});
        for (int i = 1; i < 4; ++i) px.Ink.push_back({x + i, y + 1});
        px.Ink.push_back({x + 2, y + 2});
        px.Highlight = {{x, y + 1}, {x + 4, y + 1}, {x + 1, y + 2}, {x + 3, y + 2}, {x + 2, y + 3}};
    } else {
        for (int i = 0; i < 5; ++i) px.Ink.push_back({x, y + i});
        for (int i = 1; i < 4; ++i) px.Ink.push_back({x + 1, y + i});
        px.Ink.push_back({x + 2, y + 2});
        px.Highlight = {{x + 1, y}, {x + 1, y + 4}, {x + 2, y + 1}, {x + 2, y + 3}, {x + 3, y + 2}};
    }
    return px;
}

std::vector<TPoint> CornerPixels(int width, int height, TButtonPosition pos) {
    std::vector<TPoint> px;
    if (pos == bpStandalone || pos == bpLeft) {
        px.push_back({0, 0});
        px.push_back({0, height - 1});
    }
    if (pos == bpStandalone || pos == bpRight) {
        px.push_back({width - 1, 0});
        px.push_back({width - 1, height - 1});
    }
    return px;
}

}  // namespace kel::glow
