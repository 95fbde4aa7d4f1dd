// TBevel: an etched line or frame.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

enum class TBevelShape { bsBox, bsTopLine, bsLeftLine };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape v);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
};

}  // namespace fw
