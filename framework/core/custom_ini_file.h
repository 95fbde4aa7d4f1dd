// TCustomIniFile: sections of named entries, whatever stores them (an INI
// file, the registry); code that only reads and writes entries takes this.
#pragma once

#include <cwchar>
#include <string>

namespace fw {

class TCustomIniFile {
public:
    virtual ~TCustomIniFile() = default;
    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                                    const std::wstring& def) const = 0;
    // Throws EInOutError (or the store's own error) when it cannot write.
    virtual void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) = 0;
    // A missing entry, or one that is not a decimal integer, reads as `def`.
    virtual int ReadInteger(const std::wstring& section, const std::wstring& ident, int def) const {
        const std::wstring s = ReadString(section, ident, L"");
        if (s.empty()) return def;
        wchar_t* end = nullptr;
        const long v = std::wcstol(s.c_str(), &end, 10);
        return end && *end == 0 ? static_cast<int>(v) : def;
    }
    virtual void WriteInteger(const std::wstring& section, const std::wstring& ident, int value) {
        WriteString(section, ident, std::to_wstring(value));
    }
};

}  // namespace fw
