// WinInet bound by name at run time, and the error texts of its calls.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "crashreport/delivery/THTTPResponse.h"
#include "framework/core/scoped_handle.h"

namespace drevnik {

struct TWinInetApi {
    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetConnectA) InternetConnectA = nullptr;
    decltype(&::HttpOpenRequestA) HttpOpenRequestA = nullptr;
    decltype(&::HttpAddRequestHeadersA) HttpAddRequestHeadersA = nullptr;
    decltype(&::HttpSendRequestA) HttpSendRequestA = nullptr;
    decltype(&::HttpSendRequestExA) HttpSendRequestExA = nullptr;
    decltype(&::InternetWriteFile) InternetWriteFile = nullptr;
    decltype(&::HttpEndRequestA) HttpEndRequestA = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::InternetQueryOptionA) InternetQueryOptionA = nullptr;
    decltype(&::InternetSetOptionA) InternetSetOptionA = nullptr;
    decltype(&::FtpOpenFileA) FtpOpenFileA = nullptr;
    decltype(&::InternetGetLastResponseInfoA) InternetGetLastResponseInfoA = nullptr;
    decltype(&::InternetOpenUrlA) InternetOpenUrlA = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetGetConnectedState) InternetGetConnectedState = nullptr;
};

// Loads "wininet.dll" and binds its functions; false (and nothing kept) when
// the library or one function is missing. Each success holds a reference
// that one UnloadWinInet releases.
bool LoadWinInet();
void UnloadWinInet();
bool WinInetLoaded();
// The bound functions; valid while a reference is held.
const TWinInetApi& WinInet();

// The server's last response text, else the table's text of the code, else empty.
std::string GetInternetErrorText(DWORD code);
// The system's message text of a Windows error code (no line break at the end).
std::string GetSystemErrorText(DWORD code);

// When `failed`, reads GetLastError at once and stores the code and its text
// in the response. Returns `failed`.
bool SetResponseError(bool failed, THTTPResponse& response);
void StoreResponseError(DWORD code, THTTPResponse& response);
// When `failed`, stores GetLastError in `code`. Returns `failed`.
bool CheckLastError(bool failed, DWORD& code);

// Closes a WinInet handle when it goes out of scope, through the bound
// library while it is loaded.
struct TInternetClose {
    static HINTERNET Empty() { return nullptr; }
    void operator()(HINTERNET handle) const;
};
using TInternetHandle = fw::TScopedHandle<HINTERNET, TInternetClose>;

}  // namespace drevnik
