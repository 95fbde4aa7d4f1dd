// The outline of a shaped tab as path segments: straight sides or ramps,
// corners rounded by cardinal splines, turned to the side of the strip.
#pragma once

#include <vector>

#include "widgets/drawing/KelGDIPTypes.h"
#include "widgets/pager/KelPagerTypes.h"

namespace kel::pager {

struct TShapeSegment {
    enum TKind { skLine, skCurve, skBezier };
    TKind Kind = skLine;
    // Line: 2 points; curve: 3 points (tension 0.8); Bezier: 4 points.
    std::vector<TGPIntPoint> Points;
};

// The closed outline (the figure closes along the base) of a tab in rect
// (left, top, width, height).
std::vector<TShapeSegment> TabShapeOutline(int left, int top, int width, int height, TKelTabShape shape, int rounding,
                                           TTabPosition position, bool rotated);

// The K of the ramps: rounding plus a third of the tab's thickness.
int TabRampDepth(int width, int height, int rounding, TTabPosition position, bool rotated);

constexpr float kTabCurveTension = 0.8f;

}  // namespace kel::pager
