// Tab outlines, built in the tab's own frame (u along the strip, v from the
// outer edge to the base) and turned to the strip's side.
#include "widgets/pager/KelPagerShapes.h"

namespace kel::pager {

int TabRampDepth(int width, int height, int rounding, TTabPosition position, bool rotated) {
    const bool side = position == tpLeft || position == tpRight;
    const int thickness = side && rotated ? width : height;
    return rounding + thickness / 3;
}

std::vector<TShapeSegment> TabShapeOutline(int left, int top, int width, int height, TKelTabShape shape, int rounding,
                                           TTabPosition position, bool rotated) {
    const bool side = position == tpLeft || position == tpRight;
    const int len = side ? height : width;    // along the strip
    const int depth = side ? width : height;  // outer edge to base
    auto at = [&](int u, int v) -> TGPIntPoint {
        switch (position) {
            case tpTop: return IntPoint(left + u, top + v);
            case tpBottom: return IntPoint(left + u, top + height - v);
            case tpLeft: return IntPoint(left + v, top + u);
            case tpRight: return IntPoint(left + width - v, top + u);
        }
        return IntPoint(left + u, top + v);
    };
    const int r = rounding;
    const int k = TabRampDepth(width, height, rounding, position, rotated);
    const bool leftRamp = shape == tsLeftRamp || shape == tsLeftRightRamp;
    const bool rightRamp = shape == tsRightRamp || shape == tsLeftRightRamp;
    const bool oneRamp = leftRamp != rightRamp;
    std::vector<TShapeSegment> out;
    auto line = [&](TGPIntPoint a, TGPIntPoint b) { out.push_back({TShapeSegment::skLine, {a, b}}); };
    // mirror(u) gives the right side from the left side's numbers.
    auto side_of = [&](bool right, int u) { return right ? len - u : u; };
    auto rampSide = [&](bool right, bool fromBase) {
        TGPIntPoint base = at(side_of(right, 0), depth);
        TGPIntPoint c1 = at(side_of(right, 3 * r), depth - r);
        TGPIntPoint c2 = at(side_of(right, k - r), r);
        TGPIntPoint outer = at(side_of(right, 2 * r + k), 0);
        if (fromBase)
            out.push_back({TShapeSegment::skBezier, {base, c1, c2, outer}});
        else
            out.push_back({TShapeSegment::skBezier, {outer, c2, c1, base}});
    };
    auto straightSide = [&](bool right, bool fromBase, int rr) {
        TGPIntPoint base = at(side_of(right, 0), depth);
        TGPIntPoint sideEnd = at(side_of(right, 0), 3 * rr);
        TGPIntPoint mid = at(side_of(right, rr), rr);
        TGPIntPoint outerEnd = at(side_of(right, 3 * rr), 0);
        if (fromBase) {
            line(base, sideEnd);
            out.push_back({TShapeSegment::skCurve, {sideEnd, mid, outerEnd}});
        } else {
            out.push_back({TShapeSegment::skCurve, {outerEnd, mid, sideEnd}});
            line(sideEnd, base);
        }
    };
    const int leftR = oneRamp && rightRamp ? r / 2 : r;
    const int rightR = oneRamp && leftRamp ? r / 2 : r;
    if (leftRamp)
        rampSide(false, true);
    else
        straightSide(false, true, leftR);
    // The outer edge between the two corners.
    TGPIntPoint a = out.back().Points.back();
    TGPIntPoint b = rightRamp ? at(len - (2 * r + k), 0) : at(len - 3 * rightR, 0);
    line(a, b);
    if (rightRamp)
        rampSide(true, false);
    else
        straightSide(true, false, rightR);
    return out;
}

}  // namespace kel::pager
