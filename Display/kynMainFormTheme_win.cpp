// The display form's part of a theme: its popup menu's styler (which the
// control panel's language menu shares) and its Close button.
#include "Display/kynControlPanelLooks.h"
#include "Display/kynMainFormGUI.h"
#include "Display/kynThemeApply_win.h"

namespace kyn {

void TkynMainForm::ApplyTheme(int theme) {
    if (std::optional<TMenuTheme> menu = PopupMenuTheme(theme)) ApplyMenuTheme(*KelMenuStyler1, *menu);
    KelGlowButton10->SetParentFont(false);
    ApplyButtonLook(*KelGlowButton10, ButtonLook(TLook::LightButton));
    SetFontLook(KelGlowButton10->Font(), fw::clBlack, true);
}

}  // namespace kyn
