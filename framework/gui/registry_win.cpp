// TRegistry over the advapi32 registry functions.
#include "framework/gui/registry.h"

#include <vector>

namespace fw {

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

std::wstring TRegistry::Relative(const std::wstring& key) {
    size_t start = 0;
    while (start < key.size() && key[start] == L'\\') ++start;
    return key.substr(start);
}

bool TRegistry::OpenKey(const std::wstring& key, bool canCreate) {
    const std::wstring path = Relative(key);
    HKEY opened = nullptr;
    LONG rc = canCreate ? RegCreateKeyExW(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                                          &opened, nullptr)
                        : RegOpenKeyExW(root_, path.c_str(), 0, access_, &opened);
    if (rc != ERROR_SUCCESS) return false;
    CloseKey();
    current_ = opened;
    path_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& key) {
    const REGSAM saved = access_;
    access_ = KEY_READ;
    const bool ok = OpenKey(key, false);
    access_ = saved;
    return ok;
}

bool TRegistry::KeyExists(const std::wstring& key) const {
    HKEY probe = nullptr;
    if (RegOpenKeyExW(root_, Relative(key).c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS) return false;
    RegCloseKey(probe);
    return true;
}

bool TRegistry::DeleteKey(const std::wstring& key) {
    const std::wstring path = Relative(key);
    if (path.empty()) return false;
    // RegDeleteTreeW takes the key itself with its subkeys.
    return RegDeleteTreeW(root_, path.c_str()) == ERROR_SUCCESS;
}

void TRegistry::CloseKey() {
    if (current_) RegCloseKey(current_);
    current_ = nullptr;
    path_.clear();
}

HKEY TRegistry::Current() const {
    if (!current_) throw ERegistryException(L"No registry key is open");
    return current_;
}

bool TRegistry::ValueExists(const std::wstring& name) const {
    return current_ && RegQueryValueExW(current_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::wstring& name) {
    return RegDeleteValueW(Current(), name.c_str()) == ERROR_SUCCESS;
}

std::wstring TRegistry::ReadString(const std::wstring& name) const {
    DWORD type = 0, size = 0;
    HKEY key = Current();
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    }
    // Room for a terminator the stored value may lack.
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes) != ERROR_SUCCESS) {
        throw ERegistryException(L"Failed to get data for '" + name + L"'");
    }
    std::wstring text(buf.data(), bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

int TRegistry::ReadInteger(const std::wstring& name) const {
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(Current(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    }
    return static_cast<int>(value);
}

void TRegistry::WriteString(const std::wstring& name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(Current(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) !=
        ERROR_SUCCESS) {
        throw ERegistryException(L"Failed to set data for '" + name + L"'");
    }
}

void TRegistry::WriteInteger(const std::wstring& name, int value) {
    const DWORD v = static_cast<DWORD>(value);
    if (RegSetValueExW(Current(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) !=
        ERROR_SUCCESS) {
        throw ERegistryException(L"Failed to set data for '" + name + L"'");
    }
}

}  // namespace fw
