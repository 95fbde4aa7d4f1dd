// TGraphicControl: a control without a window, painted by its parent into
// the parent's DC with the origin moved to its top-left corner.
#pragma once

#include <memory>

#include "framework/gui/control.h"

namespace fw {

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas& Canvas() { return *canvas_; }
    // Paints on `dc`, whose origin is this control's top-left corner.
    void PaintTo(HDC dc);

protected:
    virtual void Paint() {}
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace fw
