// TRegistry: a key of the Windows registry under a root key: open or create
// a key (a path below the root, "\\" between the names), read and write
// strings and integers, test, delete values and keys, close.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/exceptions.h"

namespace fw {

class ERegistryException : public Exception { using Exception::Exception; };

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    // Closes the current key.
    void SetRootKey(HKEY root);
    HKEY CurrentKey() const { return current_; }
    const std::wstring& CurrentPath() const { return path_; }

    // Opens a key below the root (a path starting with "\\" too); with
    // `canCreate`, makes it and its missing parents. False when it cannot.
    bool OpenKey(const std::wstring& key, bool canCreate);
    bool OpenKeyReadOnly(const std::wstring& key);
    bool KeyExists(const std::wstring& key) const;
    // Deletes the key with everything below it; false when it cannot.
    bool DeleteKey(const std::wstring& key);
    void CloseKey();

    bool ValueExists(const std::wstring& name) const;
    bool DeleteValue(const std::wstring& name);
    // ERegistryException when there is no open key or the value is missing
    // or of another type.
    std::wstring ReadString(const std::wstring& name) const;
    int ReadInteger(const std::wstring& name) const;
    void WriteString(const std::wstring& name, const std::wstring& value);
    void WriteInteger(const std::wstring& name, int value);

private:
    HKEY Current() const;
    static std::wstring Relative(const std::wstring& key);

    HKEY root_ = HKEY_CURRENT_USER;
    HKEY current_ = nullptr;
    std::wstring path_;
    REGSAM access_;
};

}  // namespace fw
