// TButton.
#include "framework/gui/std_button.h"

namespace fw {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    width_ = 75;
    height_ = 25;
    tab_stop_ = true;
}

void TButton::SetDefault(bool v) {
    if (v == default_) return;
    default_ = v;
    if (handle_) SendMessageW(handle_, BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = L"BUTTON";
    p.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
    // The click may free the button (a closing form); keep it until we are done.
    EventScope scope(this);
    if (modal_result_ != mrNone) {
        if (TTopLevelHooks* hooks = TopHooks(); hooks && hooks->ModalResult) hooks->ModalResult(modal_result_);
    }
    TWinControl::Click();
}

bool TButton::DialogKeyAction(WORD key, TWinControl* focused) {
    // A focused button takes Enter itself; otherwise the default one does.
    const bool mine = (key == VK_RETURN && (focused == this || (default_ && !dynamic_cast<TButton*>(focused)))) ||
                      (key == VK_ESCAPE && cancel_);
    if (!mine || !CanFocus()) return false;
    Click();
    return true;
}

bool TButton::CommandNotify(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

}  // namespace fw
