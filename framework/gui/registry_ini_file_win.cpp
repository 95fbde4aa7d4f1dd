// TRegistryIniFile over TRegistry.
#include "framework/gui/registry_ini_file.h"

#include "framework/gui/registry.h"

namespace fw {

std::wstring TRegistryIniFile::SectionPath(const std::wstring& section) const {
    if (section.empty()) return key_;
    return key_.empty() ? section : key_ + L"\\" + section;
}

std::wstring TRegistryIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                          const std::wstring& def) const {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(root_);
    if (!reg.OpenKeyReadOnly(SectionPath(section)) || !reg.ValueExists(ident)) return def;
    try {
        return reg.ReadString(ident);
    } catch (const ERegistryException&) {
        // A number where a string was expected reads as its decimal text.
        try {
            return std::to_wstring(reg.ReadInteger(ident));
        } catch (const ERegistryException&) {
            return def;
        }
    }
}

int TRegistryIniFile::ReadInteger(const std::wstring& section, const std::wstring& ident, int def) const {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(root_);
    if (!reg.OpenKeyReadOnly(SectionPath(section)) || !reg.ValueExists(ident)) return def;
    try {
        return reg.ReadInteger(ident);
    } catch (const ERegistryException&) {
        return TCustomIniFile::ReadInteger(section, ident, def);
    }
}

void TRegistryIniFile::WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) {
    TRegistry reg;
    reg.SetRootKey(root_);
    if (!reg.OpenKey(SectionPath(section), true)) throw ERegistryException(L"Failed to create key " + SectionPath(section));
    reg.WriteString(ident, value);
}

void TRegistryIniFile::WriteInteger(const std::wstring& section, const std::wstring& ident, int value) {
    TRegistry reg;
    reg.SetRootKey(root_);
    if (!reg.OpenKey(SectionPath(section), true)) throw ERegistryException(L"Failed to create key " + SectionPath(section));
    reg.WriteInteger(ident, value);
}

}  // namespace fw
