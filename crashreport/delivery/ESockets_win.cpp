// The socket layer on WinSock, bound by name from ws2_32.dll, wsock32.dll or
// mswsock.dll, and the DNS server list from IPHLPAPI.DLL, also bound by name.
#include "crashreport/delivery/ESockets_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <string>

#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/delivery/DnsMxQuery.h"
#include "crashreport/delivery/ESockets.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

constexpr int kWouldBlock = 10035;  // WSAEWOULDBLOCK
constexpr SOCKET kNoSocket = INVALID_SOCKET;

struct TWinSockLibraries {
    HMODULE wsock32;
    HMODULE ws2_32;
    HMODULE mswsock;
};

const TWinSockLibraries& WinSockLibraries() {
    // Loaded once and never freed.
    static const TWinSockLibraries libraries{LoadLibraryW(L"wsock32.dll"), LoadLibraryW(L"ws2_32.dll"),
                                             LoadLibraryW(L"mswsock.dll")};
    return libraries;
}

bool winSockStarted = false;

template <typename Fn>
Fn Bound(const wchar_t* name) {
    return reinterpret_cast<Fn>(ResolveWinSockFunction(name));
}

// The system's text for an error code, without the final line break and period.
std::string SystemErrorText(int code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
    if (text.empty()) text = "System error " + std::to_string(code);
    return text;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

sockaddr_in PeerAddress(uint32_t address, uint16_t portNetworkOrder) {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = portNetworkOrder;
    peer.sin_addr.s_addr = address;
    return peer;
}

}  // namespace

// --- Binders -----------------------------------------------------------------

namespace winsock {

int closesocket(SOCKET s) { return Bound<decltype(&::closesocket)>(L"closesocket")(s); }
int connect(SOCKET s, const sockaddr* name, int namelen) {
    return Bound<decltype(&::connect)>(L"connect")(s, name, namelen);
}
u_short htons(u_short hostshort) { return Bound<decltype(&::htons)>(L"htons")(hostshort); }
int ioctlsocket(SOCKET s, long cmd, u_long* argp) { return Bound<decltype(&::ioctlsocket)>(L"ioctlsocket")(s, cmd, argp); }
int recv(SOCKET s, char* buf, int len, int flags) { return Bound<decltype(&::recv)>(L"recv")(s, buf, len, flags); }
int send(SOCKET s, const char* buf, int len, int flags) { return Bound<decltype(&::send)>(L"send")(s, buf, len, flags); }
SOCKET socket(int af, int type, int protocol) { return Bound<decltype(&::socket)>(L"socket")(af, type, protocol); }
hostent* gethostbyname(const char* name) { return Bound<decltype(&::gethostbyname)>(L"gethostbyname")(name); }
int gethostname(char* name, int namelen) { return Bound<decltype(&::gethostname)>(L"gethostname")(name, namelen); }
int WSAAsyncSelect(SOCKET s, HWND hWnd, u_int wMsg, long lEvent) {
    return Bound<decltype(&::WSAAsyncSelect)>(L"WSAAsyncSelect")(s, hWnd, wMsg, lEvent);
}
int WSAGetLastError() { return Bound<decltype(&::WSAGetLastError)>(L"WSAGetLastError")(); }
int WSAStartup(WORD wVersionRequested, WSADATA* lpWSAData) {
    return Bound<decltype(&::WSAStartup)>(L"WSAStartup")(wVersionRequested, lpWSAData);
}
int WSACleanup() { return Bound<decltype(&::WSACleanup)>(L"WSACleanup")(); }

}  // namespace winsock

void* ResolveWinSockFunction(std::wstring_view name) {
    const TWinSockLibraries& libraries = WinSockLibraries();
    const HMODULE library = libraries.ws2_32 ? libraries.ws2_32 : libraries.wsock32 ? libraries.wsock32 : libraries.mswsock;
    const std::string narrow = fw::WideToAnsi(name);
    FARPROC function = library ? GetProcAddress(library, narrow.c_str()) : nullptr;
    if (!function) throw EDrevnikFuncNotFoundError("WinSock's function " + Quoted(narrow) + " can not be found");
    return reinterpret_cast<void*>(function);
}

// --- Start and stop ----------------------------------------------------------

bool StartWinSock() {
    if (winSockStarted) return true;
    WSADATA data{};
    // Only a successful start counts, so that a failed one is tried again and
    // every start is matched by one cleanup.
    winSockStarted = winsock::WSAStartup(0x0101, &data) == 0;
    return winSockStarted;
}

bool StopWinSock() {
    const int result = winsock::WSACleanup();
    winSockStarted = false;
    return result == 0;
}

void SocketsInitStep() { StartWinSock(); }
void SocketsDoneStep() { StopWinSock(); }
void SocketsUnitInit() { RunGuardedStep(SocketsInitStep, "ESockets.Init"); }
void SocketsUnitDone() { RunGuardedStep(SocketsDoneStep, "ESockets.Done"); }

// --- Client socket -----------------------------------------------------------

TDrevnikClientSocket::TDrevnikClientSocket(std::string host, uint16_t port, bool tcp, uint32_t timeoutMs)
    : host_(std::move(host)),
      port_(port),
      socketType_(tcp ? kStream : kDatagram),
      timeoutMs_(timeoutMs),
      socket_(kNoSocket) {}

TDrevnikClientSocket::~TDrevnikClientSocket() {
    if (!connected_) return;
    try {
        Disconnect();
    } catch (...) {
        // Nothing can be reported from here; the handle goes with the process.
    }
}

void TDrevnikClientSocket::Connect() {
    if (connected_) return;
    StartWinSock();
    const SOCKET s = winsock::socket(AF_INET, socketType_, 0);
    if (s == kNoSocket) RaiseSocketError("Invalid socket: " + Quoted(SystemErrorText(winsock::WSAGetLastError())) + ".");
    // A socket that does not get connected is closed again rather than leaked.
    auto closeOnFailure = [s] { winsock::closesocket(s); };
    try {
        const uint32_t address = ResolveHost(host_);
        if (address == 0) throw EDrevnikSocketError("Unable to resolve host " + Quoted(host_) + ".");
        const sockaddr_in peer = PeerAddress(address, winsock::htons(port_));
        // No window notifications; the socket blocks.
        winsock::WSAAsyncSelect(s, nullptr, 0, 0);
        u_long nonBlocking = 0;
        winsock::ioctlsocket(s, static_cast<long>(FIONBIO), &nonBlocking);
        if (winsock::connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0)
            RaiseSocketError("Connection error: " + Quoted(SystemErrorText(winsock::WSAGetLastError())));
        socket_ = s;
        peerAddress_ = address;
    } catch (...) {
        closeOnFailure();
        throw;
    }
    connected_ = true;
    const auto* b = reinterpret_cast<const unsigned char*>(&peerAddress_);
    log_ = "Connected to " + std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]) + " port " + std::to_string(port_) + "\r\n";
    errorLog_.clear();
}

void TDrevnikClientSocket::CloseAndReset() {
    socket_ = kNoSocket;
    peerAddress_ = 0;
    connected_ = false;
    log_.clear();
    errorLog_.clear();
}

void TDrevnikClientSocket::Disconnect() {
    if (winsock::closesocket(socket_) != 0)
        RaiseSocketError("Cannot close the socket: " + Quoted(SystemErrorText(winsock::WSAGetLastError())));
    CloseAndReset();
}

void TDrevnikClientSocket::FailTransfer(const char* operation, int error) {
    // The message is made before the socket is closed: closing empties the
    // logs that it reports.
    const std::string message = ComposeSocketError(
        "Error into " + Quoted(operation) + ": " + Quoted(SystemErrorText(error)), log_, errorLog_, host_, port_);
    winsock::closesocket(socket_);
    CloseAndReset();
    throw EDrevnikSocketError(message);
}

int TDrevnikClientSocket::SendBuffer(const char* data, int length) {
    if (!connected_) return 0;
    const int result = winsock::send(socket_, data, length, 0);
    if (result == SOCKET_ERROR) {
        const int error = winsock::WSAGetLastError();
        if (error != kWouldBlock) {
            if (error != 0) FailTransfer("send", error);
            winsock::closesocket(socket_);
            CloseAndReset();
        }
    }
    errorLog_.clear();
    return result;
}

int TDrevnikClientSocket::ReceiveBuffer(char* data, int length) {
    if (!connected_) return 0;
    if (length == -1) {
        u_long waiting = 0;
        if (winsock::ioctlsocket(socket_, static_cast<long>(FIONREAD), &waiting) != 0) return 0;
        return static_cast<int>(waiting);
    }
    const int result = winsock::recv(socket_, data, length, 0);
    if (result == SOCKET_ERROR) {
        const int error = winsock::WSAGetLastError();
        if (error != kWouldBlock) {
            if (error != 0) FailTransfer("recv", error);
            winsock::closesocket(socket_);
            CloseAndReset();
        }
    }
    return result;
}

int32_t TDrevnikClientSocket::SendText(std::string_view text) {
    std::function<void(int32_t, int32_t)> progress;
    if (OnSent) progress = [this](int32_t position, int32_t total) { OnSent(this, position, total); };
    return SendTextInPieces(
        text, [this](const char* data, int length) { return SendBuffer(data, length); }, progress);
}

bool TDrevnikClientSocket::IsReplyComplete(std::string_view reply) const {
    return socketType_ == kDatagram && !reply.empty();
}

void TDrevnikClientSocket::ReadAvailable(std::string& reply) {
    reply.clear();
    int waiting = ReceiveBuffer(nullptr, -1);
    while (waiting > 0) {
        std::string chunk(static_cast<size_t>(waiting), '\0');
        const int got = ReceiveBuffer(chunk.data(), waiting);
        if (got == 0) return;  // the peer closed the connection
        if (got > 0) {
            chunk.resize(static_cast<size_t>(got));
            reply += chunk;
            log_ += chunk;
            errorLog_ += chunk;
            if (IsReplyComplete(reply)) return;
        }
        const DWORD lastRead = GetTickCount();
        for (;;) {
            waiting = ReceiveBuffer(nullptr, -1);
            if (waiting > 0 || !connected_ || GetTickCount() - lastRead >= kReplySilenceMs) break;
            Sleep(1);
        }
    }
}

void TDrevnikClientSocket::ReadWithTimeout(std::string& reply) {
    const DWORD start = GetTickCount();
    for (;;) {
        ReadAvailable(reply);
        if (!reply.empty() || GetTickCount() - start >= timeoutMs_) return;
        Sleep(1);
    }
}

void TDrevnikClientSocket::ReadReply(std::string& reply) {
    ReadWithTimeout(reply);
    if (reply.empty()) RaiseSocketError("Socket timeout.");
}

uint32_t TDrevnikClientSocket::ResolveHost(const std::string& host) {
    const hostent* entry = winsock::gethostbyname(host.c_str());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list || !entry->h_addr_list[0])
        return 0;
    uint32_t address = 0;
    memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

void TDrevnikClientSocket::RaiseSocketError(std::string_view message) const {
    throw EDrevnikSocketError(ComposeSocketError(message, log_, errorLog_, host_, port_));
}

// --- SMTP client -------------------------------------------------------------

void TDrevnikClientSMTP::Connect() {
    TDrevnikClientSocket::Connect();
    if (!CheckReply({220})) RaiseSocketError(log_);
}

bool TDrevnikClientSMTP::CheckReply(std::initializer_list<uint16_t> accepted) {
    std::string reply;
    ReadReply(reply);
    const std::optional<uint32_t> code = SmtpReplyCode(reply);
    if (!code) return false;
    for (uint16_t a : accepted)
        if (a == *code) return true;
    return false;
}

bool TDrevnikClientSMTP::SendCommand(std::string_view command, std::initializer_list<uint16_t> accepted) {
    if (command.empty()) return false;
    std::string line(command);
    if (!line.ends_with("\r\n")) line += "\r\n";
    if (SendText(line) == static_cast<int32_t>(line.size())) {
        log_ += line;
        errorLog_.clear();
        if (CheckReply(accepted)) return true;
    }
    RaiseSocketError(log_);
}

bool TDrevnikClientSMTP::IsReplyComplete(std::string_view reply) const { return IsCompleteSmtpReply(reply); }

// --- DNS ---------------------------------------------------------------------

std::vector<std::string> GetDnsServers() {
    std::vector<std::string> servers;
    if (HMODULE iphlpapi = LoadLibraryW(L"IPHLPAPI.DLL")) {
        using TGetNetworkParams = DWORD(WINAPI*)(PFIXED_INFO, PULONG);
        auto getNetworkParams = reinterpret_cast<TGetNetworkParams>(
            reinterpret_cast<void*>(GetProcAddress(iphlpapi, "GetNetworkParams")));
        ULONG size = 0;
        if (getNetworkParams && getNetworkParams(nullptr, &size) == ERROR_BUFFER_OVERFLOW && size >= sizeof(FIXED_INFO)) {
            auto buffer = std::make_unique<unsigned char[]>(size);
            auto* info = reinterpret_cast<FIXED_INFO*>(buffer.get());
            if (getNetworkParams(info, &size) == ERROR_SUCCESS) {
                for (const IP_ADDR_STRING* entry = &info->DnsServerList; entry; entry = entry->Next)
                    AddDnsServer(servers, std::string_view(entry->IpAddress.String,
                                                           strnlen(entry->IpAddress.String, sizeof entry->IpAddress.String)));
            }
        }
        FreeLibrary(iphlpapi);
    }
    AddDnsServer(servers, kBuiltInDnsServer);
    return servers;
}

std::string LookupMXHost(std::string_view address, uint32_t timeoutMs) {
    std::vector<TDnsServer> servers;
    for (std::string& host : GetDnsServers()) servers.push_back({std::move(host), 53});
    return LookupMXHost(address, timeoutMs, servers);
}

std::string LookupMXHost(std::string_view address, uint32_t timeoutMs, const std::vector<TDnsServer>& servers) {
    const uint32_t perTryMs = (timeoutMs + 150) / 3;
    const std::string domain = MxDomainOf(address);
    const std::string query = BuildMxQuery(domain);
    std::string host;
    if (!query.empty()) {
        for (const TDnsServer& server : servers) {
            for (uint32_t attempt = 0; attempt < 3 && host.empty(); ++attempt) {
                TDrevnikClientSocket socket(server.Host, server.Port, false, perTryMs + 100 * attempt);
                socket.Connect();
                if (socket.SendText(query) != static_cast<int32_t>(query.size())) continue;
                std::string reply;
                socket.ReadWithTimeout(reply);
                if (!reply.empty()) host = ParseMxReply(reply);
            }
            if (!host.empty()) break;
        }
    }
    if (host.empty()) throw EDrevnikSocketError("Cannot resolve the " + Quoted(domain) + " MX record.");
    return host;
}

}  // namespace drevnik
