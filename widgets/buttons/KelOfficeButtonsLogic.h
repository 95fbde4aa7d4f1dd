// The office check box's and radio button's rules, free of the platform:
// state changes, glyph choice and placement, caption and focus rectangles,
// which links go to the shell, the version tests of the themed glyph and the
// pixels of the "KELMOF" glyph bitmaps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "widgets/drawing/KelGDIPColors.h"

namespace kel {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight { taLeftJustify, taRightJustify };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBiDiMode { bdLeftToRight, bdRightToLeft };

namespace office {

// The state after a toggle: read-only keeps it; with grayed allowed
// unchecked, grayed, checked, unchecked; without, checked <-> not checked
// (a grayed box becomes checked).
TCheckBoxState ToggledState(TCheckBoxState state, bool allowGrayed, bool readOnly);

// The visual-styles state of the "button" class's check box and radio
// parts. Disabled wins, then down, then hot.
int ThemeState(TCheckBoxState value, bool enabled, bool down, bool hot);
constexpr int kThemePartRadio = 2;     // BP_RADIOBUTTON
constexpr int kThemePartCheckBox = 3;  // BP_CHECKBOX

// "KELMOFCU" ... "KELMOFRCD": down before hot before normal.
std::wstring GlyphResourceName(bool radio, TCheckBoxState value, bool down, bool hot);

// True for a GetVersion value of Windows XP (5.1) or later.
bool IsWinXPOrLater(uint32_t getVersionResult);
// The major version in a fixed file version's dwFileVersionMS; 0 when the
// version could not be read (-1).
int MajorFileVersion(int64_t fileVersionMS);

// True when the caption marks `ch` (either case) as its accelerator with
// "&"; "&&" is a literal ampersand.
bool IsAccelerator(wchar_t ch, const std::wstring& caption);

// A link that the shell opens: http, https and mailto only.
bool OpensInShell(const std::wstring& href);

// Where the glyph goes in the client area.
struct TGlyphPlace {
    bool Radio = false;
    bool Themed = false;        // 16 x 16 visual-styles glyph
    TTextLayout VertAlign = tlTop;
    bool AtRight = false;       // taRightJustify or right-to-left
    int ClientWidth = 0;
    int ClientHeight = 0;
    int TextHeightGh = 0;       // canvas text height of "gh"
    int BitmapWidth = 13;
    int BitmapHeight = 13;
};
TIntRect GlyphRect(const TGlyphPlace& p);

// The strip of the client area the glyph lies in (what a state change
// repaints): 20 pixels wide on the glyph's side.
TIntRect GlyphStrip(int clientWidth, int clientHeight, bool atRight);

// The caption's layout box before measuring: the client area less the
// glyph's room (16 for the check box, 18 for the radio) and 4 at the top.
TIntRect CaptionBox(bool radio, int clientWidth, int clientHeight, bool atRight);

// Where the measured caption ends up: flush right (3 pixels in) in
// right-to-left mode; the radio's caption follows the glyph's vertical
// alignment (measuredHeight from a measuring pass).
TIntRect PlaceCaption(bool radio, TIntRect box, int textWidth, bool rightToLeft, TTextLayout vertAlign,
                      int measuredHeight);

// The dotted focus outline around the caption.
TIntRect FocusOutline(bool radio, const TIntRect& caption, int textWidth, int textHeight, int clientHeight);

// A 24-bit glyph bitmap, 0x00RRGGBB row by row, top row first; the pixel at
// the bottom-left corner is its transparent colour.
struct TGlyphImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
    uint32_t TransparentColor() const { return At(0, Height - 1); }
};
// The built-in "KELMOF..." glyphs; none for any other name.
std::optional<TGlyphImage> OfficeGlyphResource(const std::wstring& name);

}  // namespace office
}  // namespace kel
