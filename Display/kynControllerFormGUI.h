// The control panel form. For now it carries what the display form reads and
// writes on it: the version, position and window-size labels, and the
// operations the display calls when it is first shown.
#pragma once

#include "Display/kynDisplayModel.h"
#include "framework/gui/forms.h"
#include "framework/gui/std_controls.h"
#include "widgets/buttons/KelGlowButton.h"

namespace kyn {

class TkynControllerForm : public fw::TForm {
public:
    // The model outlives the form.
    TkynControllerForm(fw::TComponent* owner, TkynDisplayModel& model);
    ~TkynControllerForm() override;

    fw::TLabel* Label1;   // version text
    fw::TLabel* Label20;  // position text
    fw::TLabel* Label21;  // window size
    kel::glow::TKelGlowButton* KelGlowButton2;  // the Network page's tab button

    void ShowLanguageFlag(int language);
    void ApplyTheme(int theme);
    // Sets the sweep direction: 1 (top-down) when true, 2 when false.
    void SetSweepDirection(bool topDown);
    // Each flips its state in the model.
    void ToggleCrossHairs();
    void ToggleGrid();
    void ToggleScanLine();
    void TogglePause();

private:
    TkynDisplayModel& model_;
};

extern TkynControllerForm* kynControllerForm;

}  // namespace kyn
