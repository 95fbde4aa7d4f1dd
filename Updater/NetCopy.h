// TNetCopy: a non-visual component that runs a list of transfers one after
// the other, synchronously in the caller's thread, through WinINet. It
// processes pending window messages around every block, so a Cancel button
// (its own dialog's or the caller's) works while it runs, and it reports
// through events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Updater/NetCopyDialog.h"
#include "Updater/NetCopyHelpers.h"
#include "Updater/NetCopyItems.h"
#include "Updater/NetCopyOptions.h"
#include "framework/core/component.h"

namespace oru {

using TNetCopyFileStart = std::function<void(fw::TComponent* Sender, int idx)>;
using TNetCopyFileDone = std::function<void(fw::TComponent* Sender, int idx)>;
using TNetCopyThreadDone = std::function<void(fw::TComponent* Sender)>;
// size and totsize in bytes; totsize 0 when not known.
using TNetCopyProgress = std::function<void(fw::TComponent* Sender, int fileidx, uint64_t size, uint64_t totsize)>;
using TNetCopyCancel = std::function<void(fw::TComponent* Sender)>;
using TNetCopyOverwrite = std::function<void(fw::TComponent* Sender, const std::wstring& tgtfile, bool& allow)>;
using TNetCopyFileDateCheck = std::function<void(fw::TComponent* Sender, int idx, TDateTime newdate, bool& allow)>;
using TNetCopyNoNewFile =
    std::function<void(fw::TComponent* Sender, const std::wstring& tgtfile, TDateTime curdate, TDateTime newdate)>;
using TNetCopyURLNotFound = std::function<void(fw::TComponent* Sender, const std::wstring& url)>;
using TNetCopyError = std::function<void(fw::TComponent* Sender, int ErrorCode)>;
using TNetCopyErrorInfo = std::function<void(fw::TComponent* Sender, int ErrorCode, const std::wstring& ErrorInfo)>;
using TNetCopyConnectError = std::function<void(fw::TComponent* Sender)>;
using TNetCopyMultiFTPFileDone = std::function<void(fw::TComponent* Sender, const std::wstring& Filename)>;
using TWebRemoveFileDone = std::function<void(fw::TComponent* Sender, int idx)>;
using TWebRemoveFileFailed = std::function<void(fw::TComponent* Sender, int idx)>;
using TNetCopyBeforeDialogShow = std::function<void(fw::TComponent* Sender, fw::TForm* ADialog)>;

// Error codes of the HTTP download beside the HTTP status codes.
constexpr int kNcErrorCreateFile = 3;
// The transfer broke off: a read failed or the body was shorter than its
// Content-Length.
constexpr int kNcErrorIncomplete = 4;
// A protocol this build cannot run.
constexpr int kNcErrorNotSupported = ERROR_NOT_SUPPORTED;

class TNetCopy : public fw::TComponent, public TNetCopyOptions {
public:
    explicit TNetCopy(fw::TComponent* owner);
    ~TNetCopy() override;

    TNetCopyItems& Items() { return items_; }
    const TNetCopyItems& Items() const { return items_; }
    // Read-only: writing it does nothing.
    std::wstring Version() const { return VersionText(kNetCopyVersion); }
    void SetVersion(const std::wstring&) {}

    // Runs every active item; returns when all are done or the run was
    // cancelled. Raises EInvalidOperation when called from inside a run.
    void Execute();
    // The running transfer stops at its next block; later items are skipped.
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }

    // Run state.
    int ItemOrdinal() const { return item_ordinal_; }
    const std::wstring& CurrentFile() const { return current_file_; }
    const std::wstring& CurrentFolder() const { return current_folder_; }
    // The progress dialog of the current or last run, while it exists.
    TNetCopyDialog* Dialog() const { return dialog_; }
    int CountNetworkItems() const { return oru::CountNetworkItems(items_); }

    TNetCopyFileStart OnFileStart;
    TNetCopyFileDone OnFileDone;
    TNetCopyThreadDone OnCopyDone;
    TNetCopyProgress OnCopyProgress;
    TNetCopyCancel OnCopyCancel;
    TNetCopyOverwrite OnCopyOverWrite;
    TNetCopyFileDateCheck OnFileDateCheck;
    TNetCopyNoNewFile OnNoNewFileFound;
    TNetCopyURLNotFound OnURLNotFound;
    TNetCopyError OnError;
    TNetCopyErrorInfo OnErrorInfo;
    TNetCopyConnectError OnConnectError;
    TNetCopyMultiFTPFileDone OnMultiFTPFileDone;
    TWebRemoveFileDone OnRemovedFile;
    TWebRemoveFileFailed OnRemovedFileFailed;
    TNetCopyBeforeDialogShow OnBeforeDialogShow;

protected:
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

private:
    class Request;

    void Run();
    void BuildDialog();
    void FreeDialog();
    void FinishDialog();
    void DialogCancelClick();
    void ProcessMessages();
    bool CancelRequested();
    void ReportError(int code, const std::wstring& info);
    bool RunItem(int index, TNetCopyItem& item, TDateTime& workDate, bool& noNewFile, bool keepConnection);
    bool ReportNotSupported(const TNetCopyItem& item);
    bool HttpDownload(int index, const TNetCopyItem& item, TDateTime& workDate, bool& noNewFile);
    bool OpenRequest(Request& request, const std::wstring& url, const std::wstring& headers);
    // Gives the proxy credentials to a request handle and returns the
    // header that carries them to a named proxy (empty when it must not).
    std::wstring ProxyCredentials(void* request, const std::wstring& url);
    void ShowFileLine(const std::wstring& name, const std::wstring& connector, const std::wstring& place);
    void ShowBlockProgress(const std::wstring& kindWord, uint64_t done, uint64_t total, uint64_t elapsedMs);

    TNetCopyItems items_;
    void* session_ = nullptr;  // HINTERNET of the running Execute
    TNetCopyDialog* dialog_ = nullptr;
    int item_ordinal_ = 0;
    bool cancel_ = false;
    bool running_ = false;
    std::wstring current_file_;
    std::wstring current_folder_;
    std::wstring last_rate_;
    std::wstring last_time_left_;
    std::wstring last_elapsed_;
};

// The message text of a WinINet error code from wininet.dll's message
// table; empty when it has none.
std::wstring WinInetErrorText(DWORD code);
// A file time as a date-time.
TDateTime NetCopyFileTimeToDateTime(const FILETIME& time);
// A system time as a date-time; a time with year and month 0 (no date) gives
// the current local time.
TDateTime NetCopyHttpDateToDateTime(const SYSTEMTIME& time);
// The file system of the helpers, through Win32.
TNcFileSystem& NcWindowsFileSystem();
// The user's decimal separator.
wchar_t NcDecimalSeparator();

}  // namespace oru
