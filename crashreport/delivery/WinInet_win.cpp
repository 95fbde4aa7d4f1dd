#include "crashreport/delivery/WinInet_win.h"

#include <mutex>

#include "crashreport/delivery/DeliveryText.h"
#include "crashreport/delivery/InternetErrorTexts.h"

namespace drevnik {
namespace {

struct TWinInetLibrary {
    std::mutex lock;
    int references = 0;
    HMODULE module = nullptr;
    TWinInetApi api;
};

TWinInetLibrary& Library() {
    static TWinInetLibrary library;
    return library;
}

template <typename F>
bool Bind(HMODULE module, const char* name, F& function) {
    FARPROC proc = GetProcAddress(module, name);
    // Through void(*)() so that the cast between function types stays quiet.
    function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
    return proc != nullptr;
}

bool BindAll(HMODULE m, TWinInetApi& a) {
    bool ok = true;
    ok = Bind(m, "InternetOpenA", a.InternetOpenA) && ok;
    ok = Bind(m, "InternetConnectA", a.InternetConnectA) && ok;
    ok = Bind(m, "HttpOpenRequestA", a.HttpOpenRequestA) && ok;
    ok = Bind(m, "HttpAddRequestHeadersA", a.HttpAddRequestHeadersA) && ok;
    ok = Bind(m, "HttpSendRequestA", a.HttpSendRequestA) && ok;
    ok = Bind(m, "HttpSendRequestExA", a.HttpSendRequestExA) && ok;
    ok = Bind(m, "InternetWriteFile", a.InternetWriteFile) && ok;
    ok = Bind(m, "HttpEndRequestA", a.HttpEndRequestA) && ok;
    ok = Bind(m, "HttpQueryInfoA", a.HttpQueryInfoA) && ok;
    ok = Bind(m, "InternetCloseHandle", a.InternetCloseHandle) && ok;
    ok = Bind(m, "InternetQueryOptionA", a.InternetQueryOptionA) && ok;
    ok = Bind(m, "InternetSetOptionA", a.InternetSetOptionA) && ok;
    ok = Bind(m, "FtpOpenFileA", a.FtpOpenFileA) && ok;
    ok = Bind(m, "InternetGetLastResponseInfoA", a.InternetGetLastResponseInfoA) && ok;
    ok = Bind(m, "InternetOpenUrlA", a.InternetOpenUrlA) && ok;
    ok = Bind(m, "InternetReadFile", a.InternetReadFile) && ok;
    ok = Bind(m, "InternetGetConnectedState", a.InternetGetConnectedState) && ok;
    return ok;
}

}  // namespace

bool LoadWinInet() {
    TWinInetLibrary& library = Library();
    std::lock_guard<std::mutex> guard(library.lock);
    if (library.references > 0) {
        ++library.references;
        return true;
    }
    HMODULE module = LoadLibraryW(L"wininet.dll");
    if (module == nullptr) return false;
    TWinInetApi api;
    if (!BindAll(module, api)) {
        FreeLibrary(module);
        return false;
    }
    library.module = module;
    library.api = api;
    library.references = 1;
    return true;
}

void UnloadWinInet() {
    TWinInetLibrary& library = Library();
    std::lock_guard<std::mutex> guard(library.lock);
    if (library.references == 0) return;
    if (--library.references == 0) {
        library.api = TWinInetApi{};
        FreeLibrary(library.module);
        library.module = nullptr;
    }
}

bool WinInetLoaded() {
    TWinInetLibrary& library = Library();
    std::lock_guard<std::mutex> guard(library.lock);
    return library.references > 0;
}

const TWinInetApi& WinInet() { return Library().api; }

std::string GetInternetErrorText(DWORD code) {
    std::string text;
    if (WinInetLoaded()) {
        DWORD serverError = 0;
        DWORD size = 3000;
        std::string buffer(size, '\0');
        if (!WinInet().InternetGetLastResponseInfoA(&serverError, buffer.data(), &size)) {
            size = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? size + 100 : 0;
            buffer.assign(size, '\0');
            if (size == 0 || !WinInet().InternetGetLastResponseInfoA(&serverError, buffer.data(), &size)) size = 0;
        }
        text = std::string(text::Trim(std::string_view(buffer.data(), std::min<size_t>(size, buffer.size()))));
    }
    if (text.empty()) text = InternetErrorTableText(code);
    return text;
}

std::string GetSystemErrorText(DWORD code) {
    char* message = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    std::string text;
    if (length != 0 && message != nullptr) text = std::string(text::Trim(std::string_view(message, length)));
    if (message != nullptr) LocalFree(message);
    return text;
}

void StoreResponseError(DWORD code, THTTPResponse& response) {
    response.ErrorCode = static_cast<int32_t>(code);
    response.ErrorMessage = GetInternetErrorText(code);
    if (response.ErrorMessage.empty()) response.ErrorMessage = GetSystemErrorText(code);
}

bool SetResponseError(bool failed, THTTPResponse& response) {
    // GetLastError means something only right after a call that failed.
    if (failed) StoreResponseError(GetLastError(), response);
    return failed;
}

bool CheckLastError(bool failed, DWORD& code) {
    if (failed) code = GetLastError();
    return failed;
}

void TInternetClose::operator()(HINTERNET handle) const {
    if (WinInetLoaded()) WinInet().InternetCloseHandle(handle);
}

}  // namespace drevnik
