// The WinINet helpers of the transfers.
#include "Updater/NcWinInet.h"

#include <vector>

namespace oru {

void NcSetTimeouts(HINTERNET h, DWORD ms) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(h, option, &ms, sizeof ms);
    }
}

std::wstring NcLastServerReply() {
    DWORD error = 0;
    DWORD len = 0;
    InternetGetLastResponseInfoW(&error, nullptr, &len);
    std::vector<wchar_t> text(len + 1);
    len = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoW(&error, text.data(), &len)) return std::wstring();
    return std::wstring(text.data());
}

bool TNcInternetSource::Read(char* buffer, std::size_t want, std::size_t& got) {
    DWORD n = 0;
    if (!InternetReadFile(handle_, buffer, static_cast<DWORD>(want), &n)) {
        error_ = GetLastError();
        return false;
    }
    got = n;
    return true;
}

bool TNcInternetSink::Write(const char* data, std::size_t size) {
    while (size > 0) {
        DWORD n = 0;
        if (!InternetWriteFile(handle_, data, static_cast<DWORD>(size), &n) || n == 0) {
            error_ = GetLastError();
            // A write that took nothing without an error code.
            if (error_ == 0) error_ = ERROR_INTERNET_CONNECTION_ABORTED;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace oru
