// Applies the control panel's looks to the widgets that show them.
#pragma once

#include "Display/kynControlPanelLooks.h"
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/buttons/KelMenuStyler.h"

namespace kyn {

// Border style, the look's colours and, where the look has one, its font.
void ApplyButtonLook(kel::glow::TKelGlowButton& button, const TButtonLook& look);
void SetFontLook(fw::TFont& font, TColor color, bool bold);
void ApplyMenuTheme(kel::menus::TKelMenuStyler& styler, const TMenuTheme& theme);

}  // namespace kyn
