// TRegistryIniFile: INI-style access to a registry key: each section is a
// sub-key of the key, each entry a named value in it. Integers are stored
// as registry numbers; strings that hold a number read as one too.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/custom_ini_file.h"

namespace fw {

class TRegistryIniFile : public TCustomIniFile {
public:
    // `key` is a path below `root` ("Software\\Maker\\Program").
    explicit TRegistryIniFile(std::wstring key, HKEY root = HKEY_CURRENT_USER)
        : key_(std::move(key)), root_(root) {}
    const std::wstring& FileName() const { return key_; }

    std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                            const std::wstring& def) const override;
    int ReadInteger(const std::wstring& section, const std::wstring& ident, int def) const override;
    // ERegistryException when the key cannot be made or written.
    void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) override;
    void WriteInteger(const std::wstring& section, const std::wstring& ident, int value) override;

private:
    std::wstring SectionPath(const std::wstring& section) const;
    std::wstring key_;
    HKEY root_;
};

}  // namespace fw
