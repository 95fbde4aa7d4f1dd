// The command test form: drives the display's command handler without TCP.
// It is created at start-up and never shown.
#pragma once

#include <array>
#include <string_view>

#include "framework/gui/forms.h"
#include "framework/gui/std_combo_box.h"
#include "framework/gui/std_track_bar.h"

namespace kyn {

// The words the combo box offers: the command words 0 to 31, in table order.
extern const std::array<std::wstring_view, 32> TestCommandList;

class TkynExternalCommandControlTestForm : public fw::TForm {
public:
    explicit TkynExternalCommandControlTestForm(fw::TComponent* owner);
    ~TkynExternalCommandControlTestForm() override;

    fw::TComboBox* ComboBox1;
    fw::TTrackBar* TrackBar1;  // 1 to 1000

    void FormCreate();
    // Runs the chosen word, except "LineThickness", "GridSize" and
    // "SweepRate", which need a value.
    void ComboBox1Change();
    // Sets the sweep rate to the slider's position.
    void TrackBar1Change();
};

extern TkynExternalCommandControlTestForm* kynExternalCommandControlTestForm;

}  // namespace kyn
