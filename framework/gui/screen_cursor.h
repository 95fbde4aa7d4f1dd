// The process-wide screen cursor: while it is not crDefault every window of
// the program shows it, whatever cursor the window under the pointer has.
#pragma once

#include <windows.h>

namespace fw {

enum class TScreenCursor { crDefault, crNone, crArrow, crSizeNWSE, crSizeNESW, crSizeWE, crSizeNS };

TScreenCursor ScreenCursor();
// Stores the cursor and shows it at once; crDefault gives the pointer back
// to the window under it.
void SetScreenCursor(TScreenCursor cursor);
// The handle shown for a cursor other than crDefault (null for crNone).
HCURSOR ScreenCursorHandle(TScreenCursor cursor);

}  // namespace fw
