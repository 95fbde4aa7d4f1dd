// The display's version text.
#include "Display/kynResourceManager.h"

#include <cassert>

#include "framework/core/string_list.h"

namespace kyn {

std::wstring FormatVersionText(const std::wstring& major, const std::wstring& minor, const std::wstring& build) {
    return L"Version " + major + L"." + minor + L"  Build " + build;
}

std::wstring FormatVersionText(const common::TFileVersion& version) {
    return FormatVersionText(std::to_wstring(version.Major), std::to_wstring(version.Minor),
                             std::to_wstring(version.Build));
}

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameAsciiText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// At or below the blank, but not the NUL that ends the text.
bool IsSpaceLike(wchar_t c) { return c >= 1 && c <= L' '; }

}  // namespace

std::wstring HostAddressText(const std::vector<uint8_t>& bytes) {
    std::wstring text;
    for (uint8_t b : bytes) text += std::to_wstring(b) + L".";
    if (!text.empty()) text.pop_back();
    return text;
}

std::wstring HostNameErrorText(int socketError) {
    switch (socketError) {
        case 10036:
            return L"WSAEInProgress";
        case 10050:
            return L"WSAENetDown";
        case 10093:
            return L"WSANotInitialised";
        default:
            return {};
    }
}

int IndexOfText(std::wstring_view text, std::span<const std::wstring_view> texts) {
    for (size_t i = 0; i < texts.size(); ++i)
        if (SameAsciiText(text, texts[i])) return static_cast<int>(i);
    return -1;
}

void SplitToList(wchar_t delimiter, std::wstring_view text, fw::TStringList* list) {
    assert(list && "SplitToList needs a list");
    list->Clear();
    if (const size_t nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
    size_t p = 0;
    const size_t n = text.size();
    auto at = [&](size_t i) { return i < n ? text[i] : L'\0'; };
    while (IsSpaceLike(at(p))) ++p;
    while (p < n) {
        std::wstring word;
        if (text[p] == L'"') {
            ++p;
            while (p < n) {
                if (text[p] == L'"') {
                    if (at(p + 1) != L'"') {
                        ++p;
                        break;
                    }
                    ++p;
                }
                word.push_back(text[p++]);
            }
        } else {
            const size_t start = p;
            while (at(p) > L' ' && at(p) != delimiter) ++p;
            word.assign(text.substr(start, p - start));
        }
        list->Add(std::move(word));
        while (IsSpaceLike(at(p))) ++p;
        if (p < n && at(p) == delimiter) {
            // A delimiter that ends the text still ends an (empty) word.
            if (p + 1 == n) list->Add(L"");
            do ++p;
            while (IsSpaceLike(at(p)));
        }
    }
}

}  // namespace kyn
