// TNetCopy's file copy: a local or network (UNC) file copied in blocks, with
// an optional log-on to a network share.
#include "Updater/NetCopy.h"

#include <winnetwk.h>

#include <optional>

#include "Updater/NcFilePieces.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/paths.h"

namespace oru {
namespace {

constexpr TNcLoopSettings kCopyLoop{32768, false, 256 * 1024};

// "file://C:\a" and "file:///C:/a" name C:\a.
std::wstring WithoutFileScheme(std::wstring path) {
    if (!StartsWithNoCase(path, L"file://")) return path;
    path.erase(0, 7);
    if (path.size() >= 3 && path[0] == L'/' && path[2] == L':') path.erase(0, 1);
    return path;
}

// Whether two names lead to one file (another case, a folder detour, a
// share of a local folder): copying it onto itself would destroy it.
bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = GetFileInformationByHandle(h, &info) != FALSE;
        CloseHandle(h);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    return identity(a, x) && identity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

std::optional<TDateTime> LocalWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local)) {
        return std::nullopt;
    }
    return NetCopyFileTimeToDateTime(local);
}

}  // namespace

bool TNetCopy::FileCopy(int index, const TNetCopyItem& item, TDateTime& workDate, bool& noNewFile) {
    if (dialog_) dialog_->PlaySystemCopyClip();
    const std::wstring url = WithoutFileScheme(item.URL);
    const std::wstring source = item.FTPHost.empty() ? url : item.FTPHost + L"\\" + url;
    const std::wstring lastSegment = UrlLastSegment(url);
    ShowFileLine(lastSegment, DlgFromServerLabel, item.FTPHost.empty() ? fw::ExtractFilePath(source) : item.FTPHost);
    ProcessMessages();

    if (!item.FTPHost.empty()) {
        NETRESOURCEW share{};
        share.dwType = RESOURCETYPE_DISK;
        share.lpRemoteName = const_cast<wchar_t*>(item.FTPHost.c_str());
        DWORD added = WNetAddConnection2W(&share, item.FTPPassword.empty() ? nullptr : item.FTPPassword.c_str(),
                                          item.FTPUserID.empty() ? nullptr : item.FTPUserID.c_str(), 0);
        ProcessMessages();
        if (added != NO_ERROR) {
            if (OnConnectError) OnConnectError(this);
            return false;
        }
    }
    bool result = false;
    try {
        result = CopyFileBlocks(index, item, source, lastSegment, workDate, noNewFile);
    } catch (...) {
        if (!item.FTPHost.empty()) WNetCancelConnection2W(item.FTPHost.c_str(), CONNECT_UPDATE_PROFILE, TRUE);
        throw;
    }
    if (!item.FTPHost.empty() && WNetCancelConnection2W(item.FTPHost.c_str(), CONNECT_UPDATE_PROFILE, TRUE) != NO_ERROR) {
        if (OnConnectError) OnConnectError(this);
        result = false;
    }
    return result;
}

bool TNetCopy::CopyFileBlocks(int index, const TNetCopyItem& item, const std::wstring& source,
                              const std::wstring& lastSegment, TDateTime& workDate, bool& noNewFile) {
    const std::wstring name = item.TargetFilename.empty() ? lastSegment : item.TargetFilename;
    std::wstring target = JoinFolderAndName(item.TargetDir, name);
    current_file_ = target;
    current_folder_ = item.TargetDir;
    if (source == target || SameFile(source, target)) {
        ReportError(kNcErrorIdenticalFiles, L"Cannot copy identical files " + source);
        return false;
    }
    fw::TOsFile in = fw::TOsFile::Open(source, fw::TOsFileMode::Read);
    if (!in.IsOpen()) {
        ReportError(kNcErrorOpenSource, L"Cannot open source file " + source);
        return false;
    }

    if (item.CopyNewerOnly || OnFileDateCheck) {
        const TDateTime newDate = LocalWriteTime(source).value_or(0);
        if (OnFileDateCheck) {
            bool allow = true;
            OnFileDateCheck(this, index, newDate, allow);
            workDate = newDate;
            if (!allow) return false;
        } else if (newDate <= workDate) {
            noNewFile = true;
            workDate = newDate;
            if (OnNoNewFileFound) OnNoNewFileFound(this, source, newDate, newDate);
            return false;
        } else {
            workDate = newDate;
        }
    }

    uint64_t size = 0;
    try {
        size = static_cast<uint64_t>(in.Size());
    } catch (const fw::EInOutError&) {
        ReportError(kNcErrorSourceSize, L"Zero length source file " + source);
        return false;
    }

    bool unique = false;
    bool refused = false;
    std::optional<fw::TReplacingFile> out;
    if (!name.empty()) out = OpenTarget(target, unique, refused);
    if (refused) return false;
    if (!out) {
        ReportError(kNcErrorCreateFile, L"Cannot create target file " + target);
        return false;
    }

    TNcFileSource reader(in);
    TNcFileSink writer(*out);
    TNcLoopResult loop = Transfer(reader, writer, kCopyLoop, DlgCopying, size);
    switch (loop.End) {
        case TNcLoopEnd::Cancelled:
            // A cancelled copy keeps what came, but only where no file was.
            if (loop.AnyBytes) {
                out->Commit(false);
            } else {
                out->Discard();
            }
            return false;
        case TNcLoopEnd::ReadFailed:
            out->Discard();
            ReportError(kNcErrorIncomplete, L"Error reading source file " + source);
            return false;
        case TNcLoopEnd::WriteFailed:
            out->Discard();
            ReportError(kNcErrorWrite, L"Error writing to destination file " + target);
            return false;
        case TNcLoopEnd::Done: break;
    }
    try {
        if (out->Commit(!unique)) return true;
        ReportError(kNcErrorCreateFile, L"Cannot create target file " + target);
    } catch (const fw::EInOutError&) {
        ReportError(kNcErrorWrite, L"Error writing to destination file " + target);
    }
    return false;
}

}  // namespace oru
