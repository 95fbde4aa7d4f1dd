// TMemo: a multi-line edit with word wrap and a vertical scroll bar.
#pragma once

#include "framework/gui/custom_edit.h"

namespace fw {

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* owner);
    // Left and right text margins in pixels.
    void SetMargins(int margin);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    // Enter starts a new line in the memo.
    bool WantsDialogKey(WORD key) override;

private:
    int margin_ = 0;
};

}  // namespace fw
