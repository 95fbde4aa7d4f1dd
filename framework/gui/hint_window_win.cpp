// THintWindow.
#include "framework/gui/hint_window.h"

#include <algorithm>

#include "framework/gui/timer.h"

namespace fw {
namespace {

constexpr int kMargin = 3;
constexpr UINT kTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

}  // namespace

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner), hide_timer_(new TTimer(this)) {
    visible_ = false;
    color_ = clInfoBk;
    font_->SetColor(clInfoText);
    hide_timer_->SetEnabled(false);
    hide_timer_->OnTimer = [this](TComponent*) { ReleaseHint(); };
}

void THintWindow::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.winClassName = L"THintWindow";
    p.classStyle |= CS_SAVEBITS;
    p.style = WS_POPUP | WS_BORDER;
    p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    p.parent = nullptr;
}

LRESULT THintWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The mouse goes through to what lies beneath, so the hint never takes
    // the hover from the control it describes.
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return TCustomControl::WndProc(msg, wParam, lParam);
}

SIZE THintWindow::CalcHintSize(const std::wstring& hint, int maxWidth) {
    HDC dc = GetDC(nullptr);
    RECT r{0, 0, maxWidth, 0};
    {
        SelectGuard font(dc, font_->Handle());
        DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &r, kTextFlags | DT_CALCRECT);
    }
    ReleaseDC(nullptr, dc);
    // The border takes one pixel on each side.
    return SIZE{r.right + 2 * kMargin + 2, r.bottom + 2 * kMargin + 2};
}

void THintWindow::ActivateHint(POINT at, const std::wstring& hint, UINT hidePauseMs) {
    hide_timer_->SetEnabled(false);
    caption_ = hint;
    const SIZE size = CalcHintSize(hint);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int x = std::clamp(static_cast<int>(at.x), static_cast<int>(work.left),
                             std::max(static_cast<int>(work.left), static_cast<int>(work.right - size.cx)));
    const int y = std::clamp(static_cast<int>(at.y), static_cast<int>(work.top),
                             std::max(static_cast<int>(work.top), static_cast<int>(work.bottom - size.cy)));
    HWND h = Handle();
    SetWindowPos(h, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateBoundsFromWindow();
    visible_ = true;
    Invalidate();
    if (hidePauseMs) {
        hide_timer_->SetInterval(hidePauseMs);
        hide_timer_->SetEnabled(true);
    }
}

void THintWindow::ReleaseHint() {
    hide_timer_->SetEnabled(false);
    if (visible_) SetVisible(false);
}

void THintWindow::Paint() {
    RECT r = ClientRect();
    InflateRect(&r, -kMargin, -kMargin);
    HDC dc = Canvas().Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(font_->Color()));
    SelectGuard font(dc, font_->Handle());
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, kTextFlags);
}

}  // namespace fw
