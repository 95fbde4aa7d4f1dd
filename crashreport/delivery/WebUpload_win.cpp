// The HTTP(S) and FTP uploads over WinInet.
#include "crashreport/delivery/WebUpload.h"

#include <algorithm>

#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/UploadProxy.h"
#include "crashreport/delivery/WinInet_win.h"

namespace drevnik {
namespace {

constexpr DWORD kPieceSize = 1024;

void Notify(const TUploadProgress& progress, uint8_t kind, uint32_t total, uint32_t done) {
    if (progress) progress(kind, total, done);
}

HINTERNET OpenInternet() {
    const bool proxy = UploadProxyConfigured();
    return WinInet().InternetOpenA("DrevnikLog", proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                                   proxy ? UploadProxyText().c_str() : nullptr, proxy ? "<local>" : nullptr, 0);
}

// The proxy login goes on the handle that makes the requests.
bool SetProxyLogin(HINTERNET handle) {
    if (UploadProxyUser().empty() && UploadProxyPassword().empty()) return true;
    const TWinInetApi& api = WinInet();
    std::string user = UploadProxyUser();
    std::string password = UploadProxyPassword();
    return api.InternetSetOptionA(handle, INTERNET_OPTION_PROXY_USERNAME, user.data(),
                                  static_cast<DWORD>(user.size() + 1)) &&
           api.InternetSetOptionA(handle, INTERNET_OPTION_PROXY_PASSWORD, password.data(),
                                  static_cast<DWORD>(password.size() + 1));
}

std::string QueryStatusText(HINTERNET request) {
    DWORD size = 256;
    std::string text(size, '\0');
    if (!WinInet().HttpQueryInfoA(request, HTTP_QUERY_STATUS_TEXT, text.data(), &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        text.assign(size + 1, '\0');
        if (!WinInet().HttpQueryInfoA(request, HTTP_QUERY_STATUS_TEXT, text.data(), &size, nullptr)) return {};
    }
    text.resize(std::min<size_t>(size, text.size()));
    return text;
}

// The open request of an upload, its headers and security flags set.
HINTERNET OpenUploadRequest(HINTERNET connection, const std::string& path, bool useHttps, const std::string& header,
                            const std::string& user, const std::string& password, DWORD& code) {
    const TWinInetApi& api = WinInet();
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION |
                  INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP |
                  INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    if (useHttps) flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
    const std::string object = path.empty() || path.front() != '/' ? "/" + path : path;
    HINTERNET request = api.HttpOpenRequestA(connection, "POST", object.c_str(), nullptr, nullptr, nullptr, flags, 0);
    if (CheckLastError(request == nullptr, code)) return nullptr;
    bool ok = true;
    if (useHttps) {
        DWORD security = 0;
        DWORD size = sizeof security;
        ok = !CheckLastError(!api.InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security, &size), code);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        ok = ok && !CheckLastError(!api.InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security,
                                                           sizeof security),
                                   code);
    }
    ok = ok && !CheckLastError(!api.HttpAddRequestHeadersA(request, header.c_str(), static_cast<DWORD>(-1),
                                                           HTTP_ADDREQ_FLAG_ADD),
                               code);
    if (ok && !(user.empty() && password.empty())) {
        const std::string authorization = "Authorization: Basic " + Base64EncodeString(user + ":" + password);
        ok = !CheckLastError(!api.HttpAddRequestHeadersA(request, authorization.c_str(), static_cast<DWORD>(-1),
                                                         HTTP_ADDREQ_FLAG_ADD),
                             code);
    }
    ok = ok && !CheckLastError(!SetProxyLogin(request), code);
    if (!ok) {
        api.InternetCloseHandle(request);
        return nullptr;
    }
    return request;
}

// The answer's status: 0 for 200, the status otherwise (its text in
// errorText), kUploadStatusNotNumber when it is none.
int32_t QueryUploadInfo(HINTERNET request, std::string& errorText) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinInet().HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status == 0)
        return kUploadStatusNotNumber;
    if (status == 200) return 0;
    errorText = QueryStatusText(request);
    return static_cast<int32_t>(status);
}

// A port of 0 is the scheme's own.
uint16_t ServicePort(uint16_t port, uint16_t fallback) { return port != 0 ? port : fallback; }

void FinishErrorText(int32_t result, std::string& errorText) {
    if (result != 0 && errorText.empty()) {
        errorText = GetInternetErrorText(static_cast<DWORD>(result));
        if (errorText.empty()) errorText = GetSystemErrorText(static_cast<DWORD>(result));
    }
}

}  // namespace

int32_t UploadFilesHttp(const std::string& host, const std::string& path, const std::string& user,
                        std::string& errorText, const TUploadProgress& progress,
                        const std::vector<std::string>& fields, const std::vector<std::string>& stampedNames,
                        const std::vector<std::string>& files, bool useHttps, uint16_t port,
                        const std::string& password) {
    errorText.clear();
    if (!LoadWinInet()) return kUploadWinInetMissing;
    const TWinInetApi& api = WinInet();
    const std::string boundary = MakeUploadBoundary();
    const std::string body = BuildUploadBody(boundary, fields, stampedNames, files);
    const std::string header = "Content-Type: multipart/form-data; boundary=" + boundary;
    const auto total = static_cast<uint32_t>(body.size());
    Notify(progress, 0, total, 0);

    DWORD code = 0;
    HINTERNET internet = OpenInternet();
    HINTERNET connection = nullptr;
    int32_t result = 0;
    if (CheckLastError(internet == nullptr, code)) {
        result = static_cast<int32_t>(code);
    } else {
        connection = api.InternetConnectA(internet, host.c_str(), ServicePort(port, useHttps ? 443 : 80), nullptr,
                                          nullptr, INTERNET_SERVICE_HTTP, 0, 0);
        if (CheckLastError(connection == nullptr, code)) result = static_cast<int32_t>(code);
    }
    if (connection != nullptr) {
        Notify(progress, 1, total, 0);
        HINTERNET request = OpenUploadRequest(connection, path, useHttps, header, user, password, code);
        if (request == nullptr) {
            result = static_cast<int32_t>(code);
        } else {
            INTERNET_BUFFERSA buffers{};
            buffers.dwStructSize = sizeof buffers;
            buffers.dwBufferTotal = total;
            if (CheckLastError(!api.HttpSendRequestExA(request, &buffers, nullptr, 0, 0), code)) {
                result = static_cast<int32_t>(code);
            } else {
                size_t sent = 0;
                while (result == 0 && sent < body.size()) {
                    const DWORD piece = static_cast<DWORD>(std::min<size_t>(kPieceSize, body.size() - sent));
                    DWORD written = 0;
                    if (CheckLastError(!api.InternetWriteFile(request, body.data() + sent, piece, &written), code)) {
                        result = static_cast<int32_t>(code);
                    } else if (written == 0) {
                        result = ERROR_INTERNET_CONNECTION_ABORTED;
                    } else {
                        sent += written;
                        Notify(progress, 2, total, static_cast<uint32_t>(std::min<size_t>(sent, total)));
                    }
                }
                if (result == 0) {
                    if (CheckLastError(!api.HttpEndRequestA(request, nullptr, 0, 0), code)) {
                        result = static_cast<int32_t>(code);
                    } else {
                        result = QueryUploadInfo(request, errorText);
                    }
                } else {
                    api.HttpEndRequestA(request, nullptr, 0, 0);
                }
            }
            api.InternetCloseHandle(request);
        }
    }
    if (connection != nullptr) api.InternetCloseHandle(connection);
    if (internet != nullptr) api.InternetCloseHandle(internet);
    FinishErrorText(result, errorText);
    UnloadWinInet();
    return result;
}

int32_t UploadFilesFtp(const std::string& host, const std::string& path, const std::string& user,
                       std::string& errorText, const TUploadProgress& progress,
                       const std::vector<std::string>& stampedNames, const std::vector<std::string>& files,
                       uint16_t port, const std::string& password) {
    errorText.clear();
    if (files.empty()) return 0;
    if (!LoadWinInet()) return kUploadWinInetMissing;
    const TWinInetApi& api = WinInet();
    // Each file is read once, before anything is sent.
    std::vector<std::string> contents(files.size());
    std::vector<bool> present(files.size());
    uint64_t sum = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        present[i] = ReadUploadFile(files[i], contents[i]);
        if (present[i]) sum += contents[i].size();
    }
    const auto total = static_cast<uint32_t>(std::min<uint64_t>(sum, UINT32_MAX));
    Notify(progress, 0, total, 0);

    DWORD code = 0;
    int32_t result = 0;
    HINTERNET internet = OpenInternet();
    HINTERNET connection = nullptr;
    if (CheckLastError(internet == nullptr, code)) {
        result = static_cast<int32_t>(code);
    } else {
        connection = api.InternetConnectA(internet, host.c_str(), ServicePort(port, INTERNET_DEFAULT_FTP_PORT),
                                          user.c_str(), password.c_str(), INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
        if (CheckLastError(connection == nullptr, code)) result = static_cast<int32_t>(code);
    }
    if (connection != nullptr) {
        Notify(progress, 1, total, 0);
        for (size_t i = 0; i < files.size() && result == 0; ++i) {
            if (!present[i]) continue;
            const std::string remote = FtpRemoteName(path, i < stampedNames.size() ? stampedNames[i] : files[i]);
            HINTERNET file = api.FtpOpenFileA(connection, remote.c_str(), GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0);
            if (CheckLastError(file == nullptr, code)) {
                result = static_cast<int32_t>(code);
                break;
            }
            const std::string& bytes = contents[i];
            size_t written = 0;
            while (written < bytes.size()) {
                const DWORD piece = static_cast<DWORD>(std::min<size_t>(kPieceSize, bytes.size() - written));
                DWORD done = 0;
                // A file cut short on the server is a failed upload.
                if (CheckLastError(!api.InternetWriteFile(file, bytes.data() + written, piece, &done), code)) {
                    result = static_cast<int32_t>(code);
                    break;
                }
                if (done == 0) {
                    result = ERROR_INTERNET_CONNECTION_ABORTED;
                    break;
                }
                written += done;
                const uint64_t rounded = (written + kPieceSize - 1) / kPieceSize * kPieceSize;
                Notify(progress, 2, total, static_cast<uint32_t>(std::min<uint64_t>(rounded, UINT32_MAX)));
            }
            // The server confirms the stored file when it is closed.
            if (CheckLastError(!api.InternetCloseHandle(file), code) && result == 0) result = static_cast<int32_t>(code);
        }
    }
    if (connection != nullptr) api.InternetCloseHandle(connection);
    if (internet != nullptr) api.InternetCloseHandle(internet);
    FinishErrorText(result, errorText);
    UnloadWinInet();
    return result;
}

}  // namespace drevnik
