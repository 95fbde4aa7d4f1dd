// Platform-free helpers of the crash-report library: text splitting and
// replacing, HTML escaping, UTF-8, number and date texts, version comparison,
// path strings and the %NAME% expansion engine. All text is 8-bit (the
// system's default code page); paths use "\" as on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/paths.h"

namespace drevnik {

// ---- Text ----------------------------------------------------------------

// Removes characters up to and including the blank (every control character)
// from both ends.
std::string Trim(std::string_view text);
std::string UpperCase(std::string_view text);  // ASCII letters only
std::string LowerCase(std::string_view text);  // ASCII letters only
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive

// Splits `text` at every character of `separators`. Unless `raw`, the text
// and every piece are trimmed and the separators dropped; in raw mode every
// piece keeps its separator at its end. Empty pieces are added only with
// `keepEmpty`; an empty final piece never is.
void SplitText(std::string_view text, std::vector<std::string>& list, std::string_view separators,
               bool raw, bool keepEmpty);

// Skips leading separators, then adds every trimmed piece between separators
// (also empty ones) and the trimmed last piece when it is not empty.
void SplitTrimmedText(std::string_view separators, std::string_view text, std::vector<std::string>& list);

// 1-based position of `sub` at or after `start`; 0 when none (also for an
// empty `sub` or a start outside the text).
std::size_t PosFrom(std::string_view sub, std::string_view text, std::size_t start);

// Every occurrence of `search` (never empty) replaced, left to right; the
// replaced text is not searched again.
std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement);

// Every run of characters below 32 becomes one blank.
std::string CollapseControlChars(std::string_view text);

std::string PadTextRight(std::string_view text, std::size_t width);

inline std::string IfThenString(bool flag, std::string_view whenSet, std::string_view otherwise) {
    return std::string(flag ? whenSet : otherwise);
}
inline std::string IfThenText(bool flag, std::string_view whenSet) {
    return flag ? std::string(whenSet) : std::string();
}

// & " ' < > become entities, two blanks "&nbsp;&nbsp;", CR LF "<br>" CR LF.
std::string HtmlEscape(std::string_view text);

// std::string carries no code page, so stamping is a no-op; the two names stay
// so that code which produces report text says what it means.
inline std::string SetDefaultCodePage(std::string text) { return text; }
inline void SetDefaultCodePageInPlace(std::string&) {}

// UTF-16 to UTF-8. Surrogate pairs become one 4-byte sequence; a lone
// surrogate becomes U+FFFD. With a buffer, writes as many whole characters as
// fit before a terminating NUL and returns the bytes written plus one; without
// a buffer (nullptr), returns the bytes needed plus one.
std::size_t Utf16ToUtf8Buffer(std::u16string_view source, char* buffer, std::size_t bufferSize);
std::string Utf16ToUtf8(std::u16string_view source);

// ---- Numbers, dates and times ----------------------------------------------

// Shortest text that reads back to the same double, with "." as the decimal
// separator whatever the locale.
std::string FloatToStrDot(double value);
// Reads such a text back (leading and trailing blanks allowed); raises
// fw::EConvertError for anything else.
double StrToFloatDot(std::string_view text);

// `unit`, with "s" appended when `amount` truncated to a whole number is above 1.
std::string PluralUnit(std::string_view unit, double amount);

// "1 day, 12 hours, 0 second" for a duration in days. The duration is rounded
// to whole milliseconds before it is split, so 90 seconds read "1 minute,
// 30 seconds" and not 29; a negative duration counts as 0.
std::string FormatTimeSpan(double days);

// Date-times are days since 30 December 1899 (a double); the fraction is the
// time of day.
struct TDateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int DayOfWeek = 6;  // 0 Sunday .. 6 Saturday
};
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int millisecond = 0);
TDateTimeParts DecodeDateTime(double dateTime);  // rounded to the millisecond

// "+0100", "-0500", "+0530": sign, two hour digits, two minute digits.
std::string FormatUtcOffset(int offsetMinutes);

// "Tue, 4 Mar 2025 09:05:07 -0500": English day and month names, the zone
// given as local time minus UTC in minutes.
std::string FormatRfc822Date(double localDateTime, int utcOffsetMinutes);

// ---- Versions ----------------------------------------------------------------

std::string PadVersionPart(std::string_view part);  // left-padded with "0" to 5
// "1.2" -> "00001.00002.00000.00000"; a blank in the last part keeps the rest
// of that part ("1.2 beta" -> "00001.00002 beta.00000.00000"); "" stays "".
std::string NormalizeVersion(std::string_view version);
// True when the normalized candidate sorts after the normalized base.
bool IsNewerVersion(std::string_view base, std::string_view candidate);

// ---- Path strings ("\" separated) ---------------------------------------------

// The framework's file-name helpers.
inline std::string AddTrailingBackslash(std::string_view path) { return fw::IncludeTrailingBackslash(path); }
inline std::string RemoveTrailingBackslash(std::string_view path) { return fw::ExcludeTrailingBackslash(path); }
using fw::ChangeFileExt;
using fw::ExtractFileExt;
using fw::ExtractFileName;
using fw::ExtractFilePath;
std::string RemoveVsHostSuffix(std::string_view fileName);  // every ".vshost" removed

// True when the program's file name says the process is the development
// environment ("BDS.EXE", any case).
bool IsIdeProgramFileName(std::string_view programFileName);

// The two marks that open a block of the library's own data.
constexpr bool IsLibraryDataMagic(uint32_t value) { return value == 0x100FAB10u || value == 0x000FAB10u; }

// ---- %NAME% variables ------------------------------------------------------------

// Characters allowed in a variable name: 0-9, A-Z, _, a-z.
bool IsVariableNameChar(char c);

// Replaces every %NAME% by resolve(NAME); a value is not expanded again. A lone
// "%", or one followed by a character outside the name set, stays; "%%" (an
// empty name) is replaced by resolve("").
std::string ExpandVariablesWith(std::string_view text, const std::function<std::string(std::string_view)>& resolve);

}  // namespace drevnik
