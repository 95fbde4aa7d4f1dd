// TListBox: Windows' LISTBOX class: items with a number attached to each,
// optional sorting by the system (the numbers travel with their items), the
// selected item, and a fixed item height.
#pragma once

#include <string>

#include "framework/gui/custom_edit.h"

namespace fw {

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);

    int Count() const;
    std::wstring Item(int index) const;
    intptr_t ItemData(int index) const;
    // Adds an item (in its sorted place when Sorted); answers its index.
    int AddItem(const std::wstring& text, intptr_t data = 0);
    void Clear();
    // -1: none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;

    // Set before the window is made.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v) { sorted_ = v; }
    int ItemHeight() const { return item_height_; }
    void SetItemHeight(int height);
    TBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TBorderStyle style) { border_style_ = style; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    HBRUSH ColorReflect(UINT msg, HDC dc) override;

private:
    bool sorted_ = false;
    int item_height_ = 0;
    TBorderStyle border_style_ = TBorderStyle::bsSingle;
    GdiObject<HBRUSH> brush_;
    TColor brush_color_ = clNone;
};

}  // namespace fw
