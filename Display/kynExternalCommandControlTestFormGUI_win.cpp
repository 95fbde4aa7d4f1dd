// The command test form.
#include "Display/kynExternalCommandControlTestFormGUI.h"

namespace kyn {

TkynExternalCommandControlTestForm* kynExternalCommandControlTestForm = nullptr;

TkynExternalCommandControlTestForm::TkynExternalCommandControlTestForm(fw::TComponent* owner)
    : fw::TForm(owner, L"TkynExternalCommandControlTestForm") {
    kynExternalCommandControlTestForm = this;
    SetCaption(L"External Command Control Test");
}

TkynExternalCommandControlTestForm::~TkynExternalCommandControlTestForm() {
    if (kynExternalCommandControlTestForm == this) kynExternalCommandControlTestForm = nullptr;
}

}  // namespace kyn
