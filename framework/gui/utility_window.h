// Hidden windows of the framework's own (timers, the application's wake-up,
// the popup-list window): a class registered once with its window procedure.
#pragma once

#include <windows.h>

namespace fw {

// A message-only window, or with `topLevel` a hidden top-level popup window
// (menus need one as their owner).
HWND CreateUtilityWindow(const wchar_t* className, WNDPROC proc, bool topLevel = false);

}  // namespace fw
