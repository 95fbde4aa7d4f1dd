// TSpeedButton: a windowless push button; flat, it shows its face only
// while the mouse is over it.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool flat_ = false;
    bool pressed_ = false;
};

}  // namespace fw
