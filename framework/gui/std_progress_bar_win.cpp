// TProgressBar.
#include "framework/gui/std_progress_bar.h"

#include <commctrl.h>

#include <algorithm>

namespace fw {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    width_ = 150;
    height_ = 17;
}

void TProgressBar::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    position_ = std::clamp(position_, min_, max_);
    if (handle_) {
        SendMessageW(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
        SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    }
}

void TProgressBar::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (handle_) SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMarquee(bool on) {
    if (on == marquee_) return;
    marquee_ = on;
    if (!handle_) return;
    LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
    style = on ? (style | PBS_MARQUEE) : (style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    SetWindowLongPtrW(handle_, GWL_STYLE, style);
    SendMessageW(handle_, PBM_SETMARQUEE, on ? TRUE : FALSE, 30);
    if (!on) SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = PROGRESS_CLASSW;
    if (marquee_) p.style |= PBS_MARQUEE;
}

void TProgressBar::CreateHandleDone() {
    SendMessageW(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    if (marquee_) SendMessageW(handle_, PBM_SETMARQUEE, TRUE, 30);
}

}  // namespace fw
