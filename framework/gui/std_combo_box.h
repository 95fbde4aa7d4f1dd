// TComboBox: Windows' COMBOBOX class as a drop-down list: items, the chosen
// item, and OnChange when the user chooses another.
#pragma once

#include <string>
#include <vector>

#include "framework/gui/win_control.h"

namespace fw {

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    int Count() const { return static_cast<int>(items_.size()); }
    const std::wstring& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    void AddItem(const std::wstring& text);
    void Clear();
    // -1: none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::wstring Text() const;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    bool CommandNotify(WORD code) override;

private:
    std::vector<std::wstring> items_;
    int item_index_ = -1;
};

}  // namespace fw
