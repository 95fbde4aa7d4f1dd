// ColorToRGB: system colours resolve through GetSysColor.
#include "framework/core/colors.h"

#include <windows.h>

namespace fw {

TColor ColorToRGB(TColor color) {
    if (!IsSystemColor(color)) return color;
    return static_cast<TColor>(GetSysColor(color & 0xFF));
}

}  // namespace fw
