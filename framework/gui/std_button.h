// TButton: a push button, a thin wrapper of Windows' BUTTON class. A click
// gives the parent form the button's modal result.
#pragma once

#include "framework/gui/forms.h"

namespace fw {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    TModalResult ModalResult() const { return modal_result_; }
    void SetModalResult(TModalResult r) { modal_result_ = r; }
    // The default button has the bold frame (Enter is the form's to route).
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // The button Esc stands for (the form's to route).
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool CommandNotify(WORD code) override;

private:
    TModalResult modal_result_ = mrNone;
    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace fw
