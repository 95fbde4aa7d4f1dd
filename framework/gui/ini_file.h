// TIniFile: sections of name=value pairs in a Windows INI file, through the
// system's profile functions.
#pragma once

#include <string>

#include "framework/core/string_list.h"

namespace fw {

class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : file_name_(std::move(fileName)) {}
    const std::wstring& FileName() const { return file_name_; }

    std::wstring ReadString(const std::wstring& section, const std::wstring& ident, const std::wstring& def) const;
    int ReadInteger(const std::wstring& section, const std::wstring& ident, int def) const;
    bool ReadBool(const std::wstring& section, const std::wstring& ident, bool def) const;
    // Throw EInOutError when the file cannot be written.
    void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& ident, int value);
    void WriteBool(const std::wstring& section, const std::wstring& ident, bool value);
    void ReadSection(const std::wstring& section, TStringList& names) const;
    bool SectionExists(const std::wstring& section) const;
    bool ValueExists(const std::wstring& section, const std::wstring& ident) const;
    void EraseSection(const std::wstring& section);
    void DeleteKey(const std::wstring& section, const std::wstring& ident);

private:
    std::wstring file_name_;
};

}  // namespace fw
