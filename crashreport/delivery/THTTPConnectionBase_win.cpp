// The WinInet half of the HTTP client: connecting, sending, reading answers
// and following redirects.
#include "crashreport/delivery/THTTPConnectionBase.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "crashreport/delivery/DeliveryText.h"
#include "crashreport/delivery/MultipartForm.h"
#include "crashreport/delivery/WebUrls.h"
#include "crashreport/delivery/WinInet_win.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

constexpr DWORD kPieceSize = 4096;
// How often one request is sent again when WinInet asks for it.
constexpr int kMaxForcedRetries = 3;

// Rounds to the nearest integer, halves to even, within int range.
int RoundProgress(double value) {
    double rounded = std::nearbyint(value);
    return rounded >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rounded);
}

// A header as text; for HTTP_QUERY_CUSTOM the buffer first holds the header's name.
std::string QueryText(HINTERNET request, DWORD info, const std::string& name = {}) {
    DWORD size = static_cast<DWORD>(std::max<size_t>(256, name.size() + 1));
    std::string buffer(size, '\0');
    buffer.replace(0, name.size(), name);
    if (!WinInet().HttpQueryInfoA(request, info, buffer.data(), &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.assign(std::max<size_t>(size + 1, name.size() + 1), '\0');
        buffer.replace(0, name.size(), name);
        if (!WinInet().HttpQueryInfoA(request, info, buffer.data(), &size, nullptr)) return {};
    }
    buffer.resize(std::min<size_t>(size, buffer.size()));
    return buffer;
}

bool QueryNumber(HINTERNET request, DWORD info, DWORD& number) {
    DWORD size = sizeof number;
    number = 0;
    return WinInet().HttpQueryInfoA(request, info | HTTP_QUERY_FLAG_NUMBER, &number, &size, nullptr) != FALSE;
}

fw::Exception ConnectionError(const char* format, const std::string& host) {
    std::string message = format;
    message += host;
    return fw::Exception(fw::AnsiToWide(message));
}

}  // namespace

THTTPConnectionBase::~THTTPConnectionBase() {
    ReleaseHandles();
    if (winInetBound_) UnloadWinInet();
}

void THTTPConnectionBase::ReleaseHandles() noexcept {
    if (!winInetBound_) return;
    if (ConnectHandle != nullptr) WinInet().InternetCloseHandle(ConnectHandle);
    if (InternetHandle != nullptr) WinInet().InternetCloseHandle(InternetHandle);
    ConnectHandle = nullptr;
    InternetHandle = nullptr;
}

bool THTTPConnectionBase::Connect(const TServer& server) {
    const TWinInetApi& api = WinInet();
    if (ConnectHandle != nullptr) {
        api.InternetCloseHandle(ConnectHandle);
        ConnectHandle = nullptr;
    }
    // Credentials belong to the base server; another host never sees them.
    const bool base = server == TServer{text::Lower(Host), Port, UseHttps};
    ConnectHandle = api.InternetConnectA(InternetHandle, base ? Host.c_str() : server.host.c_str(), server.port,
                                         base ? UserName.c_str() : nullptr, base ? Password.c_str() : nullptr,
                                         INTERNET_SERVICE_HTTP, INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION, 0);
    if (ConnectHandle == nullptr) return false;
    connected_ = server;
    return true;
}

void THTTPConnectionBase::Open() {
    NotifyProgress(hpConnecting, 0);
    if (!winInetBound_) {
        if (!LoadWinInet()) throw ConnectionError("Cannot create an HTTP connection with the host: ", Host);
        winInetBound_ = true;
    }
    ReleaseHandles();
    const std::string proxyName = ProxyServer + ":" + std::to_string(ProxyPort);
    InternetHandle = WinInet().InternetOpenA("DrevnikLog", UseProxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                                             UseProxy ? proxyName.c_str() : nullptr, UseProxy ? "<local>" : nullptr, 0);
    if (InternetHandle == nullptr || Host.empty() || !Connect(TServer{text::Lower(Host), Port, UseHttps})) {
        ReleaseHandles();
        throw ConnectionError("Cannot create an HTTP connection with the host: ", Host);
    }
    NotifyProgress(hpConnected, 0);
}

void THTTPConnectionBase::Close() {
    NotifyProgress(hpDisconnecting, 0);
    bool closed = true;
    if (winInetBound_) {
        if (ConnectHandle != nullptr) closed = WinInet().InternetCloseHandle(ConnectHandle) && closed;
        if (InternetHandle != nullptr) closed = WinInet().InternetCloseHandle(InternetHandle) && closed;
    }
    ConnectHandle = nullptr;
    InternetHandle = nullptr;
    if (!closed) throw ConnectionError("Cannot close the HTTP connection with the host: ", Host);
    NotifyProgress(hpDisconnected, 0);
}

bool THTTPConnectionBase::SendRequest(THTTPResponse& response, bool showProgress) {
    response.Clear();
    if (!winInetBound_ || InternetHandle == nullptr) {
        StoreResponseError(ERROR_INTERNET_INCORRECT_HANDLE_STATE, response);
        return false;
    }
    const TWinInetApi& api = WinInet();
    const TServer base{text::Lower(Host), Port, UseHttps};

    std::string folder, query;
    SplitPathQuery(Path, folder, response.PageName, query);

    enum class TPass { Final, Redirected, Failed };
    // One request and its answer.
    auto sendOnce = [&]() -> TPass {
        response.StatusCode = 0;
        response.StatusText.clear();
        response.RawHeaders.clear();
        response.PageText.clear();

        const TServer target = TargetServer();
        if (ConnectHandle == nullptr || !(target == connected_)) {
            if (SetResponseError(!Connect(target), response)) return TPass::Failed;
        }
        DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION |
                      INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP |
                      INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS | INTERNET_FLAG_NO_UI;
        if (target.https) flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;

        const THTTPRequestPlan plan = ComposeRequest(folder, response.PageName, query, MakeMultipartBoundary());
        TInternetHandle request(api.HttpOpenRequestA(ConnectHandle, plan.Verb.c_str(), plan.ObjectName.c_str(), nullptr,
                                                     nullptr, nullptr, flags, reinterpret_cast<DWORD_PTR>(this)));
        if (SetResponseError(!request, response)) return TPass::Failed;
        HINTERNET handle = request.Get();

        if (target.https) {
            DWORD security = 0;
            DWORD size = sizeof security;
            if (SetResponseError(!api.InternetQueryOptionA(handle, INTERNET_OPTION_SECURITY_FLAGS, &security, &size), response))
                return TPass::Failed;
            security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
            if (SetResponseError(!api.InternetSetOptionA(handle, INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security),
                                 response))
                return TPass::Failed;
        }
        auto addHeader = [&](const std::string& header) {
            return !SetResponseError(
                !api.HttpAddRequestHeadersA(handle, header.c_str(), static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD), response);
        };
        if (!plan.Header.empty() && !addHeader(plan.Header)) return TPass::Failed;
        const std::string authorization = target == base ? BasicAuthorization() : std::string();
        if (!authorization.empty() && !addHeader("Authorization: " + authorization)) return TPass::Failed;
        // WinInet answers a proxy's challenge only for some requests (not under
        // Wine); a plain HTTP request through a proxy carries the login at once.
        // Through an HTTPS tunnel the header would reach the server instead.
        const std::string proxyAuthorization = UseProxy && !target.https ? ProxyAuthorization() : std::string();
        if (!proxyAuthorization.empty() && !addHeader("Proxy-Authorization: " + proxyAuthorization)) return TPass::Failed;
        // No empty login is set: Wine then turns a 407 answer into a page without status.
        if (UseProxy && !(ProxyUser.empty() && ProxyPassword.empty())) {
            if (SetResponseError(!api.InternetSetOptionA(handle, INTERNET_OPTION_PROXY_USERNAME, const_cast<char*>(ProxyUser.c_str()),
                                                         static_cast<DWORD>(ProxyUser.size() + 1)),
                                 response) ||
                SetResponseError(!api.InternetSetOptionA(handle, INTERNET_OPTION_PROXY_PASSWORD,
                                                         const_cast<char*>(ProxyPassword.c_str()),
                                                         static_cast<DWORD>(ProxyPassword.size() + 1)),
                                 response))
                return TPass::Failed;
        }

        INTERNET_BUFFERSA buffers{};
        buffers.dwStructSize = sizeof buffers;
        buffers.dwBufferTotal = static_cast<DWORD>(plan.Body.size());
        // WinInet asks for the same request again (ERROR_INTERNET_FORCE_RETRY)
        // when it can now answer an authentication challenge.
        for (int attempt = 0;; ++attempt) {
            if (SetResponseError(!api.HttpSendRequestExA(handle, &buffers, nullptr, 0, 0), response)) return TPass::Failed;
            size_t sent = 0;
            while (sent < plan.Body.size()) {
                const DWORD piece = static_cast<DWORD>(std::min<size_t>(kPieceSize, plan.Body.size() - sent));
                DWORD written = 0;
                const BOOL wrote = api.InternetWriteFile(handle, plan.Body.data() + sent, piece, &written);
                if (!wrote || written == 0) {
                    if (!SetResponseError(!wrote, response)) StoreResponseError(ERROR_INTERNET_CONNECTION_ABORTED, response);
                    api.HttpEndRequestA(handle, nullptr, 0, 0);
                    return TPass::Failed;
                }
                sent += written;
                if (showProgress) NotifyProgress(hpTransfer, std::min(50, RoundProgress(sent * 100.0 / plan.Body.size())));
            }
            if (api.HttpEndRequestA(handle, nullptr, 0, 0)) break;
            const DWORD code = GetLastError();
            if (code != ERROR_INTERNET_FORCE_RETRY || attempt == kMaxForcedRetries) {
                StoreResponseError(code, response);
                return TPass::Failed;
            }
        }
        if (showProgress) NotifyProgress(hpTransfer, 50);

        DWORD status = 0;
        // Without a status line there is no answer to speak of (Wine then hands
        // the raw bytes over as the page).
        if (!QueryNumber(handle, HTTP_QUERY_STATUS_CODE, status) || status == 0) {
            StoreResponseError(ERROR_HTTP_INVALID_SERVER_RESPONSE, response);
            return TPass::Failed;
        }
        response.StatusCode = static_cast<int32_t>(status);
        response.StatusText = QueryText(handle, HTTP_QUERY_STATUS_TEXT);
        response.RawHeaders = QueryText(handle, HTTP_QUERY_RAW_HEADERS_CRLF);
        DWORD expected = 0;
        if (!QueryNumber(handle, HTTP_QUERY_CONTENT_LENGTH, expected) || expected == 0) expected = 1;

        char piece[kPieceSize];
        for (;;) {
            DWORD got = 0;
            // A broken answer is a failure, not a shorter page.
            if (SetResponseError(!api.InternetReadFile(handle, piece, sizeof piece, &got), response)) return TPass::Failed;
            if (got == 0) break;
            response.PageText.append(piece, got);
            if (showProgress) NotifyProgress(hpTransfer, RoundProgress(response.PageText.size() * 50.0 / expected + 50));
        }

        std::string location;
        if (status == 200) {
            std::string refresh = QueryText(handle, HTTP_QUERY_REFRESH);
            // Wine knows no index for Refresh: ask for it by name.
            if (refresh.empty()) refresh = QueryText(handle, HTTP_QUERY_CUSTOM, "Refresh");
            location = RefreshTarget(refresh);
            if (!location.empty()) response.StatusCode = 302;
        } else if (status == 301 || status == 302 || status == 303) {
            location = QueryText(handle, HTTP_QUERY_LOCATION);
        }
        if (!location.empty()) ApplyRedirect(location, folder, response.PageName, query);
        return response.StatusCode == 302 && !location.empty() ? TPass::Redirected : TPass::Final;
    };

    int redirects = 0;
    for (;;) {
        switch (sendOnce()) {
        case TPass::Failed:
            return false;
        case TPass::Redirected:
            // A redirect chain that never ends (or points at itself) is cut off.
            if (++redirects > kMaxRedirects) {
                StoreResponseError(ERROR_HTTP_REDIRECT_FAILED, response);
                return false;
            }
            continue;
        case TPass::Final:
            break;
        }
        break;
    }

    if (showProgress) NotifyProgress(hpRequestDone, 0);
    for (char& c : response.PageText) {
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    }
    Response.Assign(&response);
    return true;
}

}  // namespace drevnik
