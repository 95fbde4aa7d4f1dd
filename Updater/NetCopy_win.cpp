// TNetCopy: Execute with its dispatch, the progress dialog and the block loop
// that every transfer runs.
#include "Updater/NetCopy.h"

#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>

#include "framework/core/exceptions.h"
#include "framework/core/paths.h"
#include "framework/gui/application.h"

namespace oru {
namespace {

// The dialog and the message queue are served about once a frame of a 60 Hz
// screen (more often only costs time, the user cannot see it), and no more
// often than lets them take a tenth of the time: under a slow display
// server one update of the dialog can take longer than a frame.
constexpr double kPaceMs = 16;
constexpr double kPaceShare = 0.1;

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TNetCopy::TNetCopy(fw::TComponent* owner) : fw::TComponent(owner), items_(this) {}

TNetCopy::~TNetCopy() = default;

void TNetCopy::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TComponent::Notification(component, operation);
    if (operation == fw::TOperation::opRemove && component == dialog_) dialog_ = nullptr;
}

void TNetCopy::ProcessMessages() {
    if (fw::Application) fw::Application->ProcessMessages();
}

bool TNetCopy::CancelRequested() {
    // A program that is closing stops its transfer too, rather than going on
    // invisibly until the download ends.
    if (fw::Application && fw::Application->Terminated()) cancel_ = true;
    return cancel_;
}

void TNetCopy::ReportError(int code, const std::wstring& info) {
    if (OnError) OnError(this, code);
    if (OnErrorInfo) OnErrorInfo(this, code, info);
}

void TNetCopy::Execute() {
    if (running_) throw fw::EInvalidOperation(L"The transfer is already running");
    running_ = true;
    // A handler that frees the component is served once the run is over.
    EventScope keep(this);
    items_.Lock();
    try {
        Run();
    } catch (...) {
        items_.Unlock();
        running_ = false;
        session_ = nullptr;
        // Nothing runs behind the dialog any more, and it has no close box.
        FreeDialog();
        throw;
    }
    items_.Unlock();
    running_ = false;
}

void TNetCopy::Run() {
    BuildDialog();
    NcInetHandle session;
    if (CountNetworkItems() > 0) {
        // A failed open is left for the items to report: they cannot connect.
        session.Reset(InternetOpenW(Agent.c_str(), Proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
                                    Proxy.empty() ? nullptr : Proxy.c_str(), nullptr, 0));
        if (session) NcSetTimeouts(session.Get(), Timeout);
    }
    // A connection kept for an item that did not come (inactive, a cancel, an
    // exception) goes before the session it belongs to.
    struct KeptConnectionEnd {
        TNetCopy* nc;
        ~KeptConnectionEnd() { nc->DropKeptConnection(); }
    } keptEnd{this};
    session_ = session.Get();
    item_ordinal_ = 0;
    for (int i = 0; i < items_.Count(); ++i) {
        TNetCopyItem& item = items_[i];
        if (!item.Active) continue;
        ++item_ordinal_;
        if (OnFileStart) OnFileStart(this, i);
        if (dialog_) {
            switch (item.Protocol) {
                case TNetCopyProtocol::wpHttp:
                case TNetCopyProtocol::wpFtp: dialog_->SetCaption(DlgDwnload + L" ..."); break;
                case TNetCopyProtocol::wpFile: dialog_->SetCaption(DlgCopying + L" ..."); break;
                case TNetCopyProtocol::wpFtpUpload:
                case TNetCopyProtocol::wpHttpUpload: dialog_->SetCaption(DlgUpload + L" ..."); break;
                default: break;
            }
        }
        TDateTime workDate = item.FileDate;
        bool noNewFile = false;
        bool keep = KeepConnectionFor(items_, i);
        bool ok = RunItem(i, item, workDate, noNewFile, keep);
        item.NewFileDate = workDate;
        item.Success = ok && !cancel_;
        item.Cancelled = cancel_;
        item.NoNewFile = noNewFile;
        if (cancel_) break;
        if (OnFileDone) OnFileDone(this, i);
    }
    DropKeptConnection();
    session.Reset();
    session_ = nullptr;
    if (ShowOpenFile || ShowOpenFolder) {
        if (OnCopyDone) OnCopyDone(this);
        FinishDialog();
    } else {
        FreeDialog();
        if (OnCopyDone) OnCopyDone(this);
    }
}

bool TNetCopy::RunItem(int index, TNetCopyItem& item, TDateTime& workDate, bool& noNewFile, bool keepConnection) {
    using P = TNetCopyProtocol;
    switch (item.Protocol) {
        case P::wpHttp: return HttpDownload(index, item, workDate, noNewFile);
        case P::wpFtp:
            return FtpDownload(index, item, item.URL, item.TargetFilename, workDate, noNewFile, keepConnection, true);
        case P::wpFile: return FileCopy(index, item, workDate, noNewFile);
        case P::wpFtpUpload:
            return FtpUpload(index, item, item.URL, item.TargetDir,
                             item.TargetFilename.empty() ? UrlLastSegment(item.URL) : item.TargetFilename, workDate,
                             noNewFile, keepConnection);
        case P::wpHttpUpload: return HttpUpload(item);
        case P::wpMultiFtp: return FtpMultiDownload(item);
        case P::wpMultiFtpUpload: return FtpMultiUpload(item);
        case P::wpFtpDelete: return FtpDelete(index, item);
        case P::wpFtpList: return FtpList(item);
        case P::wpFtpTest: return FtpTest(item);
    }
    return false;
}

// ---- The progress dialog

void TNetCopy::BuildDialog() {
    FreeDialog();
    cancel_ = false;
    // A dialog that is never shown has nothing to offer: none is made.
    if (!ShowDialog) return;
    auto* dialog = new TNetCopyDialog(this, *this);
    dialog_ = dialog;
    dialog->CancelButton->OnClick = [this](fw::TComponent*) { DialogCancelClick(); };
    dialog->OnClose = [this](fw::TComponent*, fw::TCloseAction& action) {
        if (dialog_ && dialog_->Done()) action = fw::TCloseAction::caFree;
    };
    auto openWith = [this](const std::wstring* target) {
        return [this, target](fw::TComponent*) {
            ShellExecuteW(nullptr, L"open", target->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            if (dialog_) dialog_->Release();
        };
    };
    if (dialog->OpenFolderButton) dialog->OpenFolderButton->OnClick = openWith(&current_folder_);
    if (dialog->OpenFileButton) dialog->OpenFileButton->OnClick = openWith(&current_file_);
    if (OnBeforeDialogShow) OnBeforeDialogShow(this, dialog);
    if (dialog_ != dialog) return;  // the handler freed it
    dialog->Show();
    if (AlwaysOnTop) {
        SetWindowPos(dialog->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TNetCopy::FreeDialog() {
    if (!dialog_) return;
    TNetCopyDialog* d = dialog_;
    dialog_ = nullptr;
    d->Free();
}

void TNetCopy::FinishDialog() {
    if (!dialog_) return;
    // A dialog that nobody sees (hidden by Cancel, or never shown) has
    // nothing left to offer.
    if (!dialog_->Visible()) {
        FreeDialog();
        return;
    }
    dialog_->CancelButton->SetCaption(DlgClose);
    dialog_->SetDone(true);
    dialog_->StopClip();
    if (!cancel_) {
        if (dialog_->OpenFileButton) dialog_->OpenFileButton->SetEnabled(true);
        if (dialog_->OpenFolderButton) dialog_->OpenFolderButton->SetEnabled(true);
    }
}

void TNetCopy::DialogCancelClick() {
    if (OnCopyCancel) OnCopyCancel(this);
    cancel_ = true;
    if (!dialog_) return;
    if (dialog_->Done()) {
        dialog_->Release();
    } else {
        dialog_->Hide();
    }
}

void TNetCopy::PlayClip(int resourceId) {
    if (dialog_) dialog_->PlayClip(resourceId);
}

void TNetCopy::ShowFileLine(const std::wstring& name, const std::wstring& connector, const std::wstring& place) {
    ShowFileLine(FileCountText(*this, items_.Count(), item_ordinal_, items_.ActiveCount()), name, connector, place);
}

void TNetCopy::ShowFileLine(const std::wstring& count, const std::wstring& name, const std::wstring& connector,
                            const std::wstring& place) {
    if (dialog_) dialog_->FileLabel->SetCaption(FileLineText(*this, count, name, connector, place));
}

void TNetCopy::ShowProgress(const std::wstring& kindWord, uint64_t done, std::optional<uint64_t> total,
                            uint64_t elapsedMs) {
    int position = dialog_ ? dialog_->ProgressBar->Position() : 0;
    TNcBlockProgress p = BlockProgress(*this, kindWord, done, total, elapsedMs, position, NcDecimalSeparator());
    last_rate_ = p.RateLine;
    last_time_left_ = p.TimeLine;
    last_elapsed_ = p.ElapsedLine;
    if (!dialog_) return;
    if (total) dialog_->ProgressBar->SetPosition(p.BarPosition);
    dialog_->ProgressLabel->SetCaption(p.ProgressLine);
    if (ShowCompletion) dialog_->SetCaption(p.CompletionCaption);
    dialog_->RateLabel->SetCaption(p.RateLine);
    dialog_->TimeLabel->SetCaption(p.TimeLine);
    dialog_->ElapsedLabel->SetCaption(p.ElapsedLine);
}

std::optional<fw::TReplacingFile> TNetCopy::OpenTarget(std::wstring& path, bool& unique, bool& refused) {
    TNcFileSystem& fs = NcWindowsFileSystem();
    unique = false;
    refused = false;
    if (fs.FileExists(path)) {
        bool allow = true;
        if (OnCopyOverWrite) OnCopyOverWrite(this, path, allow);
        if (!allow) {
            refused = true;
            return std::nullopt;
        }
        if (CreateUniqueFilenames) {
            path = UniqueFileName(path, fs);
            unique = true;
            current_file_ = path;
        }
    }
    // The bytes go to a temporary file beside the target, which replaces the
    // target only once it is whole: a failed or cancelled transfer leaves an
    // existing file as it was.
    CreateFolderPath(fw::ExtractFilePath(path), fs);
    if (path.empty()) return std::nullopt;
    return fw::TReplacingFile::Create(path);
}

TNcLoopResult TNetCopy::Transfer(TNcPieceSource& source, TNcPieceSink& sink, const TNcLoopSettings& settings,
                                 const std::wstring& kindWord, std::optional<uint64_t> total) {
    const uint64_t eventTotal = total.value_or(0);
    const ULONGLONG start = GetTickCount64();
    if (dialog_) {
        dialog_->ProgressBar->SetMarquee(!total);
        dialog_->ProgressBar->SetPosition(0);
    }
    uint64_t done = 0;
    TNcBlockLoop loop;
    loop.OnBlock = [&](uint64_t d) {
        done = d;
        if (OnCopyProgress) OnCopyProgress(this, item_ordinal_, d, eventTotal);
    };
    loop.Cancelled = [this] { return CancelRequested(); };
    // The event and the cancel test come with every block; the dialog and
    // the message queue only at the screen's pace.
    double pace = kPaceMs;
    double served = NowMs();
    loop.OnPiece = [&] {
        const double now = NowMs();
        if (now - served < pace) return;
        ShowProgress(kindWord, done, total, GetTickCount64() - start);
        ProcessMessages();
        served = NowMs();
        pace = std::max(kPaceMs, (served - now) / kPaceShare);
    };
    ProcessMessages();
    TNcLoopResult result = loop.Run(source, sink, settings);
    ShowProgress(kindWord, done, total, GetTickCount64() - start);
    ProcessMessages();
    return result;
}

}  // namespace oru
