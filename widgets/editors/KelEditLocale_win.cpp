// The locale's separators and case mapping through the user's settings.
#include "widgets/editors/KelEditLocale.h"

#include <windows.h>

namespace kel {
namespace {

wchar_t LocaleChar(LCTYPE type, wchar_t fallback) {
    wchar_t buf[8] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 8) > 1 ? buf[0] : fallback;
}

}  // namespace

const TNumberSeparators& LocaleSeparators() {
    static const TNumberSeparators seps{LocaleChar(LOCALE_SDECIMAL, L'.'), LocaleChar(LOCALE_STHOUSAND, L',')};
    return seps;
}

wchar_t LocaleUpper(wchar_t c) {
    CharUpperBuffW(&c, 1);
    return c;
}

wchar_t LocaleLower(wchar_t c) {
    CharLowerBuffW(&c, 1);
    return c;
}

std::wstring LocaleUpperText(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring LocaleLowerText(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace kel
