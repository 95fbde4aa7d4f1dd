// TTrackBar.
#include "framework/gui/std_track_bar.h"

#include <commctrl.h>

#include <algorithm>

namespace fw {

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
    width_ = 150;
    height_ = 45;
    tab_stop_ = true;
}

void TTrackBar::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    if (handle_) {
        SendMessageW(handle_, TBM_SETRANGEMIN, FALSE, min_);
        SendMessageW(handle_, TBM_SETRANGEMAX, TRUE, max_);
    }
    SetPosition(position_);
}

void TTrackBar::SetPosition(int position) {
    position = std::clamp(position, min_, max_);
    if (position == position_) return;
    position_ = position;
    if (handle_) SendMessageW(handle_, TBM_SETPOS, TRUE, position_);
    FireEvent(OnChange, this);
}

void TTrackBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = TRACKBAR_CLASSW;
    p.style |= TBS_HORZ | TBS_AUTOTICKS;
}

void TTrackBar::CreateHandleDone() {
    SendMessageW(handle_, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(handle_, TBM_SETRANGEMAX, FALSE, max_);
    SendMessageW(handle_, TBM_SETPOS, TRUE, position_);
}

bool TTrackBar::ScrollReflect(UINT /*msg*/, WORD /*code*/, int /*position*/) {
    // The position in the message is 16 bits; ask the control.
    const int now = static_cast<int>(SendMessageW(handle_, TBM_GETPOS, 0, 0));
    if (now != position_) {
        position_ = now;
        FireEvent(OnChange, this);
    }
    return true;
}

}  // namespace fw
