// TLabel.
#include "framework/gui/std_label.h"

namespace fw {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    width_ = 65;
    height_ = 13;
}

void TLabel::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TLabel::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void TLabel::SetAutoSize(bool v) {
    auto_size_ = v;
    AdjustSize();
}

void TLabel::SetWordWrap(bool v) {
    if (v == word_wrap_) return;
    word_wrap_ = v;
    AdjustSize();
    Invalidate();
}

void TLabel::SetCaption(const std::wstring& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustSize();
    TGraphicControl::FontChanged();
}

void TLabel::AdjustSize() {
    if (!auto_size_) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_->Handle());
    RECT r{0, 0, word_wrap_ ? width_ : 0, 0};
    std::wstring text = caption_.empty() ? L" " : caption_;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | (word_wrap_ ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(left_, top_, word_wrap_ ? width_ : r.right, r.bottom);
}

void TLabel::Paint() {
    HDC dc = canvas_->Handle();
    RECT r = ClientRect();
    if (!transparent_ && color_ != clNone) {
        canvas_->Brush().SetColor(color_);
        canvas_->FillRect(r);
    }
    if (font_->Color() == clNone) return;
    SelectGuard font(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(enabled_ ? font_->Color() : clGrayText));
    UINT align = alignment_ == TAlignment::taCenter ? DT_CENTER : alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, align | DT_NOPREFIX | (word_wrap_ ? DT_WORDBREAK : DT_SINGLELINE));
}

}  // namespace fw
