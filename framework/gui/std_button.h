// TButton: a push button, a thin wrapper of Windows' BUTTON class. A click
// gives the form it sits on the button's modal result; the form's Enter
// clicks the default button (or the focused one), its Esc the cancel button.
#pragma once

#include "framework/gui/win_control.h"

namespace fw {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    TModalResult ModalResult() const { return modal_result_; }
    void SetModalResult(TModalResult r) { modal_result_ = r; }
    // The default button has the bold frame and takes Enter.
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // The button Esc stands for.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool CommandNotify(WORD code) override;
    bool DialogKeyAction(WORD key, TWinControl* focused) override;

private:
    TModalResult modal_result_ = mrNone;
    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace fw
