// One logged-in FTP connection of the transfers, over WinINet: folders,
// listings, sizes, files to read or write, deletes and renames.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Updater/NcWinInet.h"
#include "Updater/NetCopyItems.h"

namespace oru {

class TNcFtpConnection {
public:
    // Nothing when the server cannot be reached or refuses the login. The
    // credentials go to WinINet only, never into a URL or a text.
    static std::unique_ptr<TNcFtpConnection> Open(HINTERNET session, const TNcFtpLogin& login, bool passive,
                                                  DWORD timeoutMs);

    const TNcFtpLogin& Login() const { return login_; }
    HINTERNET Handle() const { return handle_.Get(); }

    // The current remote folder; empty when the server does not say.
    std::wstring CurrentDirectory();
    bool SetDirectory(const std::wstring& folder);
    // Enters the folder; when that fails, walks it part by part, making the
    // parts that are missing.
    bool EnterOrMakeDirectory(const std::wstring& folder);

    // The entries matching a name or pattern (all of them for an empty one),
    // read afresh from the server; `onEntry` sees each as it comes. False
    // when the listing failed; finding nothing is no failure.
    bool List(const std::wstring& pattern, std::vector<WIN32_FIND_DATAW>& entries,
              const std::function<void(const WIN32_FIND_DATAW&)>& onEntry = nullptr);
    // The entry of that exact name, when the listing has one.
    std::optional<WIN32_FIND_DATAW> Find(const std::wstring& name);
    // The size the server gives for SIZE; nothing when it gives none.
    std::optional<uint64_t> Size(const std::wstring& name);

    // A remote file for binary reading or writing; an empty handle when the
    // server refuses.
    NcInetHandle OpenFile(const std::wstring& name, bool write);
    bool Delete(const std::wstring& name);
    // Moves `from` onto `to`, replacing an existing `to` (some servers only
    // rename onto a free name: the old one is deleted first then).
    bool Rename(const std::wstring& from, const std::wstring& to);

private:
    TNcFtpConnection(NcInetHandle handle, TNcFtpLogin login) : handle_(std::move(handle)), login_(std::move(login)) {}
    NcInetHandle handle_;
    TNcFtpLogin login_;
};

}  // namespace oru
