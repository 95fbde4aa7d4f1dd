// TPanel.
#include "framework/gui/std_panel.h"

namespace fw {

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.winClassName = L"TPanel";
}

}  // namespace fw
