// The host has no themes and no windows.
#include "widgets/pager/KelOfficePagerStyler.h"

namespace kel::pager {

int DetectXPColorScheme() { return 0; }
bool IsWindowsXPOrLater() { return false; }
fw::TComponent* CreateThemeNotifier(TKelOfficePagerOfficeStyler&) { return nullptr; }

}  // namespace kel::pager
