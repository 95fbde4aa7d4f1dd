// What the typed edit takes from the user's locale: the decimal and thousand
// separators and the case mapping of characters.
#pragma once

#include <string>

#include "widgets/editors/KelEditTypes.h"

namespace kel {

// The user's separators, read once and kept.
const TNumberSeparators& LocaleSeparators();

wchar_t LocaleUpper(wchar_t c);
wchar_t LocaleLower(wchar_t c);
std::wstring LocaleUpperText(std::wstring text);
std::wstring LocaleLowerText(std::wstring text);

}  // namespace kel
