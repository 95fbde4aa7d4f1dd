// The emulated task dialog's built-in pictures ("TD_ARW", "TD_EXP",
// "TD_COLP", "TD_SHIELD" and their hot, pressed and disabled forms), drawn
// in code on a magenta (0xFF00FF) transparent background.
#pragma once

#include <windows.h>

#include "framework/gui/graphics.h"

namespace kel::taskdialog {

constexpr COLORREF kPictureTransparent = RGB(255, 0, 255);

// Fills `bitmap` with the named picture; false (and an empty bitmap) for a
// name it does not know.
bool LoadTaskDialogPicture(const wchar_t* name, fw::TBitmap& bitmap);
// Draws a picture leaving out its transparent colour.
void DrawTransparentPicture(HDC dc, int x, int y, int width, int height, fw::TBitmap& bitmap);
void StretchTransparentPicture(HDC dc, int x, int y, int width, int height, fw::TBitmap& bitmap);

}  // namespace kel::taskdialog
