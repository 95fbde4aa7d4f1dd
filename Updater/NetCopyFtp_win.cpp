// TNetCopy's FTP transfers: download, multi-file download, listing, upload,
// multi-file upload, delete and connection test, with a connection kept for
// the next item on the same server and login.
#include "Updater/NetCopy.h"

#include <optional>
#include <vector>

#include "Updater/NcFilePieces.h"
#include "Updater/NcFtpPaths.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/paths.h"

namespace oru {
namespace {

constexpr TNcLoopSettings kFtpLoop{4096, false, 256 * 1024};

// A kept connection goes back to the folder it was in before the item.
void SetBackFolder(TNcFtpConnection& c, const std::optional<std::wstring>& before) {
    if (before) c.SetDirectory(before->empty() ? L"/" : *before);
}

TDateTime EntryDate(const WIN32_FIND_DATAW& e) { return NetCopyFileTimeToDateTime(e.ftLastWriteTime); }

bool IsFolder(const WIN32_FIND_DATAW& e) { return (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// The server's word on a transfer just closed: its refusal, else nothing.
std::wstring TransferRefusal() {
    std::wstring reply = NcLastServerReply();
    return FtpReplyCode(reply) >= 400 ? reply : std::wstring();
}

}  // namespace

// The connection of one FTP operation: the kept one when the operation may
// reuse it and its login is the item's, else a new one. With `keep` it stays
// kept after the operation; otherwise it is closed at the end (a kept one
// that was used is forgotten then).
class TNetCopy::FtpUse {
public:
    FtpUse(TNetCopy& nc, const TNetCopyItem& item, bool reuse, bool keep) {
        const TNcFtpLogin login = FtpLoginOf(item);
        std::unique_ptr<TNcFtpConnection>& kept = nc.kept_connection_;
        if (reuse && kept && kept->Login() == login) {
            if (!keep) own_ = std::move(kept);
        } else {
            own_ = TNcFtpConnection::Open(static_cast<HINTERNET>(nc.session_), login, nc.FTPPassive, nc.Timeout);
            nc.ProcessMessages();
            if (!own_) return;
            if (keep) kept = std::move(own_);
        }
        connection_ = own_ ? own_.get() : kept.get();
    }
    explicit operator bool() const { return connection_ != nullptr; }
    TNcFtpConnection* operator->() const { return connection_; }
    TNcFtpConnection& operator*() const { return *connection_; }

private:
    std::unique_ptr<TNcFtpConnection> own_;
    TNcFtpConnection* connection_ = nullptr;
};

void TNetCopy::ReportFtpConnectError(const TNetCopyItem& item) {
    ReportError(kNcErrorConnect, L"Cannot connect to FTP server " + item.FTPHost);
}

void TNetCopy::DropKeptConnection() { kept_connection_.reset(); }

// ---- Downloads

bool TNetCopy::FtpDownload(int index, const TNetCopyItem& item, const std::wstring& url,
                           const std::wstring& targetFilename, TDateTime& workDate, bool& noNewFile,
                           bool keepConnection, bool showFileLine) {
    const TNcFtpPath remote = SplitFtpPath(url);
    if (showFileLine) ShowFileLine(remote.Name, ShowServer ? DlgFromServerLabel : L"", item.FTPHost);
    ProcessMessages();
    FtpUse ftp(*this, item, true, keepConnection);
    if (!ftp) {
        ReportFtpConnectError(item);
        return false;
    }
    std::optional<std::wstring> folderBefore;
    if (!remote.Folder.empty()) {
        std::wstring before = ftp->CurrentDirectory();
        // A folder that cannot be entered must not let a file of the same
        // name elsewhere be taken instead.
        if (!ftp->SetDirectory(remote.Folder)) {
            if (OnURLNotFound) OnURLNotFound(this, url);
            return false;
        }
        if (keepConnection) folderBefore = before;
    }
    ProcessMessages();

    std::optional<WIN32_FIND_DATAW> entry = ftp->Find(remote.Name);
    if (entry && (item.CopyNewerOnly || OnFileDateCheck)) {
        TDateTime newDate = EntryDate(*entry);
        if (OnFileDateCheck) {
            bool allow = true;
            OnFileDateCheck(this, index, newDate, allow);
            workDate = newDate;
            if (!allow) {
                SetBackFolder(*ftp, folderBefore);
                return false;
            }
        } else if (newDate <= workDate) {
            noNewFile = true;
            workDate = newDate;
            if (OnNoNewFileFound) OnNoNewFileFound(this, remote.Name, newDate, newDate);
            SetBackFolder(*ftp, folderBefore);
            return false;
        } else {
            workDate = newDate;
        }
    }

    // The exact size, when the server tells it, checks that all bytes came.
    // WinINet's own size query is no help (Wine answers 0 for every file), and
    // a failed query is no size 0; a listing's size only feeds the dialog.
    const std::optional<uint64_t> exactSize = ftp->Size(remote.Name);
    std::optional<uint64_t> total = exactSize;
    if (!total && entry && !IsFolder(*entry)) {
        uint64_t listed = (static_cast<uint64_t>(entry->nFileSizeHigh) << 32) | entry->nFileSizeLow;
        if (listed > 0) total = listed;
    }
    NcInetHandle remoteFile = ftp->OpenFile(remote.Name, false);
    if (!remoteFile) {
        if (OnURLNotFound) OnURLNotFound(this, url);
        SetBackFolder(*ftp, folderBefore);
        return false;
    }
    if (!total) {
        DWORD high = 0;
        DWORD low = FtpGetFileSize(remoteFile.Get(), &high);
        uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
        if (low != INVALID_FILE_SIZE && size > 0) total = size;
    }

    const std::wstring name = targetFilename.empty() ? remote.Name : targetFilename;
    std::wstring path = JoinFolderAndName(item.TargetDir, name);
    current_file_ = path;
    current_folder_ = item.TargetDir;
    bool unique = false;
    bool refused = false;
    std::optional<fw::TReplacingFile> file;
    if (!name.empty()) file = OpenTarget(path, unique, refused);
    if (!file) {
        remoteFile.Reset();
        if (!refused) ReportError(kNcErrorCreateFile, L"Cannot create target file " + path);
        SetBackFolder(*ftp, folderBefore);
        return false;
    }

    TNcInternetSource source(remoteFile.Get());
    TNcFileSink sink(*file);
    TNcLoopResult loop = Transfer(source, sink, kFtpLoop, DlgDwnload, total);
    if (loop.End == TNcLoopEnd::WriteFailed) throw fw::EInOutError(L"Cannot write to file " + path);
    // Closing the file reads the server's word on the transfer (426 when it
    // dropped the data connection, which a reader sees as a plain end).
    remoteFile.Reset();
    const std::wstring refusal = TransferRefusal();
    SetBackFolder(*ftp, folderBefore);

    if (loop.End == TNcLoopEnd::Cancelled) {
        // A cancelled download keeps what came, but only where no file was.
        if (loop.AnyBytes) {
            file->Commit(false);
        } else {
            file->Discard();
        }
        return false;
    }
    std::wstring broken;
    if (loop.End == TNcLoopEnd::ReadFailed) {
        std::wstring why = WinInetErrorText(source.Error());
        broken = L"Error reading from server " + item.FTPHost + L" " + url + (why.empty() ? L"" : L": " + why);
    } else if (!refusal.empty()) {
        broken = L"Incomplete transfer of " + url + L": " + refusal;
    } else if (exactSize && loop.Done != *exactSize) {
        broken = L"Incomplete transfer of " + url + L": " + std::to_wstring(loop.Done) + L" of " +
                 std::to_wstring(*exactSize) + L" bytes";
    }
    if (!broken.empty()) {
        file->Discard();
        ReportError(kNcErrorIncomplete, broken);
        return false;
    }
    if (!file->Commit(!unique)) {
        ReportError(kNcErrorCreateFile, L"Cannot create target file " + path);
        return false;
    }
    return true;
}

bool TNetCopy::FtpMultiDownload(const TNetCopyItem& item) {
    const TNcFtpPath remote = SplitFtpPath(item.URL);
    ShowFileLine(remote.Name, ShowServer ? DlgFromServerLabel : L"", item.FTPHost);
    ProcessMessages();
    // The connection stays kept: every file below and the next item use it.
    FtpUse ftp(*this, item, false, true);
    if (!ftp) {
        ReportFtpConnectError(item);
        return false;
    }
    std::optional<std::wstring> folderBefore;
    if (!remote.Folder.empty()) {
        folderBefore = ftp->CurrentDirectory();
        if (!ftp->SetDirectory(remote.Folder)) {
            if (OnURLNotFound) OnURLNotFound(this, item.URL);
            return false;
        }
    }
    // A listing that failed is no empty folder: the item fails.
    std::vector<WIN32_FIND_DATAW> entries;
    if (!ftp->List(remote.Name, entries)) {
        if (kept_connection_) SetBackFolder(*kept_connection_, folderBefore);
        if (OnURLNotFound) OnURLNotFound(this, item.URL);
        return false;
    }
    std::vector<std::wstring> names;
    for (const WIN32_FIND_DATAW& e : entries) {
        if (!IsFolder(e)) names.emplace_back(e.cFileName);
    }
    for (size_t i = 0; i < names.size() && !CancelRequested(); ++i) {
        const std::wstring count =
            std::to_wstring(i + 1) + L" " + DlgFileOfLabel + L" " + std::to_wstring(names.size()) + L" : ";
        ShowFileLine(count, names[i], ShowServer ? DlgFromServerLabel : L"", item.FTPHost);
        TDateTime date = item.FileDate;
        bool noNew = false;
        FtpDownload(static_cast<int>(i), item, names[i], names[i], date, noNew, true, false);
        if (OnMultiFTPFileDone) OnMultiFTPFileDone(this, names[i]);
    }
    if (kept_connection_) SetBackFolder(*kept_connection_, folderBefore);
    return true;
}

bool TNetCopy::FtpList(TNetCopyItem& item) {
    const TNcFtpPath remote = SplitFtpPath(item.URL);
    ShowFileLine(remote.Name, ShowServer ? DlgFromServerLabel : L"", item.FTPHost);
    ProcessMessages();
    FtpUse ftp(*this, item, false, false);
    if (!ftp) {
        ReportFtpConnectError(item);
        return false;
    }
    if (!remote.Folder.empty() && !ftp->SetDirectory(remote.Folder)) {
        if (OnURLNotFound) OnURLNotFound(this, item.URL);
        return false;
    }
    item.FileNames = std::make_unique<fw::TStringList>();
    item.FileDetails = std::make_unique<TFileDetailItems>();
    int n = 0;
    std::vector<WIN32_FIND_DATAW> entries;
    const bool listed = ftp->List(remote.Name, entries, [&](const WIN32_FIND_DATAW& e) {
        ShowFileLine(std::to_wstring(++n) + L" : ", e.cFileName, L"", L"");
        ProcessMessages();
    });
    if (!listed) {
        if (OnURLNotFound) OnURLNotFound(this, item.URL);
        return false;
    }
    for (const WIN32_FIND_DATAW& e : entries) {
        item.FileNames->Add(e.cFileName);
        TFileDetailItem& d = item.FileDetails->Add();
        d.Attributes = e.dwFileAttributes;
        d.FileName = e.cFileName;
        d.SizeLow = e.nFileSizeLow;
        d.SizeHigh = e.nFileSizeHigh;
        d.LastWriteTime = (static_cast<uint64_t>(e.ftLastWriteTime.dwHighDateTime) << 32) | e.ftLastWriteTime.dwLowDateTime;
    }
    return true;
}

// ---- Uploads

bool TNetCopy::FtpUpload(int index, const TNetCopyItem& item, const std::wstring& localFile,
                         const std::wstring& remoteFolder, const std::wstring& remoteName, TDateTime& workDate,
                         bool& noNewFile, bool keepConnection) {
    PlayClip(kNcClipUpload);
    ShowFileLine(UrlLastSegment(localFile), DlgToServerLabel, item.FTPHost);
    ProcessMessages();
    FtpUse ftp(*this, item, true, keepConnection);
    if (!ftp) {
        ReportFtpConnectError(item);
        return false;
    }
    std::optional<std::wstring> folderBefore;
    if (!remoteFolder.empty()) {
        std::wstring before = ftp->CurrentDirectory();
        if (!ftp->EnterOrMakeDirectory(remoteFolder)) return false;
        if (keepConnection) folderBefore = before;
    }
    ProcessMessages();

    std::optional<WIN32_FIND_DATAW> entry = ftp->Find(remoteName);
    if (entry && (item.CopyNewerOnly || OnFileDateCheck)) {
        bool allow = true;
        if (OnCopyOverWrite) OnCopyOverWrite(this, remoteName, allow);
        if (!allow) {
            SetBackFolder(*ftp, folderBefore);
            return false;
        }
        const TDateTime newDate = EntryDate(*entry);
        const TDateTime localDate = workDate;
        workDate = newDate;
        if (OnFileDateCheck) {
            OnFileDateCheck(this, index, newDate, allow);
            if (!allow) {
                SetBackFolder(*ftp, folderBefore);
                return false;
            }
        } else if (newDate > localDate) {
            noNewFile = true;
            if (OnNoNewFileFound) OnNoNewFileFound(this, remoteName, newDate, newDate);
            SetBackFolder(*ftp, folderBefore);
            return false;
        }
    }

    // The local file first: a missing source must not cost the remote one.
    current_file_ = localFile;
    current_folder_ = remoteFolder;
    fw::TOsFile local = fw::TOsFile::Open(localFile, fw::TOsFileMode::Read);
    if (!local.IsOpen()) {
        if (OnURLNotFound) OnURLNotFound(this, localFile);
        ReportError(kNcErrorOpenSource, L"Cannot open source file " + localFile);
        SetBackFolder(*ftp, folderBefore);
        return false;
    }
    const uint64_t size = static_cast<uint64_t>(local.Size());

    // An existing remote file is replaced only by a whole new one: the bytes
    // go to a temporary name first and are renamed over it at the end.
    const bool replacing = entry.has_value();
    const std::wstring sent = replacing ? remoteName + L".nctmp" : remoteName;
    NcInetHandle remoteFile = ftp->OpenFile(sent, true);
    if (!remoteFile) {
        if (OnURLNotFound) OnURLNotFound(this, localFile);
        SetBackFolder(*ftp, folderBefore);
        return false;
    }
    TNcFileSource source(local);
    TNcInternetSink sink(remoteFile.Get());
    TNcLoopResult loop = Transfer(source, sink, kFtpLoop, DlgUpload, size);
    remoteFile.Reset();
    const std::wstring refusal = TransferRefusal();

    bool ok = false;
    if (loop.End == TNcLoopEnd::Cancelled) {
        // A cancelled upload keeps what was sent, but only where no file was.
        if (replacing || !loop.AnyBytes) ftp->Delete(sent);
    } else if (loop.End == TNcLoopEnd::ReadFailed) {
        ftp->Delete(sent);
        ReportError(kNcErrorIncomplete, L"Error reading source file " + localFile + L": " + source.Error());
    } else if (loop.End == TNcLoopEnd::WriteFailed || !refusal.empty() || loop.Done != size) {
        ftp->Delete(sent);
        std::wstring why = !refusal.empty() ? refusal : WinInetErrorText(sink.Error());
        ReportError(kNcErrorWrite, L"Error writing to destination file " + remoteName + (why.empty() ? L"" : L": " + why));
    } else if (replacing && !ftp->Rename(sent, remoteName)) {
        // The new file stays under its temporary name: nothing is lost.
        ReportError(kNcErrorWrite, L"Error writing to destination file " + remoteName + L": " + NcLastServerReply());
    } else {
        ok = true;
    }
    SetBackFolder(*ftp, folderBefore);
    return ok;
}

bool TNetCopy::FtpMultiUpload(const TNetCopyItem& item) {
    PlayClip(kNcClipUpload);
    ShowFileLine(UrlLastSegment(item.URL), DlgToServerLabel, item.FTPHost);
    ProcessMessages();
    // Kept while the files go, so each upload finds it; closed afterwards.
    {
        FtpUse ftp(*this, item, false, true);
        if (!ftp) {
            ReportFtpConnectError(item);
            return false;
        }
        if (!ftp->EnterOrMakeDirectory(item.TargetDir)) {
            DropKeptConnection();
            return false;
        }
    }
    const std::wstring folder = fw::ExtractFilePath(item.URL);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(item.URL.c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!IsFolder(data)) names.emplace_back(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    for (const std::wstring& name : names) {
        if (CancelRequested()) break;
        TDateTime date = item.FileDate;
        bool noNew = false;
        // The folder was entered above; each upload goes back to it.
        FtpUpload(0, item, folder + name, L"", name, date, noNew, true);
        current_folder_ = item.TargetDir;
        if (OnMultiFTPFileDone) OnMultiFTPFileDone(this, name);
    }
    DropKeptConnection();
    return true;
}

// ---- Delete and test

bool TNetCopy::FtpDelete(int index, const TNetCopyItem& item) {
    PlayClip(kNcClipUpload);
    const std::wstring name = item.TargetFilename.empty() ? UrlLastSegment(item.URL) : item.TargetFilename;
    ShowFileLine(name, DlgToServerLabel, item.FTPHost);
    ProcessMessages();
    FtpUse ftp(*this, item, true, false);
    if (!ftp) {
        ReportFtpConnectError(item);
        return false;
    }
    // The folder is always entered: a connection that comes from an earlier
    // item may stand anywhere.
    if (!item.TargetDir.empty() && !ftp->SetDirectory(item.TargetDir)) return false;
    if (ftp->Delete(name)) {
        if (OnRemovedFile) OnRemovedFile(this, index);
    } else {
        if (OnRemovedFileFailed) OnRemovedFileFailed(this, index);
    }
    return true;
}

bool TNetCopy::FtpTest(const TNetCopyItem& item) {
    PlayClip(kNcClipUpload);
    ProcessMessages();
    FtpUse ftp(*this, item, true, false);
    if (!ftp) {
        ReportFtpConnectError(item);
        return false;
    }
    return true;
}

}  // namespace oru
