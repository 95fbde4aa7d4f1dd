// TKelProgressBar.
#include "Updater/KelProgressBar.h"

#include "framework/gui/timer.h"

namespace oru {

TKelProgressBar::TKelProgressBar(fw::TComponent* owner) : fw::TGraphicControl(owner) {
    width_ = 128;
    height_ = 18;
    parent_font_ = false;
    font_->SetName(L"Verdana");
    font_->SetSize(10);
    timer_ = new fw::TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(static_cast<UINT>(interval_));
    timer_->OnTimer = [this](fw::TComponent*) { TimerTick(); };
}

TKelProgressBar::~TKelProgressBar() = default;

void TKelProgressBar::SetLevelBk(uint32_t& field, fw::TColor v) {
    if (field == static_cast<uint32_t>(v)) return;
    field = static_cast<uint32_t>(v);
    Invalidate();
}

void TKelProgressBar::SetFont(const fw::TFont& font) {
    font_->Assign(font);
    Invalidate();
}

void TKelProgressBar::SetPosition(int v) {
    if (range_.SetPosition(v)) Repaint();
}

void TKelProgressBar::SetMin(int v) {
    range_.SetMin(v);
    Invalidate();
}

void TKelProgressBar::SetMax(int v) {
    range_.SetMax(v);
    Invalidate();
}

void TKelProgressBar::SetInfinite(bool v) {
    s_.Infinite = v;
    if (v) marker_.Reset();
    UpdateTimer();
    Invalidate();
}

void TKelProgressBar::SetAnimated(bool v) {
    animated_ = v;
    UpdateTimer();
    Invalidate();
}

void TKelProgressBar::SetInfiniteInterval(int ms) {
    interval_ = ms;
    timer_->SetInterval(static_cast<UINT>(ms > 0 ? ms : 1));
}

bool TKelProgressBar::AnimationRunning() const { return timer_->Enabled(); }

void TKelProgressBar::UpdateTimer() { timer_->SetEnabled(s_.Infinite && animated_); }

void TKelProgressBar::TimerTick() {
    marker_.Tick();
    Repaint();
}

std::wstring TKelProgressBar::Version() const {
    const uint32_t v = 0x01020001;
    return std::to_wstring(v >> 24) + L"." + std::to_wstring((v >> 16) & 0xFF) + L"." +
           std::to_wstring((v >> 8) & 0xFF) + L"." + std::to_wstring(v & 0xFF);
}

TGaugeSettings TKelProgressBar::Settings() const {
    TGaugeSettings s = s_;
    s.Percentage = range_.Percentage();
    s.Position = range_.Position();
    s.Max = range_.Max();
    s.MarkerPosition = marker_.Position();
    return s;
}

void TKelProgressBar::Paint() {
    if (!parent_ || !visible_ || width_ <= 0 || height_ <= 0) return;
    ++paint_count_;
    fw::TBitmap bmp(width_, height_);
    fw::TFont font;
    font.Assign(*font_);
    DrawBarOps(bmp.Canvas(), BuildBarGauge({0, 0, width_, height_}, Settings()), font);
    GdiFlush();
    HDC target = canvas_->Handle();
    HDC source = bmp.Canvas().Handle();
    if (s_.Rounded) {
        TransparentBlt(target, 0, 0, width_, height_, source, 0, 0, width_, height_, fw::ToColorRef(kBarTransparentKey));
    } else {
        BitBlt(target, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    }
}

void DrawBarOps(fw::TCanvas& canvas, const std::vector<TBarOp>& ops, fw::TFont& font) {
    for (const auto& op : ops) {
        const auto& r = op.Rect;
        switch (op.What) {
            case TBarOp::Fill:
                canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
                canvas.Brush().SetColor(op.Color);
                canvas.Pen().SetStyle(fw::TPenStyle::psSolid);
                canvas.Pen().SetColor(op.Color);
                canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
                break;
            case TBarOp::Frame:
            case TBarOp::RoundFrame:
                canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
                canvas.Brush().SetColor(op.Color);
                canvas.Pen().SetStyle(fw::TPenStyle::psSolid);
                canvas.Pen().SetColor(op.PenColor);
                if (op.What == TBarOp::RoundFrame) {
                    canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, 6, 6);
                } else {
                    canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
                }
                break;
            case TBarOp::Text: {
                canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
                canvas.Font().Assign(font);
                SIZE size = canvas.TextExtent(op.Caption);
                if (op.Vertical) canvas.Font().SetOrientation(900);
                int x = 0, y = 0;
                BarTextOrigin(r, size.cx, size.cy, op.Vertical, x, y);
                canvas.TextOut(x, y, op.Caption);
                break;
            }
        }
    }
}

}  // namespace oru
