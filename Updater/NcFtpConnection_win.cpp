// TNcFtpConnection.
#include "Updater/NcFtpConnection.h"

#include <vector>

#include "Updater/NcFtpPaths.h"

namespace oru {

namespace {

// A line break in a name would smuggle a command of its own onto the control
// connection: such names are refused before any command is sent.
bool PlainName(const std::wstring& name) {
    if (name.find_first_of(std::wstring_view(L"\r\n\0", 3)) == std::wstring::npos) return true;
    SetLastError(ERROR_INVALID_NAME);
    return false;
}

}  // namespace

std::unique_ptr<TNcFtpConnection> TNcFtpConnection::Open(HINTERNET session, const TNcFtpLogin& login, bool passive,
                                                         DWORD timeoutMs) {
    if (!session || login.Host.empty()) return nullptr;
    const bool named = !login.User.empty();
    NcInetHandle h(InternetConnectW(session, login.Host.c_str(), static_cast<INTERNET_PORT>(login.Port),
                                    named ? login.User.c_str() : nullptr, named ? login.Password.c_str() : nullptr,
                                    INTERNET_SERVICE_FTP, passive ? INTERNET_FLAG_PASSIVE : 0, 0));
    if (!h) return nullptr;
    NcSetTimeouts(h.Get(), timeoutMs);
    return std::unique_ptr<TNcFtpConnection>(new TNcFtpConnection(std::move(h), login));
}

std::wstring TNcFtpConnection::CurrentDirectory() {
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD len = MAX_PATH;
    if (!FtpGetCurrentDirectoryW(Handle(), buf, &len)) return std::wstring();
    return std::wstring(buf);
}

bool TNcFtpConnection::SetDirectory(const std::wstring& folder) {
    return PlainName(folder) && FtpSetCurrentDirectoryW(Handle(), folder.c_str()) != FALSE;
}

bool TNcFtpConnection::EnterOrMakeDirectory(const std::wstring& folder) {
    if (folder.empty() || SetDirectory(folder)) return true;
    if (!PlainName(folder)) return false;
    for (const std::wstring& part : FtpFolderParts(folder)) {
        if (SetDirectory(part)) continue;
        if (!FtpCreateDirectoryW(Handle(), part.c_str()) || !SetDirectory(part)) return false;
    }
    return true;
}

bool TNcFtpConnection::List(const std::wstring& pattern, std::vector<WIN32_FIND_DATAW>& entries,
                            const std::function<void(const WIN32_FIND_DATAW&)>& onEntry) {
    if (!PlainName(pattern)) return false;
    WIN32_FIND_DATAW data{};
    SetLastError(0);
    NcInetHandle find(FtpFindFirstFileW(Handle(), pattern.empty() ? nullptr : pattern.c_str(), &data,
                                        INTERNET_FLAG_RELOAD, 0));
    if (!find) {
        // Nothing matched: Windows says so with ERROR_NO_MORE_FILES, Wine
        // with no error code at all.
        DWORD e = GetLastError();
        return e == ERROR_NO_MORE_FILES || e == 0;
    }
    const size_t first = entries.size();
    do {
        entries.push_back(data);
        if (onEntry) onEntry(data);
    } while (InternetFindNextFileW(find.Get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) return false;
    find.Reset();
    // Wine's listings cap sizes at 2^31 - 1; the server's SIZE tells the rest.
    for (size_t i = first; i < entries.size(); ++i) {
        WIN32_FIND_DATAW& e = entries[i];
        if ((e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || e.nFileSizeHigh != 0 || e.nFileSizeLow != 0x7FFFFFFF) {
            continue;
        }
        if (std::optional<uint64_t> size = Size(e.cFileName)) {
            e.nFileSizeHigh = static_cast<DWORD>(*size >> 32);
            e.nFileSizeLow = static_cast<DWORD>(*size);
        }
    }
    return true;
}

std::optional<WIN32_FIND_DATAW> TNcFtpConnection::Find(const std::wstring& name) {
    std::vector<WIN32_FIND_DATAW> entries;
    if (name.empty() || !List(name, entries)) return std::nullopt;
    for (const WIN32_FIND_DATAW& e : entries) {
        if (name == e.cFileName) return e;
    }
    return std::nullopt;
}

std::optional<uint64_t> TNcFtpConnection::Size(const std::wstring& name) {
    // Some servers answer SIZE only in binary mode. WinINet's own size query
    // cannot serve: Wine answers 0 for every file, and its listings give no
    // size past 2 GiB.
    if (name.empty() || !PlainName(name)) return std::nullopt;
    HINTERNET none = nullptr;
    if (!FtpCommandW(Handle(), FALSE, FTP_TRANSFER_TYPE_BINARY, L"TYPE I", 0, &none)) return std::nullopt;
    std::wstring command = L"SIZE " + name;
    if (!FtpCommandW(Handle(), FALSE, FTP_TRANSFER_TYPE_BINARY, command.c_str(), 0, &none)) return std::nullopt;
    return ParseFtpSizeReply(NcLastServerReply());
}

NcInetHandle TNcFtpConnection::OpenFile(const std::wstring& name, bool write) {
    if (!PlainName(name)) return NcInetHandle();
    return NcInetHandle(FtpOpenFileW(Handle(), name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                     FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
}

bool TNcFtpConnection::Delete(const std::wstring& name) { return PlainName(name) && FtpDeleteFileW(Handle(), name.c_str()) != FALSE; }

bool TNcFtpConnection::Rename(const std::wstring& from, const std::wstring& to) {
    if (!PlainName(from) || !PlainName(to)) return false;
    if (FtpRenameFileW(Handle(), from.c_str(), to.c_str())) return true;
    if (!Find(to)) return false;
    return Delete(to) && FtpRenameFileW(Handle(), from.c_str(), to.c_str());
}

}  // namespace oru
