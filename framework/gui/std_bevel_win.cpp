// TBevel.
#include "framework/gui/std_bevel.h"

namespace fw {

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    width_ = 50;
    height_ = 50;
}

void TBevel::SetShape(TBevelShape v) {
    if (v == shape_) return;
    shape_ = v;
    Invalidate();
}

void TBevel::Paint() {
    RECT r = ClientRect();
    const UINT flags = shape_ == TBevelShape::bsTopLine ? BF_TOP : shape_ == TBevelShape::bsLeftLine ? BF_LEFT : BF_RECT;
    DrawEdge(canvas_->Handle(), &r, EDGE_ETCHED, flags);
}

}  // namespace fw
