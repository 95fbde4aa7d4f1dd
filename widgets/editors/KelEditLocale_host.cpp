// Host stand-in: English separators; ASCII and Latin-1 letters change case.
#include "widgets/editors/KelEditLocale.h"

namespace kel {

const TNumberSeparators& LocaleSeparators() {
    static const TNumberSeparators seps{L'.', L','};
    return seps;
}

wchar_t LocaleUpper(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<wchar_t>(c - 32);
    return c;
}

wchar_t LocaleLower(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<wchar_t>(c + 32);
    return c;
}

std::wstring LocaleUpperText(std::wstring text) {
    for (wchar_t& c : text) c = LocaleUpper(c);
    return text;
}

std::wstring LocaleLowerText(std::wstring text) {
    for (wchar_t& c : text) c = LocaleLower(c);
    return text;
}

}  // namespace kel
