// The text form of the general settings file "gsf": 8-bit ANSI text, one
// line per setting, lines ending in CR LF. Both programs read it; only the
// display program writes it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/GeneralSettings.h"
#include "common/SettingsFields.h"

namespace common {

// The message of the bad-number failure (run-time I/O error 106).
inline constexpr const wchar_t* kInvalidNumericInput = L"Invalid numeric input";

// Reads values from the text of a settings file, the way a text file is read
// value by value: a number skips blanks, tabs and line ends before it and
// runs up to the next blank, tab, control character or line end; at the end
// of the file it reads as 0. Numbers are plain decimal in any locale; a token
// that is not one (hex, "nan", "inf", out of range) raises fw::EInOutError
// with kInvalidNumericInput.
class TSettingsReader {
public:
    explicit TSettingsReader(std::string_view text) : text_(text) {}

    int ReadInt();
    double ReadReal();
    // The rest of the current line, as it stands, without its line end.
    std::string ReadLineText();
    // Skips the rest of the current line and its line end (LF, CR LF or a
    // lone CR).
    void NextLine();
    bool AtEnd() const { return pos_ >= text_.size(); }

private:
    // The next token, or an empty view at the end of the file.
    std::string_view NextToken();

    std::string_view text_;
    size_t pos_ = 0;
};

// Parses one token; false when it is not a number of that kind.
bool ParseSettingsInt(std::string_view token, int& value);
bool ParseSettingsReal(std::string_view token, double& value);

// An int as its decimal digits; a real in the 23-character scientific field
// (sign or blank, d.dddddddddddddd, "E", exponent sign, four digits), rounded
// to 15 significant digits. Non-finite reals are written as zero, and the
// largest doubles as 1.79769313486231E+0308, so that the file always reads
// back.
std::string FormatSettingsInt(int value);
std::string FormatSettingsReal(double value);

// Reads the first `lines` lines (all 20 by default) into settings, value by
// value along the field table, so that the values read before a bad number
// stay in place. The file's values are taken as they stand (no clamps). A
// UTF-8 byte-order mark that an editor put before line 1 is skipped.
void ReadGeneralSettings(std::string_view text, TGeneralSettings& settings, int lines = kSettingsLineCount);

// The whole file. Line breaks inside ServerIP are dropped so that it stays one
// line and cannot shift the lines after it.
std::string WriteGeneralSettings(const TGeneralSettings& settings);

}  // namespace common
