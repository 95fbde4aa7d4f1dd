// The control panel's own pictures, drawn in code: the close image (normal,
// hot), the theme toggle (normal, hot, pressed) and the flags ("XX", "US",
// "NL").
#pragma once

#include "framework/gui/image_list.h"

namespace kyn {

void AddCloseImages(fw::TImageList& list);  // 18 by 12
void AddThemeImages(fw::TImageList& list);  // 22 by 16
void AddFlagImages(fw::TImageList& list);   // 22 by 16

}  // namespace kyn
