// Conversion between the programs' UTF-16 strings and 8-bit ANSI text
// (Windows-1252), the form of the settings file and the crash library's text.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// Characters with no Windows-1252 form become '?'.
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);

}  // namespace fw
