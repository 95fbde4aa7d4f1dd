// TAnimate.
#include "framework/gui/std_animate.h"

#include <commctrl.h>

namespace fw {

TAnimate::TAnimate(TComponent* owner) : TWinControl(owner) {
    width_ = 100;
    height_ = 80;
}

void TAnimate::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = ANIMATE_CLASSW;
    p.style |= ACS_TRANSPARENT | ACS_CENTER;
}

bool TAnimate::OpenClip(int resourceId) {
    Stop();
    clip_id_ = 0;
    HWND h = Handle();
    // Find the resource first: the control's own failure paths differ between
    // Windows versions.
    HMODULE module = GetModuleHandleW(nullptr);
    if (!FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"AVI")) {
        SendMessageW(h, ACM_OPENW, 0, 0);
        return false;
    }
    if (!SendMessageW(h, ACM_OPENW, reinterpret_cast<WPARAM>(module), reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resourceId)))) {
        return false;
    }
    clip_id_ = resourceId;
    return true;
}

void TAnimate::Play() {
    if (!clip_id_ || !handle_) return;
    if (SendMessageW(handle_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF))) playing_ = true;
}

void TAnimate::Stop() {
    if (handle_ && playing_) SendMessageW(handle_, ACM_STOP, 0, 0);
    playing_ = false;
}

}  // namespace fw
