// TEdit.
#include "framework/gui/std_edit.h"

namespace fw {

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 21;
    color_ = clWindow;
    tab_stop_ = true;
}

std::wstring TEdit::Text() const {
    if (!handle_) return caption_;
    int n = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(handle_, text.data(), n + 1);
    text.resize(static_cast<size_t>(n < 0 ? 0 : n));
    return text;
}

void TEdit::SetPasswordChar(wchar_t c) {
    if (c == password_char_) return;
    password_char_ = c;
    if (handle_) {
        SendMessageW(handle_, EM_SETPASSWORDCHAR, c, 0);
        Invalidate();
    }
}

void TEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = L"EDIT";
    p.style |= ES_AUTOHSCROLL | ES_LEFT;
    if (password_char_) p.style |= ES_PASSWORD;
    p.exStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateHandleDone() {
    if (password_char_) SendMessageW(handle_, EM_SETPASSWORDCHAR, password_char_, 0);
}

bool TEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE) return false;
    caption_ = Text();
    FireEvent(OnChange, this);
    return true;
}

}  // namespace fw
