// THintWindow: a small borderless window near a point that shows one text,
// sized to it; it hides on a timer or when told. The application drives one
// for controls with ShowHint and a Hint (TApplication::HintWindow).
#pragma once

#include <string>

#include "framework/gui/custom_control.h"

namespace fw {

class TTimer;

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner);

    // The window's size for the text: its extent plus the margins, lines
    // broken at maxWidth.
    SIZE CalcHintSize(const std::wstring& hint, int maxWidth = 300);
    // Shows the text with the window's top-left corner at the screen point
    // (moved inside the screen), without taking the focus; hides again
    // after hidePauseMs (0: stays until ReleaseHint).
    void ActivateHint(POINT at, const std::wstring& hint, UINT hidePauseMs = 0);
    void ReleaseHint();

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint() override;

private:
    TTimer* hide_timer_;
};

}  // namespace fw
