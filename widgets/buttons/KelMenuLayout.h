// The size of an owner-drawn menu item and the texts it shows: caption and
// note lines, short-cut names. Platform-free: text is measured through the
// functions the caller hands in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kel::menus {

// Width of the reserve at the right of every item, which the menu window's
// region hides.
constexpr int kRightReserve = 17;
constexpr uint16_t kWinKeyFlag = 0x0200;

struct TTextSize {
    int Width = 0;
    int Height = 0;
};
using TTextMeasure = std::function<TTextSize(const std::wstring&)>;

// The caption line and the note lines of a caption split at the two
// characters backslash and n; one piece when there is no separator.
std::vector<std::wstring> SplitCaptionNotes(const std::wstring& caption);
bool HasNotes(const std::wstring& caption);

// What the measuring reads of an item and its styler.
struct TItemMeasureInput {
    bool Visible = true;
    bool IsLine = false;
    std::wstring Caption;
    // The short-cut text (empty without a short-cut) and whether it carries
    // the Windows-key flag.
    std::wstring ShortCutText;
    bool WinKey = false;
    bool ShowNotes = true;
    bool HasImageList = false;
    int ImageListHeight = 0;
    int BitmapHeight = 0;  // 0: no bitmap
    int IconSize = 24;
    int SeparatorWidth = 1;
    // Side bar shown beside this item (first column only).
    bool SideBar = false;
    int SideBarSize = 0;
    int SplitterWidth = 0;
};

// Width and height, starting from the framework's default measurement.
// `captionFont` measures in the caption's font, `notesFont` in the notes font.
TTextSize MeasureMenuItem(const TItemMeasureInput& in, TTextSize initial, const TTextMeasure& captionFont,
                          const TTextMeasure& notesFont);

// Short-cut names.
std::wstring CapitalizeKeyName(const std::wstring& name);
// `frameworkText` is the framework's text of the short-cut ("Ctrl+S");
// `keyName` gives the keyboard layout's name of a key code.
std::wstring ShortCutDisplayText(uint16_t shortCut, bool international, const std::wstring& frameworkText,
                                 const std::function<std::wstring(int key)>& keyName);

}  // namespace kel::menus
