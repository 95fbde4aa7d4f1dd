// TShortCutHintWindow: the key-tip window.
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel::glow {

TShortCutHintWindow::TShortCutHintWindow(fw::TComponent* owner) : fw::THintWindow(owner) {
    color_ = fw::clWhite;
}

void TShortCutHintWindow::SetColorTo(fw::TColor c) {
    if (c == color_to_) return;
    color_to_ = c;
    Invalidate();
}

void TShortCutHintWindow::CreateParams(fw::TCreateParams& p) {
    fw::THintWindow::CreateParams(p);
    p.winClassName = L"TShortCutHintWindow";
    p.style &= ~static_cast<DWORD>(WS_BORDER);
    p.classStyle &= ~static_cast<UINT>(CS_DROPSHADOW);
}

LRESULT TShortCutHintWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND) return 1;
    return fw::THintWindow::WndProc(msg, wParam, lParam);
}

void TShortCutHintWindow::Paint() {
    fw::TCanvas& canvas = Canvas();
    const RECT r = ClientRect();
    DrawSteppedGradientBands(canvas, color_, color_to_, 16, r, false);
    HDC dc = canvas.Handle();
    SetBkMode(dc, TRANSPARENT);
    {
        fw::SelectGuard font(dc, font_->Handle());
        SetTextColor(dc, fw::ToColorRef(font_->Color()));
        RECT tr = r;
        DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
    canvas.Pen().SetColor(0x808080);
    canvas.RoundRect(r.left, r.top, r.right, r.bottom, 3, 3);
    canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
}

void TShortCutHintWindow::Resize() {
    fw::THintWindow::Resize();
    HDC dc = GetDC(nullptr);
    SIZE extent{};
    {
        fw::SelectGuard font(dc, font_->Handle());
        GetTextExtentPoint32W(dc, L"O", 1, &extent);
    }
    ReleaseDC(nullptr, dc);
    const int minimum = extent.cx + 8;
    if (width_ < minimum) SetBounds(left_, top_, minimum, height_);
}

}  // namespace kel::glow
