// TGraphicControl.
#include "framework/gui/graphic_control.h"

namespace fw {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc) {
    CanvasPaintScope scope(*canvas_, dc, *font_);
    Paint();
}

}  // namespace fw
