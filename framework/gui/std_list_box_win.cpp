// TListBox.
#include "framework/gui/std_list_box.h"

namespace fw {

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 97;
    color_ = clWindow;
    tab_stop_ = true;
}

int TListBox::Count() const {
    return handle_ ? static_cast<int>(SendMessageW(handle_, LB_GETCOUNT, 0, 0)) : 0;
}

std::wstring TListBox::Item(int index) const {
    if (!handle_) return {};
    const LRESULT n = SendMessageW(handle_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(handle_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

intptr_t TListBox::ItemData(int index) const {
    return handle_ ? static_cast<intptr_t>(SendMessageW(handle_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0)) : 0;
}

int TListBox::AddItem(const std::wstring& text, intptr_t data) {
    HWND h = Handle();
    const LRESULT at = SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0) return -1;
    SendMessageW(h, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(data));
    return static_cast<int>(at);
}

void TListBox::Clear() {
    if (handle_) SendMessageW(handle_, LB_RESETCONTENT, 0, 0);
}

int TListBox::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageW(handle_, LB_GETCURSEL, 0, 0)) : -1;
}

void TListBox::SetItemIndex(int index) {
    if (HWND h = Handle()) SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TListBox::TopIndex() const {
    return handle_ ? static_cast<int>(SendMessageW(handle_, LB_GETTOPINDEX, 0, 0)) : 0;
}

void TListBox::SetItemHeight(int height) {
    item_height_ = height;
    if (handle_ && height > 0) SendMessageW(handle_, LB_SETITEMHEIGHT, 0, height);
}

void TListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = L"LISTBOX";
    p.style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    if (sorted_) p.style |= LBS_SORT;
    if (border_style_ == TBorderStyle::bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateHandleDone() {
    if (item_height_ > 0) SendMessageW(handle_, LB_SETITEMHEIGHT, 0, item_height_);
}

HBRUSH TListBox::ColorReflect(UINT msg, HDC dc) {
    if (msg != WM_CTLCOLORLISTBOX || color_ == clNone) return nullptr;
    if (!brush_ || brush_color_ != color_) {
        brush_ = GdiObject<HBRUSH>(CreateSolidBrush(ToColorRef(color_)));
        brush_color_ = color_;
    }
    SetBkColor(dc, ToColorRef(color_));
    SetTextColor(dc, ToColorRef(font_->Color()));
    return brush_.get();
}

}  // namespace fw
