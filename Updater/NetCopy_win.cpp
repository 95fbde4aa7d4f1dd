// TNetCopy: Execute with its dispatch, the progress dialog and the HTTP
// download.
#include "Updater/NetCopy.h"

#include <shellapi.h>
#include <wininet.h>

#include <optional>
#include <vector>

#include "Updater/NcLogin.h"
#include "framework/gui/application.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/paths.h"
#include "framework/core/scoped_handle.h"

namespace oru {
namespace {

constexpr DWORD kBlockSize = 4096;

struct InetClose {
    static HINTERNET Empty() { return nullptr; }
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using InetHandle = fw::TScopedHandle<HINTERNET, InetClose>;

void SetTimeouts(HINTERNET h, DWORD ms) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(h, option, &ms, sizeof ms);
    }
}

bool QueryNumber(HINTERNET request, DWORD info, DWORD& value) {
    DWORD len = sizeof value;
    return HttpQueryInfoW(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &len, nullptr) != FALSE;
}

// Content-Length as text, so that sizes past 4 GB come through; false when
// the server sent none.
bool QueryContentLength(HINTERNET request, uint64_t& length) {
    wchar_t buf[32] = {};
    DWORD len = sizeof buf;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, buf, &len, nullptr)) return false;
    uint64_t v = 0;
    bool any = false;
    for (const wchar_t* p = buf; *p; ++p) {
        if (*p == L' ') continue;
        if (*p < L'0' || *p > L'9') return false;
        v = v * 10 + static_cast<uint64_t>(*p - L'0');
        any = true;
    }
    length = v;
    return any;
}

}  // namespace

// One HTTP request with the connection it runs on.
class TNetCopy::Request {
public:
    HINTERNET Handle() const { return request.Get(); }
    void Close() {
        request.Reset();
        connection.Reset();
    }
    InetHandle connection;
    InetHandle request;
};

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
    InetHandle session;
    if (CountNetworkItems() > 0) {
        // A failed open is left for the items to report: they cannot connect.
        session.Reset(InternetOpenW(Agent.c_str(), Proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
                                    Proxy.empty() ? nullptr : Proxy.c_str(), nullptr, 0));
        if (session) SetTimeouts(session.Get(), Timeout);
    }
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
    switch (item.Protocol) {
        case TNetCopyProtocol::wpHttp: return HttpDownload(index, item, workDate, noNewFile);
        default:
            // The FTP, file-copy and upload operations are dispatched here,
            // with `keepConnection` for consecutive FTP items.
            (void)keepConnection;
            return ReportNotSupported(item);
    }
}

bool TNetCopy::ReportNotSupported(const TNetCopyItem& item) {
    ReportError(kNcErrorNotSupported, std::wstring(L"Transfer protocol not supported: ") + ProtocolName(item.Protocol));
    return false;
}

// ---- The progress dialog

void TNetCopy::BuildDialog() {
    FreeDialog();
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
    cancel_ = false;
    if (ShowDialog) {
        if (OnBeforeDialogShow) OnBeforeDialogShow(this, dialog);
        if (dialog_ != dialog) return;  // the handler freed it
        dialog->Show();
        if (AlwaysOnTop) {
            SetWindowPos(dialog->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
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

void TNetCopy::ShowFileLine(const std::wstring& name, const std::wstring& connector, const std::wstring& place) {
    if (!dialog_) return;
    std::wstring count = FileCountText(*this, items_.Count(), item_ordinal_, items_.ActiveCount());
    dialog_->FileLabel->SetCaption(FileLineText(*this, count, name, connector, place));
}

void TNetCopy::ShowBlockProgress(const std::wstring& kindWord, uint64_t done, uint64_t total, uint64_t elapsedMs) {
    int position = dialog_ ? dialog_->ProgressBar->Position() : 0;
    TNcBlockProgress p = BlockProgress(*this, kindWord, done, total, elapsedMs, position, NcDecimalSeparator());
    last_rate_ = p.RateLine;
    last_time_left_ = p.TimeLine;
    last_elapsed_ = p.ElapsedLine;
    if (dialog_) {
        if (total > 0) dialog_->ProgressBar->SetPosition(p.BarPosition);
        dialog_->ProgressLabel->SetCaption(p.ProgressLine);
        if (ShowCompletion) dialog_->SetCaption(p.CompletionCaption);
        dialog_->RateLabel->SetCaption(p.RateLine);
        dialog_->TimeLabel->SetCaption(p.TimeLine);
        dialog_->ElapsedLabel->SetCaption(p.ElapsedLine);
    }
    if (OnCopyProgress) OnCopyProgress(this, item_ordinal_, done, total);
}

// ---- HTTP download

std::wstring TNetCopy::ProxyCredentials(void* request, const std::wstring& url) {
    if (!ProxyUserID.empty() && !ProxyPassword.empty()) {
        // For a proxy's challenge. They never go into the URL: WinINet would
        // hand a URL's user part to the server.
        InternetSetOptionW(request, INTERNET_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(ProxyUserID.c_str()),
                           static_cast<DWORD>(ProxyUserID.size()));
        InternetSetOptionW(request, INTERNET_OPTION_PROXY_PASSWORD, const_cast<wchar_t*>(ProxyPassword.c_str()),
                           static_cast<DWORD>(ProxyPassword.size()));
    }
    return ProxyAuthorizationHeader(*this, url);
}

bool TNetCopy::OpenRequest(Request& r, const std::wstring& url, const std::wstring& headers) {
    r.Close();
    if (!session_) return false;
    size_t n = url.size() + 1;
    std::vector<wchar_t> host(n), user(n), password(n), path(n), extra(n);
    URL_COMPONENTSW uc{};
    uc.dwStructSize = sizeof uc;
    uc.lpszHostName = host.data();
    uc.dwHostNameLength = static_cast<DWORD>(n);
    uc.lpszUserName = user.data();
    uc.dwUserNameLength = static_cast<DWORD>(n);
    uc.lpszPassword = password.data();
    uc.dwPasswordLength = static_cast<DWORD>(n);
    uc.lpszUrlPath = path.data();
    uc.dwUrlPathLength = static_cast<DWORD>(n);
    uc.lpszExtraInfo = extra.data();
    uc.dwExtraInfoLength = static_cast<DWORD>(n);
    if (!InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &uc)) return false;
    if (uc.nScheme != INTERNET_SCHEME_HTTP && uc.nScheme != INTERNET_SCHEME_HTTPS) return false;
    if (!host[0]) return false;

    r.connection.Reset(InternetConnectW(session_, host.data(), uc.nPort, user[0] ? user.data() : nullptr,
                                        password[0] ? password.data() : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!r.connection) return false;
    SetTimeouts(r.connection.Get(), Timeout);

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (HTTPKeepAliveAuthentication) flags |= INTERNET_FLAG_KEEP_CONNECTION;
    if (uc.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    std::wstring object = std::wstring(path.data()) + extra.data();
    if (object.empty()) object = L"/";
    const wchar_t* accept[] = {L"*/*", nullptr};
    r.request.Reset(HttpOpenRequestW(r.connection.Get(), L"GET", object.c_str(), nullptr, nullptr, accept, flags, 0));
    if (!r.request) return false;
    // WinINet's own time-outs of the session do not reach a request on
    // every version; set them where they count.
    SetTimeouts(r.request.Get(), Timeout);
    std::wstring all = headers + ProxyCredentials(r.request.Get(), url);
    if (!HttpSendRequestW(r.request.Get(), all.empty() ? nullptr : all.c_str(), static_cast<DWORD>(all.size()), nullptr,
                          0)) {
        r.Close();
        return false;
    }
    return true;
}

bool TNetCopy::HttpDownload(int index, const TNetCopyItem& item, TDateTime& workDate, bool& noNewFile) {
    const std::wstring url = item.URL;
    const std::wstring lastSegment = UrlLastSegment(url);
    ShowFileLine(item.DisplayURL.empty() ? lastSegment : item.DisplayURL, ShowServer ? DlgFromServerLabel : L"",
                 UrlHost(url));
    ProcessMessages();

    std::wstring user = item.HTTPUserID;
    std::wstring password = item.HTTPPassword;
    const std::wstring loginCaption = L"Connect to " + HostOfUrl(url);
    if (item.Authenticate == TNetCopyAuthentication::waAlways && (user.empty() || password.empty())) {
        if (!ShowNcLoginForm(loginCaption, user, password)) return false;
    }

    Request request;
    for (;;) {
        std::wstring headers;
        if (!user.empty() || !password.empty()) headers = BasicAuthorizationHeader(user, password);
        bool opened = OpenRequest(request, url, headers);
        ProcessMessages();
        DWORD status = 0;
        if (!opened || !QueryNumber(request.Handle(), HTTP_QUERY_STATUS_CODE, status)) {
            request.Close();
            if (OnURLNotFound) OnURLNotFound(this, url);
            return false;
        }
        if (status == HTTP_STATUS_DENIED && item.Authenticate != TNetCopyAuthentication::waNever) {
            request.Close();
            if (!ShowNcLoginForm(loginCaption, user, password)) return false;
            continue;
        }
        if (status >= 300) {
            request.Close();
            ReportError(static_cast<int>(status), L"Returned http error code " + std::to_wstring(status));
            return false;
        }
        break;
    }
    if (CancelRequested()) return false;

    if (item.CopyNewerOnly || OnFileDateCheck) {
        SYSTEMTIME st{};
        DWORD len = sizeof st;
        if (!HttpQueryInfoW(request.Handle(), HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &st, &len, nullptr)) {
            st = SYSTEMTIME{};
        }
        TDateTime newDate = NetCopyHttpDateToDateTime(st);
        if (OnFileDateCheck) {
            bool allow = true;
            workDate = newDate;
            OnFileDateCheck(this, index, newDate, allow);
            if (!allow) return false;
        } else if (newDate > workDate) {
            workDate = newDate;
        } else {
            noNewFile = true;
            workDate = newDate;
            request.Close();
            if (OnNoNewFileFound) OnNoNewFileFound(this, lastSegment, workDate, newDate);
            return false;
        }
    }

    TNcFileSystem& fs = NcWindowsFileSystem();
    std::wstring name = item.TargetFilename.empty() ? lastSegment : item.TargetFilename;
    std::wstring path = JoinFolderAndName(item.TargetDir, name);
    current_file_ = path;
    current_folder_ = item.TargetDir;
    bool unique = false;
    if (fs.FileExists(path)) {
        bool allow = true;
        if (OnCopyOverWrite) OnCopyOverWrite(this, path, allow);
        if (!allow) return false;
        if (CreateUniqueFilenames) {
            path = UniqueFileName(path, fs);
            unique = true;
            current_file_ = path;
        }
    }

    // The download goes to a temporary file beside the target, which replaces
    // the target only once the whole body has arrived: a failed or cancelled
    // transfer leaves an existing file as it was.
    std::optional<fw::TReplacingFile> file;
    CreateFolderPath(fw::ExtractFilePath(path), fs);
    if (!name.empty() && !path.empty()) file = fw::TReplacingFile::Create(path);
    if (!file) {
        request.Close();
        ReportError(kNcErrorCreateFile, L"Cannot create file " + path);
        return false;
    }

    uint64_t contentLength = 0;
    bool hasLength = QueryContentLength(request.Handle(), contentLength);
    uint64_t total = contentLength;
    if (total == 0 && item.FileSize > 0) total = item.FileSize;
    uint64_t done = 0;
    ULONGLONG start = GetTickCount64();
    if (dialog_) {
        dialog_->ProgressBar->SetMarquee(total == 0);
        dialog_->ProgressBar->SetPosition(0);
    }

    bool result = false;
    bool readFailed = false;
    DWORD readError = 0;
    char buffer[kBlockSize];
    DWORD got = 1;
    while (got > 0 && !CancelRequested()) {
        ProcessMessages();
        got = 0;
        if (!InternetReadFile(request.Handle(), buffer, kBlockSize, &got)) {
            readError = GetLastError();
            readFailed = true;
            break;
        }
        if (got > 0) {
            try {
                file->Write(buffer, got);
            } catch (const fw::EInOutError&) {
                request.Close();
                throw fw::EInOutError(L"Cannot write to file " + path);
            }
        }
        done += got;
        ShowBlockProgress(DlgDwnload, done, total, GetTickCount64() - start);
        ProcessMessages();
        if (got > 0) result = true;
    }
    request.Close();

    // A cancel, a broken read or a body shorter than announced leaves no file
    // behind and never replaces the one there was.
    if (cancel_) {
        file->Discard();
        return false;
    }
    if (readFailed) {
        file->Discard();
        std::wstring why = WinInetErrorText(readError);
        ReportError(kNcErrorIncomplete, L"Error reading from server " + url + (why.empty() ? L"" : L": " + why));
        return false;
    }
    if (hasLength && done != contentLength) {
        file->Discard();
        ReportError(kNcErrorIncomplete, L"Incomplete transfer of " + url + L": " + std::to_wstring(done) + L" of " +
                                            std::to_wstring(contentLength) + L" bytes");
        return false;
    }
    if (!file->Commit(!unique)) {
        ReportError(kNcErrorCreateFile, L"Cannot create file " + path);
        return false;
    }
    return result;
}

}  // namespace oru
