// The small login form of the transfer component: user name and password
// for a server that asks for them.
#pragma once

#include <string>

#include "framework/gui/forms.h"
#include "framework/gui/std_button.h"
#include "framework/gui/std_controls.h"
#include "framework/gui/std_edit.h"

namespace oru {

class TNcLoginForm : public fw::TForm {
public:
    explicit TNcLoginForm(fw::TComponent* owner);

    fw::TCustomControl* Banner;
    fw::TLabel* Label1;
    fw::TEdit* Edit1;
    fw::TLabel* Label2;
    fw::TEdit* Edit2;
    fw::TButton* Button1;
    fw::TButton* Button2;

    // Enter is OK, Esc is Cancel, Tab moves on, Alt with a label's letter
    // goes to its edit.
    void KeyDown(WORD& key, fw::TShiftState shift) override;
    void KeyPress(wchar_t& key) override;

private:
    void FocusNext(bool backwards);
};

// Shows the login form modally with `caption`; on OK copies the two edits
// into `user` and `password` and returns true, else changes nothing. The
// edits start empty.
bool ShowNcLoginForm(const std::wstring& caption, std::wstring& user, std::wstring& password);

}  // namespace oru
