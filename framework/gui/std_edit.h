// TEdit: a single-line edit, a thin wrapper of Windows' EDIT class.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    // The text as the user left it (read from the window once it exists).
    std::wstring Text() const;
    void SetText(const std::wstring& text) { SetCaption(text); }
    // 0 shows the text; any other character hides it behind that one.
    wchar_t PasswordChar() const { return password_char_; }
    void SetPasswordChar(wchar_t c);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    bool CommandNotify(WORD code) override;

private:
    wchar_t password_char_ = 0;
};

}  // namespace fw
