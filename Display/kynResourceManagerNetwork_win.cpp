// The local host's name and address for the Network page's "Auto Detect".
#include <winsock2.h>

#include "Display/kynResourceManager.h"

namespace kyn {

namespace {

class TWinsock11 {
public:
    TWinsock11() {
        WSADATA data;
        ok_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }
    ~TWinsock11() {
        if (ok_) WSACleanup();
    }
    TWinsock11(const TWinsock11&) = delete;
    TWinsock11& operator=(const TWinsock11&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

std::optional<std::vector<uint8_t>> LookUpHost(const std::string& name) {
    const hostent* host = gethostbyname(name.c_str());
    // A name may have no address at all: no entry, or an empty list.
    if (!host || !host->h_addr_list || !host->h_addr_list[0] || host->h_length <= 0) return std::nullopt;
    const auto* bytes = reinterpret_cast<const uint8_t*>(host->h_addr_list[0]);
    return std::vector<uint8_t>(bytes, bytes + host->h_length);
}

std::wstring FromAnsi(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n) - 1);
    return wide;
}

}  // namespace

bool GetLocalHostAddress(std::wstring& hostName, std::wstring& address, std::wstring& errorText) {
    return GetLocalHostAddress(hostName, address, errorText, LookUpHost);
}

bool GetLocalHostAddress(std::wstring& hostName, std::wstring& address, std::wstring& errorText,
                         const THostLookup& lookUp) {
    TWinsock11 winsock;
    if (!winsock.Ok()) {
        errorText = L"Winsock is not responding.\"";
        return false;
    }
    address.clear();
    char buffer[101] = {};
    if (gethostname(buffer, sizeof buffer) != 0) {
        errorText = HostNameErrorText(WSAGetLastError());
        return false;
    }
    buffer[sizeof buffer - 1] = '\0';
    hostName = FromAnsi(buffer);
    const auto bytes = lookUp(buffer);
    if (!bytes) {
        errorText = L"No address found for the host name \"" + hostName + L"\"";
        return false;
    }
    address = HostAddressText(*bytes);
    return true;
}

}  // namespace kyn
