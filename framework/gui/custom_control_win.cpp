// TCustomControl.
#include "framework/gui/custom_control.h"

namespace fw {

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    CanvasPaintScope scope(*canvas_, dc, *font_);
    Paint();
}

void TCustomControl::Paint() {
    if (OnPaint) OnPaint(this);
}

}  // namespace fw
