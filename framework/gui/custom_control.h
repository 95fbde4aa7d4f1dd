// TCustomControl: a windowed control with a canvas and a Paint hook.
#pragma once

#include <functional>
#include <memory>

#include "framework/gui/win_control.h"

namespace fw {

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas& Canvas() { return *canvas_; }
    std::function<void(TComponent* sender)> OnPaint;

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint();
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace fw
