// TSpeedButton.
#include "framework/gui/std_speed_button.h"

namespace fw {

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    width_ = 23;
    height_ = 22;
}

void TSpeedButton::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}

void TSpeedButton::Paint() {
    HDC dc = canvas_->Handle();
    RECT r = ClientRect();
    const bool hot = MouseInControl() && enabled_;
    if (!flat_ || hot || pressed_) {
        UINT edge = pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
        if (!flat_ && !pressed_) edge = EDGE_RAISED;
        DrawEdge(dc, &r, edge, BF_RECT);
    }
    SelectGuard font(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(enabled_ ? font_->Color() : clGrayText));
    RECT t = r;
    if (pressed_) OffsetRect(&t, 1, 1);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &t,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && enabled_) {
        pressed_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    pressed_ = false;
    Invalidate();
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    if (flat_) Invalidate();
}

void TSpeedButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    if (flat_) Invalidate();
}

}  // namespace fw
