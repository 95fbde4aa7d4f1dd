// TNetCopy's HTTP transfers: the download with its authentication, status
// and date checks, and the upload by POST or PUT.
#include "Updater/NetCopy.h"

#include <wininet.h>

#include <cwctype>
#include <optional>
#include <vector>

#include "Updater/NcFilePieces.h"
#include "Updater/NcLogin.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/paths.h"

namespace oru {
namespace {

constexpr TNcLoopSettings kHttpDownloadLoop{4096, false, 256 * 1024};
// A local file is read in full blocks; the short one is its end.
constexpr TNcLoopSettings kHttpUploadLoop{4096, true, 256 * 1024};

bool QueryNumber(HINTERNET request, DWORD info, DWORD& value) {
    DWORD len = sizeof value;
    return HttpQueryInfoW(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &len, nullptr) != FALSE;
}

// A response header as text, of any length; nothing when the server sent none.
std::optional<std::wstring> QueryText(HINTERNET request, DWORD info) {
    std::vector<wchar_t> buf(64);
    for (;;) {
        DWORD len = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        if (HttpQueryInfoW(request, info, buf.data(), &len, nullptr)) {
            return std::wstring(buf.data(), len / sizeof(wchar_t));
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        buf.resize(len / sizeof(wchar_t) + 1);
    }
}

bool HeaderHas(HINTERNET request, DWORD info, const wchar_t* word) {
    std::optional<std::wstring> text = QueryText(request, info);
    if (!text) return false;
    std::wstring lower;
    for (wchar_t c : *text) lower += static_cast<wchar_t>(std::towlower(c));
    return lower.find(word) != std::wstring::npos;
}

// Where a request goes: the parts of its URL.
struct HttpTarget {
    std::wstring host, user, password, object;
    INTERNET_PORT port = 0;
    bool secure = false;
};

std::optional<HttpTarget> CrackHttpUrl(const std::wstring& url) {
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
    if (!InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &uc)) return std::nullopt;
    if (uc.nScheme != INTERNET_SCHEME_HTTP && uc.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
    if (!host[0]) return std::nullopt;
    HttpTarget t{host.data(), user.data(), password.data(), std::wstring(path.data()) + extra.data(), uc.nPort,
                 uc.nScheme == INTERNET_SCHEME_HTTPS};
    if (t.object.empty()) t.object = L"/";
    return t;
}

}  // namespace

// One HTTP request with the connection it runs on. It watches WinINet's
// connection notices while the body is read: the only sign Wine gives of a
// chunked body that was cut off.
class TNetCopy::Request {
public:
    Request() = default;
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;
    ~Request() { Close(); }

    HINTERNET Handle() const { return request.Get(); }
    void Close() {
        request.Reset();
        connection.Reset();
    }
    // From now on a closed connection is noted.
    void WatchConnection() { watching_ = true; }
    // Closes the request; true when the body was chunked on a keep-alive
    // connection and WinINet could not keep that connection afterwards.
    // WinINet keeps it only when the body ended with its last chunk; Wine
    // reads a cut chunked body like a whole one and tells nothing else.
    // Without keep-alive (Connection: close, HTTP/1.0) nothing can be told.
    bool CloseAndCheckChunkedEnd() {
        HINTERNET h = Handle();
        bool chunked = HeaderHas(h, HTTP_QUERY_TRANSFER_ENCODING, L"chunked");
        bool keepAlive = HeaderHas(h, HTTP_QUERY_VERSION, L"http/1.1") && !HeaderHas(h, HTTP_QUERY_CONNECTION, L"close") &&
                         !HeaderHas(h, HTTP_QUERY_PROXY_CONNECTION, L"close");
        Close();
        return chunked && keepAlive && connection_closed_;
    }

    static void CALLBACK Status(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) noexcept {
        auto* self = reinterpret_cast<Request*>(context);
        if (self && self->watching_ &&
            (status == INTERNET_STATUS_CLOSING_CONNECTION || status == INTERNET_STATUS_CONNECTION_CLOSED)) {
            self->connection_closed_ = true;
        }
    }

    NcInetHandle connection;
    NcInetHandle request;

private:
    bool watching_ = false;
    bool connection_closed_ = false;
};

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

bool TNetCopy::OpenRequest(Request& r, const std::wstring& url, const wchar_t* verb) {
    r.Close();
    if (!session_) return false;
    std::optional<HttpTarget> t = CrackHttpUrl(url);
    if (!t) return false;
    r.connection.Reset(InternetConnectW(session_, t->host.c_str(), t->port, t->user.empty() ? nullptr : t->user.c_str(),
                                        t->password.empty() ? nullptr : t->password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!r.connection) return false;
    NcSetTimeouts(r.connection.Get(), Timeout);

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (HTTPKeepAliveAuthentication) flags |= INTERNET_FLAG_KEEP_CONNECTION;
    if (t->secure) flags |= INTERNET_FLAG_SECURE;
    const wchar_t* accept[] = {L"*/*", nullptr};
    r.request.Reset(HttpOpenRequestW(r.connection.Get(), verb, t->object.c_str(), nullptr, nullptr, accept, flags,
                                     reinterpret_cast<DWORD_PTR>(&r)));
    if (!r.request) return false;
    InternetSetStatusCallbackW(r.request.Get(), &Request::Status);
    // WinINet's own time-outs of the session do not reach a request on
    // every version; set them where they count.
    NcSetTimeouts(r.request.Get(), Timeout);
    return true;
}

// ---- Download

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
        bool opened = OpenRequest(request, url, L"GET");
        if (opened) {
            headers += ProxyCredentials(request.Handle(), url);
            opened = HttpSendRequestW(request.Handle(), headers.empty() ? nullptr : headers.c_str(),
                                      static_cast<DWORD>(headers.size()), nullptr, 0) != FALSE;
        }
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

    // The length is read as a number of any length; one that is no number,
    // or does not fit, cannot be checked against the body and is refused.
    std::optional<uint64_t> contentLength;
    if (std::optional<std::wstring> text = QueryText(request.Handle(), HTTP_QUERY_CONTENT_LENGTH)) {
        contentLength = ParseByteCount(*text);
        if (!contentLength) {
            request.Close();
            ReportError(kNcErrorIncomplete, L"Unusable Content-Length \"" + text->substr(0, 40) + L"\" from " + UrlHost(url));
            return false;
        }
    }

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

    std::wstring name = item.TargetFilename.empty() ? lastSegment : item.TargetFilename;
    std::wstring path = JoinFolderAndName(item.TargetDir, name);
    current_file_ = path;
    current_folder_ = item.TargetDir;
    bool unique = false;
    bool refused = false;
    std::optional<fw::TReplacingFile> file;
    if (!name.empty()) file = OpenTarget(path, unique, refused);
    if (refused) return false;
    if (!file) {
        request.Close();
        ReportError(kNcErrorCreateFile, L"Cannot create file " + path);
        return false;
    }

    std::optional<uint64_t> total;
    if (contentLength.value_or(0) > 0) {
        total = contentLength;
    } else if (item.FileSize > 0) {
        total = item.FileSize;
    }
    TNcInternetSource source(request.Handle());
    TNcFileSink sink(*file);
    request.WatchConnection();
    TNcLoopResult loop = Transfer(source, sink, kHttpDownloadLoop, DlgDwnload, total);
    if (loop.End == TNcLoopEnd::WriteFailed) {
        request.Close();
        throw fw::EInOutError(L"Cannot write to file " + path);
    }
    const bool chunkedCut = request.CloseAndCheckChunkedEnd();

    // A cancel, a broken read or a body shorter than announced leaves no file
    // behind and never replaces the one there was.
    if (loop.End == TNcLoopEnd::Cancelled) {
        file->Discard();
        return false;
    }
    std::wstring broken;
    if (loop.End == TNcLoopEnd::ReadFailed) {
        std::wstring why = WinInetErrorText(source.Error());
        broken = L"Error reading from server " + url + (why.empty() ? L"" : L": " + why);
    } else if (contentLength && loop.Done != *contentLength) {
        broken = L"Incomplete transfer of " + url + L": " + std::to_wstring(loop.Done) + L" of " +
                 std::to_wstring(*contentLength) + L" bytes";
    } else if (chunkedCut) {
        broken = L"Incomplete transfer of " + url + L": the body ended before its last chunk";
    }
    if (!broken.empty()) {
        file->Discard();
        ReportError(kNcErrorIncomplete, broken);
        return false;
    }
    if (!loop.AnyBytes) {
        // An empty body fails the item. It leaves an empty file where there
        // was none, and never replaces one that was there.
        file->Commit(false);
        return false;
    }
    if (!file->Commit(!unique)) {
        ReportError(kNcErrorCreateFile, L"Cannot create file " + path);
        return false;
    }
    return true;
}

// ---- Upload

bool TNetCopy::HttpUpload(const TNetCopyItem& item) {
    PlayClip(kNcClipUpload);
    const std::wstring url = item.URL;
    const std::wstring lastSegment = UrlLastSegment(url);
    ShowFileLine(lastSegment, DlgToServerLabel, UrlHost(url));
    const std::wstring local =
        JoinFolderAndName(item.TargetDir, item.TargetFilename.empty() ? lastSegment : item.TargetFilename);
    TNcFileSystem& fs = NcWindowsFileSystem();
    if (!fs.FileExists(local) || fs.DirectoryExists(local)) return false;
    ProcessMessages();

    // The port is the URL's: the server need not listen on 80.
    Request request;
    const wchar_t* verb = item.HTTPCommand == TNetCopyHTTPCommand::hcPut ? L"PUT" : L"POST";
    if (!OpenRequest(request, url, verb)) {
        request.Close();
        ReportError(kNcErrorConnect, L"Cannot connect to server " + UrlHost(url));
        return false;
    }
    fw::TOsFile file = fw::TOsFile::Open(local, fw::TOsFileMode::Read);
    if (!file.IsOpen()) throw fw::EInOutError(L"Cannot open file \"" + local + L"\": " + fw::TOsFile::LastOpenError());
    const uint64_t size = static_cast<uint64_t>(file.Size());

    std::wstring headers = ProxyCredentials(request.Handle(), url);
    INTERNET_BUFFERSW buffers{};
    buffers.dwStructSize = sizeof buffers;
    if (size <= 0xFFFFFFFFu) {
        buffers.dwBufferTotal = static_cast<DWORD>(size);
    } else {
        // WinINet counts the total in 32 bits.
        headers += L"Content-Length: " + std::to_wstring(size) + L"\r\n";
    }
    buffers.lpcszHeader = headers.empty() ? nullptr : headers.c_str();
    buffers.dwHeadersLength = static_cast<DWORD>(headers.size());
    if (!HttpSendRequestExW(request.Handle(), &buffers, nullptr, 0, 0)) {
        DWORD code = GetLastError();
        request.Close();
        ReportError(static_cast<int>(code), WinInetErrorText(code));
        return false;
    }

    TNcFileSource source(file);
    TNcInternetSink sink(request.Handle());
    TNcLoopResult loop = Transfer(source, sink, kHttpUploadLoop, DlgUpload, size > 0 ? std::optional(size) : std::nullopt);
    if (loop.End == TNcLoopEnd::ReadFailed) {
        request.Close();
        throw fw::EInOutError(source.Error());
    }
    if (loop.End == TNcLoopEnd::WriteFailed) {
        request.Close();
        ReportError(static_cast<int>(sink.Error()), WinInetErrorText(sink.Error()));
        return false;
    }
    if (loop.End == TNcLoopEnd::Cancelled) return false;
    if (!HttpEndRequestW(request.Handle(), nullptr, 0, 0)) {
        DWORD code = GetLastError();
        request.Close();
        ReportError(static_cast<int>(code), WinInetErrorText(code));
        return false;
    }
    // The server's verdict: a refused upload is no success.
    DWORD status = 0;
    if (QueryNumber(request.Handle(), HTTP_QUERY_STATUS_CODE, status) && status >= 300) {
        request.Close();
        ReportError(static_cast<int>(status), L"Returned http error code " + std::to_wstring(status));
        return false;
    }
    return loop.Done == size;
}

}  // namespace oru
