// Measures and paints the items of a styled owner-drawn menu: icon column,
// background and picture, side bar, highlight, check and radio boxes and
// glyphs, images, submenu arrow, caption with notes and short-cut text.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gui/graphics.h"
#include "framework/gui/menus.h"
#include "widgets/buttons/KelMenuStyler.h"

namespace kel::menus {

// Whether the side bar shows beside the item's menu level.
bool SideBarShownFor(fw::TMenuItem* item);
// The item or a visible item before it under its parent starts a column.
bool InLaterColumn(fw::TMenuItem* item);
bool IsFirstVisibleItem(fw::TMenuItem* item);
// The system menu that holds the item: its parent's sub-menu, or the menu's
// own; null while not built.
HMENU NativeMenuOf(fw::TMenuItem* item);

// Width and height arrive holding the framework's measurement.
void MeasureMenuItem(fw::TMenuItem* item, fw::TCanvas& canvas, int& width, int& height, bool showSideBar);
void DrawMenuItem(fw::TMenuItem* item, fw::TCanvas& canvas, RECT rect, bool showSideBar, fw::TOwnerDrawState state);
// Draws one text of the item; with DT_CALCRECT in `format` measures it into r.
void DrawMenuItemText(fw::TMenuItem* item, fw::TCanvas& canvas, const std::wstring& text, RECT& r,
                      fw::TOwnerDrawState state, UINT format);

std::wstring ShortCutDisplayText(uint16_t shortCut, bool international);
// The keyboard layout's name of a key.
std::wstring KeyDisplayName(int key);

// The union of the item rectangles of the menu level that holds `item`, in
// the client coordinates of its window (moved to 0,0 without one); empty
// when the level is not open.
RECT MenuItemsRect(fw::TMenuItem* item, HWND window);

}  // namespace kel::menus
