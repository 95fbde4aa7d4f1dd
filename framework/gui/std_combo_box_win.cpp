// TComboBox.
#include "framework/gui/std_combo_box.h"

#include <algorithm>

namespace fw {

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    width_ = 145;
    height_ = 21;
    color_ = clWindow;
    tab_stop_ = true;
}

void TComboBox::AddItem(const std::wstring& text) {
    items_.push_back(text);
    if (handle_) SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TComboBox::Clear() {
    items_.clear();
    item_index_ = -1;
    if (handle_) SendMessageW(handle_, CB_RESETCONTENT, 0, 0);
}

int TComboBox::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0)) : item_index_;
}

void TComboBox::SetItemIndex(int index) {
    item_index_ = index >= 0 && index < Count() ? index : -1;
    if (handle_) SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(item_index_), 0);
}

std::wstring TComboBox::Text() const {
    const int index = ItemIndex();
    return index >= 0 && index < Count() ? Item(index) : std::wstring();
}

void TComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = L"COMBOBOX";
    p.style |= CBS_DROPDOWNLIST | WS_VSCROLL;
    // The drop-down list's room is part of the window's height.
    p.height = std::max(p.height, 200);
}

void TComboBox::CreateHandleDone() {
    for (const auto& item : items_) SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (item_index_ >= 0) SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(item_index_), 0);
}

bool TComboBox::CommandNotify(WORD code) {
    if (code != CBN_SELCHANGE) return false;
    item_index_ = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
    FireEvent(OnChange, this);
    return true;
}

}  // namespace fw
