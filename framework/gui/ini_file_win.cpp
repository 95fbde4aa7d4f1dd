// TIniFile over GetPrivateProfileStringW / WritePrivateProfileStringW.
#include "framework/gui/ini_file.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "framework/core/exceptions.h"

namespace fw {

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& ident, const std::wstring& def) const {
    std::vector<wchar_t> buf(2048);
    for (;;) {
        DWORD n = GetPrivateProfileStringW(section.c_str(), ident.c_str(), def.c_str(), buf.data(),
                                           static_cast<DWORD>(buf.size()), file_name_.c_str());
        if (n + 1 < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& ident, int def) const {
    std::wstring s = ReadString(section, ident, L"");
    if (s.empty()) return def;
    wchar_t* end = nullptr;
    long v = (s.size() > 2 && s[0] == L'$') ? std::wcstol(s.c_str() + 1, &end, 16)
             : (s.size() > 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X')) ? std::wcstol(s.c_str() + 2, &end, 16)
                                                                                : std::wcstol(s.c_str(), &end, 10);
    return (end && *end == 0) ? static_cast<int>(v) : def;
}

bool TIniFile::ReadBool(const std::wstring& section, const std::wstring& ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) {
    if (!WritePrivateProfileStringW(section.c_str(), ident.c_str(), value.c_str(), file_name_.c_str())) {
        throw EInOutError(L"Unable to write to " + file_name_);
    }
}

void TIniFile::WriteInteger(const std::wstring& section, const std::wstring& ident, int value) {
    WriteString(section, ident, std::to_wstring(value));
}

void TIniFile::WriteBool(const std::wstring& section, const std::wstring& ident, bool value) {
    WriteString(section, ident, value ? L"1" : L"0");
}

void TIniFile::ReadSection(const std::wstring& section, TStringList& names) const {
    names.Clear();
    std::vector<wchar_t> buf(16384);
    DWORD n = GetPrivateProfileStringW(section.c_str(), nullptr, L"", buf.data(), static_cast<DWORD>(buf.size()),
                                       file_name_.c_str());
    for (DWORD i = 0; i < n;) {
        std::wstring name(buf.data() + i);
        if (name.empty()) break;
        i += static_cast<DWORD>(name.size()) + 1;
        names.Add(name);
    }
}

bool TIniFile::SectionExists(const std::wstring& section) const {
    TStringList names;
    ReadSection(section, names);
    return names.Count() > 0;
}

bool TIniFile::ValueExists(const std::wstring& section, const std::wstring& ident) const {
    TStringList names;
    ReadSection(section, names);
    return names.IndexOf(ident) >= 0;
}

void TIniFile::EraseSection(const std::wstring& section) {
    if (!WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file_name_.c_str())) {
        throw EInOutError(L"Unable to write to " + file_name_);
    }
}

void TIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
    WritePrivateProfileStringW(section.c_str(), ident.c_str(), nullptr, file_name_.c_str());
}

}  // namespace fw
