// TMemo.
#include "framework/gui/std_memo.h"

namespace fw {

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
    width_ = 185;
    height_ = 89;
}

void TMemo::SetMargins(int margin) {
    margin_ = margin;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

void TMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    params.style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
}

void TMemo::CreateHandleDone() {
    TCustomEdit::CreateHandleDone();
    if (margin_) SetMargins(margin_);
}

bool TMemo::WantsDialogKey(WORD key) { return key == VK_RETURN || TCustomEdit::WantsDialogKey(key); }

}  // namespace fw
