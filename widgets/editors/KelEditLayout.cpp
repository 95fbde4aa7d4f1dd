// The typed edit's geometry and look.
#include "widgets/editors/KelEditLayout.h"

namespace kel {

TEditPoint LabelPlacement(TLabelPosition position, const TIntRect& e, int labelWidth, int labelHeight, int margin,
                          int captionWidth) {
    const int left = e.Left, top = e.Top, width = e.Right - e.Left, height = e.Bottom - e.Top;
    const int middle = top + (height - labelHeight) / 2;
    const int bottom = top + height - labelHeight;
    const int above = top - labelHeight - margin;
    const int below = top + height + margin;
    const int centre = left + (width - labelWidth) / 2;
    const int rightOf = left + width + margin;
    const int rightAligned = left + width - labelWidth;
    using P = TLabelPosition;
    switch (position) {
        case P::lpLeftTop: return {left - captionWidth - margin, top};
        case P::lpLeftCenter: return {left - captionWidth - margin, middle};
        case P::lpLeftBottom: return {left - captionWidth - margin, bottom};
        case P::lpTopLeft: return {left, above};
        case P::lpBottomLeft: return {left, below};
        case P::lpLeftTopLeft: return {left - margin, top};
        case P::lpLeftCenterLeft: return {left - margin, middle};
        case P::lpLeftBottomLeft: return {left - margin, bottom};
        case P::lpTopCenter: return {centre, above};
        case P::lpBottomCenter: return {centre, below};
        case P::lpRightTop: return {rightOf, top};
        case P::lpRightCenter: return {rightOf, middle};
        case P::lpRighBottom: return {rightOf, bottom};
        case P::lpTopRight: return {rightAligned, above};
        case P::lpBottomRight: return {rightAligned, below};
    }
    return {left, top};
}

TIntRect FormattingRect(bool flat, bool ctl3d, int fontPoints, int clientWidth, int clientHeight) {
    const int extra = ctl3d ? 0 : fontPoints / 3;
    if (flat) return TIntRect{extra + 4, 3, clientWidth - 4 - extra, clientHeight - 4};
    return TIntRect{extra, 0, clientWidth - extra, clientHeight};
}

void ErrorMarkerEnds(int pos, int length, int textLength, const std::function<TEditPoint(int)>& posFromChar,
                     TEditPoint& start, TEditPoint& end) {
    if (pos < textLength) {
        start = posFromChar(pos);
    } else {
        start = posFromChar(textLength);
        start.X += 4;
    }
    if (pos + length < textLength) {
        end = posFromChar(pos + length - 1);
    } else {
        end = posFromChar(textLength - 1);
        end.X += 4;
        end.Y = start.Y;
    }
}

std::vector<TEditPoint> ErrorMarkerZigZag(TEditPoint start, TEditPoint end, int textHeight) {
    std::vector<TEditPoint> points{{start.X, start.Y + textHeight + 3}};
    int x = start.X;
    int d = 3;
    auto flip = [&d] { d = d == 3 ? 0 : 3; };
    while (x <= end.X) {
        flip();
        points.push_back({x + 3, end.Y + textHeight + d});
        x += 3;
    }
    flip();
    points.push_back({x + 3, end.Y + textHeight + d});
    return points;
}

bool IsHot(const TEditLookState& s) {
    if (!s.FocusBorder) return false;
    return s.Designing ? s.Enabled : (s.Hovering || s.Active);
}

bool PaintEndsWithBorders(const TEditLookState& s) {
    return s.FocusBorderColor != fw::clNone || (!s.Enabled && s.DisabledBorder);
}

bool DrawsBorders(const TEditLookState& s) {
    return !s.Enabled || s.Flat || (s.FocusBorder && s.Hovering) || s.FocusBorderColor != fw::clNone;
}

TFramePlan BorderFrame(const TEditLookState& s) {
    using K = TFramePlan::TKind;
    if (s.Designing) return {};
    if (!s.Enabled && s.IsComCtl6 && s.DisabledBorder) return {K::Single, fw::clSilver};
    if (s.FocusBorderColor != fw::clNone) {
        if (!s.Focused) return {};
        return {K::Single, s.FocusBorderColor};
    }
    if (!s.Enabled) return {};
    if (IsHot(s)) return {K::Sunken, fw::clBtnFace};
    return {K::Double, s.ParentColor};
}

TExtrasPlan PlanExtras(const TEditLookState& s) {
    TExtrasPlan plan;
    if (s.Flat) {
        if (s.FocusBorder && s.Focused) {
            plan.ClientBorder = true;
        } else if (s.FlatLineColor != fw::clNone) {
            plan.LineColor = s.Enabled ? s.FlatLineColor : fw::clGray;
            const TIntRect& r = s.FormatRect;
            const int w = s.Width, h = s.Height;
            if (s.SoftBorder) {
                plan.FlatLine = {{r.Left - 4, h - 1}, {w - 1, h - 1}, {w - 1, r.Top - 3}, {r.Left - 4, r.Top - 3},
                                 {r.Left - 4, h - 1}};
            } else {
                plan.FlatLine = {{r.Left - 2, h - 1}, {w, h - 1}};
            }
        }
    }
    if (s.DropCaret.X != -1 && s.DropCaret.Y != -1) {
        plan.DropMark = true;
        plan.DropMarkRect = TIntRect{s.DropCaret.X, s.DropCaret.Y, s.DropCaret.X + 1, s.DropCaret.Y - s.FontHeight};
    }
    plan.EmptyText = s.TextEmpty && !s.Focused && s.HasEmptyText;
    plan.ErrorMarker = !s.Focused && s.ErrorMarkerLength > 0;
    return plan;
}

}  // namespace kel
