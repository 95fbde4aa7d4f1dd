// The typed edit's text rules: value and window text, number reading and
// writing with the locale's separators, classification of number texts,
// hexadecimal, mixed case, URLs, and the measures the key filter asks for.
// Platform-free: the separators and the case mapping come in as arguments.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "widgets/editors/KelEditTypes.h"

namespace kel {

// The value shown between Prefix and Suffix: less the Prefix when the text
// begins with it, less the last Length(Suffix) characters when the rest is
// at least that long (they are not compared with the Suffix).
std::wstring ValueOfWindowText(const std::wstring& windowText, const std::wstring& prefix, const std::wstring& suffix);

// Thousand separators removed, then read as a floating-point number with the
// locale's decimal separator (blanks around it allowed, an exponent too);
// a text that does not read as a finite number gives 0.
double TextToNumber(const std::wstring& text, const TNumberSeparators& seps);
// "1234.5" style: "." as the decimal point, no separators; false when the
// text is not entirely such a number.
bool ReadDecimalNumber(const std::wstring& text, double& value);

// ClassifyNumberText answers.
constexpr int kNumberInteger = 0;    // "-" and digits
constexpr int kNumberSeparated = 1;  // digits with "," "." "-" in plausible places
constexpr int kNumberOther = 2;
constexpr int kNumberHex = 5;        // hexadecimal digits and "-", not an integer
int ClassifyNumberText(const std::wstring& text, const TNumberSeparators& seps);

// Sum of digit x 16^k from the right in 32-bit arithmetic; characters that
// are not hexadecimal digits count 0.
int32_t HexToInt(const std::wstring& text);
// Upper-case hexadecimal without leading zeros (two's complement for negatives).
std::wstring HexText(uint64_t value);

// "%g": the shortest general form, 15 significant digits, fixed for
// exponents from -5 to 14, else like "1.5E20".
std::wstring FormatGeneral(double value, const TNumberSeparators& seps);
// "%.<decimals>f" (decimals clamped to 0..18).
std::wstring FormatFixed(double value, int decimals, const TNumberSeparators& seps);
// "%.<decimals>n": fixed, with the thousand separator between groups of three
// integer digits.
std::wstring FormatGrouped(double value, int decimals, const TNumberSeparators& seps);

// Word delimiters of the mixed-case rule.
bool IsWordDelimiter(wchar_t c);
// Capitalises words ("mcdonald" -> "McDonald", "henry iii" -> "Henry III");
// `upper` and `lower` map one character in the locale.
std::wstring ToMixedCase(const std::wstring& text, const std::function<wchar_t(wchar_t)>& upper,
                         const std::function<wchar_t(wchar_t)>& lower);

// Holds "://", or "@" at its second character or later, or begins with
// "www." (any case).
bool IsURL(const std::wstring& value);

// What URL mode hands to the shell's "open" for a value: only http, https,
// ftp and mailto addresses ("www." names become http, "a@b" addresses
// mailto); nothing for anything else (a program, a file, another scheme).
std::optional<std::wstring> ShellOpenableURL(const std::wstring& value);

// The window-text range SelectValue selects: the value, or with `showURL`
// the part behind the first "://" and then behind the first "mailto:".
struct TTextRange {
    int Start = 0;
    int Length = 0;
};
TTextRange ValueSelection(const std::wstring& prefix, const std::wstring& value, bool showURL);

// Characters in front of the first decimal separator, thousand separators
// not counted, less one for a "-" when `signedNumber`.
int IntegerLength(const std::wstring& text, const TNumberSeparators& seps, bool signedNumber);
// `caret` counts in the value (window position less the Prefix). True when
// the decimals are full and the caret stands among them.
bool DecimalsExceeded(const std::wstring& text, int caret, int precision, wchar_t decimalSeparator);
// Whether a thousand separator typed at `caret` (value position) would stand
// less than three digits from another one.
bool ThousandSeparatorMisplaced(const std::wstring& text, int caret, wchar_t thousandSeparator);
bool IsRangeSeparator(wchar_t c);

// The value after pasting `clip` at the selection (value positions): the
// selection replaced, or `clip` inserted at the caret; then the caret stands
// behind `clip`, or `clip` is selected.
struct TMergedPaste {
    std::wstring Value;
    int SelStart = 0;
    int SelLength = 0;
};
TMergedPaste MergePaste(const std::wstring& value, int selStart, int selLength, const std::wstring& clip);

// The etMoney reading: thousand separators removed and a decimal separator
// that ends the text dropped.
std::wstring MoneyNumberText(const std::wstring& text, const TNumberSeparators& seps);

// Whether `text` is a number as typing builds one: an optional leading "-"
// (only with `allowSign`), digits with thousand separators three digits
// apart, at most one decimal separator (none with `decimals` 0) followed by
// at most `decimals` digits (any number when `decimals` is below 0).
bool IsWellFormedNumber(const std::wstring& text, const TNumberSeparators& seps, bool allowSign, int decimals);

}  // namespace kel
