// The framework's text-to-integer conversion: leading blanks, then an
// optional sign and decimal digits, or hexadecimal digits after "$", "x" or
// "0x". Anything else, or a value outside the 32-bit int, is an
// EConvertError "'text' is not a valid integer value".
#pragma once

#include <optional>
#include <string>

namespace fw {

// The value, or nothing when the text is no integer.
std::optional<int> TryStrToInt(const std::wstring& text);
int StrToInt(const std::wstring& text);

}  // namespace fw
