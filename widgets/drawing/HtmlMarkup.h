// The vocabulary of the mini-HTML markup that both renderers share: colour
// names and hexadecimal colours, character entities, line-break and "<#"
// preparation, attribute values, numbers and image sources. Platform-free.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "framework/core/colors.h"

namespace kel {

// A lower-case colour name ("clred", "clbtnface", ...) to its TColor; 0
// (black) for a name that is not known. System colours stay system colours.
fw::TColor HtmlColorByName(std::wstring_view lowerName);

// "#RRGGBB" to 0x00BBGGRR. A pair shorter than two characters reads 0; a
// character that is not a hexadecimal digit counts as 0, so a malformed
// colour never spills into the next channel.
fw::TColor HtmlHexColor(std::wstring_view text);

// An attribute's colour: "#RRGGBB" or a colour name in any case.
fw::TColor HtmlColor(std::wstring_view value);

// Replaces the first occurrence of `oldText` (ignoring ASCII case) by
// `newText`; true when something was replaced.
bool ReplaceFirstText(std::wstring_view oldText, std::wstring_view newText, std::wstring& text);

// The text without LF characters; each CR becomes "<BR>" when convertCR is
// set, else it is dropped.
std::wstring LineBreaksToBR(std::wstring_view text, bool convertCR);

// When the text holds "<#", drops the "<" of its first occurrence and the
// first ">" after it, so that "#..." shows as text.
std::wstring UnwrapFirstHashTag(std::wstring_view text);

// Decodes the character entities of a piece of text, once, left to right
// and ignoring case: "&amp;" "&quot;" "&lt;" "&gt;" "&nbsp;" "&sect;"
// "&permil;" "&reg;" "&copy;" "&para;" "&trade;" "&euro;". "&nbsp;" becomes
// U+00A0, which no line break uses; anything else stays as written.
std::wstring DecodeHtmlEntities(std::wstring_view text);

// ASCII letters upper-cased; every other character kept, so offsets into the
// copy are offsets into the original.
std::wstring AsciiUpper(std::wstring_view text);
bool IsAsciiLetter(wchar_t c);

// The run time's integer reading: leading blanks, a sign, decimal digits or
// "$"/"0x" hexadecimal; reading stops at the first other character and the
// digits so far give the value (0 when there are none; a value beyond the
// int range saturates). `complete`: the whole text was such a number.
int ReadRunTimeInteger(std::wstring_view text, bool& complete);
// Numbers of the markup's attributes, kept within +-kHtmlNumberLimit so
// that no layout sum can overflow.
constexpr int kHtmlNumberLimit = 32767;
int ReadHtmlNumber(std::wstring_view text);
// The same, but only a text that converts completely is a number.
bool TryReadHtmlNumber(std::wstring_view text, int& value);

// The value of attribute `name` in a tag's text: the text between the first
// two double quotes after the first occurrence of the name; "" when it is
// not quoted; nothing when the name does not occur. `original` (same length
// as `searched`) gives the characters of the value, so that a name can be
// found in an upper-cased copy and its value read with its case kept.
std::optional<std::wstring_view> HtmlAttribute(std::wstring_view searched, std::wstring_view name);
std::optional<std::wstring_view> HtmlAttribute(std::wstring_view searched, std::wstring_view original,
                                               std::wstring_view name);

// True when `text` begins a tag: "<" followed by an ASCII letter, "/" or
// "!", with a ">" somewhere after it. Any other "<" is shown as text.
bool StartsHtmlTag(std::wstring_view text);
// Position of the next tag start in `text`, or npos.
size_t FindHtmlTag(std::wstring_view text);

// Where a picture of the markup comes from.
enum class THtmlImageKind { None, ImageList, SmallIcon, LargeIcon, Store, Url };

struct THtmlImageRef {
    THtmlImageKind Kind = THtmlImageKind::None;
    int Index = 0;        // ImageList: the image number
    std::wstring Source;  // icons: number or path; Store: name; Url: the URL
};

// "IDX:n", "SSYS:...", "LSYS:..." (any case), a name without ":" (the
// picture store), a text with "://" (the picture cache); anything else,
// and an empty text, names no picture.
THtmlImageRef ClassifyHtmlImage(std::wstring_view source);

}  // namespace kel
