// TPanel: a windowed container with a background.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

}  // namespace fw
