// The command test form: drives the display's command handler without TCP.
// It is created at start-up and never shown.
#pragma once

#include "framework/gui/forms.h"

namespace kyn {

class TkynExternalCommandControlTestForm : public fw::TForm {
public:
    explicit TkynExternalCommandControlTestForm(fw::TComponent* owner);
    ~TkynExternalCommandControlTestForm() override;
};

extern TkynExternalCommandControlTestForm* kynExternalCommandControlTestForm;

}  // namespace kyn
