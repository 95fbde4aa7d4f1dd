// The crash library's socket layer: a small blocking TCP/UDP client with a
// socket log that goes into its error messages, the SMTP command client on top
// of it, and the mail-exchanger lookup by a DNS MX query. The classes work on
// Windows only (WinSock bound by name at run time); the text rules they follow
// are platform-free and declared here as well.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/exceptions.h"

namespace drevnik {

// Messages are the library's 8-bit text.
class EDrevnikWinSockError : public fw::Exception {
public:
    explicit EDrevnikWinSockError(std::string_view message);
};
// Every failure of the client socket and of the MX lookup.
class EDrevnikSocketError : public EDrevnikWinSockError {
    using EDrevnikWinSockError::EDrevnikWinSockError;
};
// A WinSock function that cannot be bound.
class EDrevnikFuncNotFoundError : public EDrevnikSocketError {
    using EDrevnikSocketError::EDrevnikSocketError;
};

// --- Platform-free rules -----------------------------------------------------

// Text sends go out in pieces of at most this many bytes.
constexpr size_t kSendPieceSize = 1024;
// A read ends after this much silence since the last data.
constexpr uint32_t kReplySilenceMs = 1001;
// Error messages are cut to this many characters (and "..." appended).
constexpr size_t kMaxSocketErrorLength = 1024;
// Asked after the system's own DNS servers.
inline constexpr const char* kBuiltInDnsServer = "8.8.8.8";

// The error message of a socket failure: the message with the error log (what
// came since the last command), the socket log and the destination. A message
// that begins with the socket log (the SMTP client passes the log itself) is
// not given the log twice.
std::string ComposeSocketError(std::string_view message, std::string_view log, std::string_view errorLog,
                               std::string_view host, uint16_t port);

// Sends text in pieces of at most kSendPieceSize bytes through `send`, which
// answers how many bytes went out (0 or less: nothing more can go). A piece
// that went out only in part is completed before the next one. After every
// send that moved data, `onSent` (when set) hears the 1-based position of the
// next byte to send and the text's length. The result is the number of bytes
// that went out; less than the text's length means the send failed.
int32_t SendTextInPieces(std::string_view text, const std::function<int(const char*, int)>& send,
                         const std::function<void(int32_t position, int32_t total)>& onSent);

// The value of the run of decimal digits that opens an SMTP reply; empty when
// the reply does not start with a digit or the run is too long to be a code.
std::optional<uint32_t> SmtpReplyCode(std::string_view reply);

// True when the reply ends with a final reply line: a line break after a line
// that is a three-digit code alone or a code and a blank (not a hyphen).
bool IsCompleteSmtpReply(std::string_view reply);

// The domain of a mail address: what follows the first at sign, or the whole
// text when there is none.
std::string MxDomainOf(std::string_view address);

// An address from the system's DNS list is used unless it is blank or
// 0.0.0.0 (an unset entry).
bool IsUsableDnsAddress(std::string_view address);
void AddDnsServer(std::vector<std::string>& servers, std::string_view address);

// --- WinSock -----------------------------------------------------------------

// The address of a WinSock function, looked up by name in ws2_32.dll, else
// wsock32.dll, else mswsock.dll (each loaded once, on the first call).
// Raises EDrevnikFuncNotFoundError when none loaded or the function is missing.
void* ResolveWinSockFunction(std::wstring_view name);

bool StartWinSock();
bool StopWinSock();
// The unit's start-up and shut-down steps (StartWinSock, StopWinSock), and
// their runs through RunGuardedStep as "ESockets.Init" and "ESockets.Done".
void SocketsInitStep();
void SocketsDoneStep();
void SocketsUnitInit();
void SocketsUnitDone();

class TDrevnikClientSocket {
public:
    using TSentEvent = std::function<void(TDrevnikClientSocket* sender, int32_t position, int32_t total)>;
    static constexpr int32_t kStream = 1;
    static constexpr int32_t kDatagram = 2;

    TDrevnikClientSocket(std::string host, uint16_t port, bool tcp, uint32_t timeoutMs);
    virtual ~TDrevnikClientSocket();
    TDrevnikClientSocket(const TDrevnikClientSocket&) = delete;
    TDrevnikClientSocket& operator=(const TDrevnikClientSocket&) = delete;

    virtual void Connect();
    virtual void Disconnect();

    // Returns the bytes that went out (see SendTextInPieces).
    int32_t SendText(std::string_view text);
    // ReadWithTimeout, raising "Socket timeout." when nothing came.
    void ReadReply(std::string& reply);
    // Repeats ReadAvailable until something came or TimeoutMs passed.
    void ReadWithTimeout(std::string& reply);
    // Reads what is waiting and whatever follows until a silence of about a
    // second, or until the reply is complete (IsReplyComplete). Nothing waiting
    // at the start gives an empty reply at once.
    void ReadAvailable(std::string& reply);
    // One send; 0 when not connected. An error other than "would block"
    // closes the socket and raises.
    int SendBuffer(const char* data, int length);
    // One recv, with the error handling of SendBuffer; with length -1 the
    // number of bytes waiting.
    int ReceiveBuffer(char* data, int length);
    // First IPv4 address of the host (network byte order), 0 when none.
    static uint32_t ResolveHost(const std::string& host);
    [[noreturn]] void RaiseSocketError(std::string_view message) const;

    const std::string& Host() const { return host_; }
    uint16_t Port() const { return port_; }
    int32_t SocketType() const { return socketType_; }
    uint32_t TimeoutMs() const { return timeoutMs_; }
    bool Connected() const { return connected_; }
    const std::string& Log() const { return log_; }
    const std::string& ErrorLog() const { return errorLog_; }

    TSentEvent OnSent;

protected:
    // Whether the reply read so far is whole, so that reading need not wait
    // for the silence. A datagram is always a whole reply; a stream has no
    // rule of its own.
    virtual bool IsReplyComplete(std::string_view reply) const;

    std::string log_;
    std::string errorLog_;

private:
    [[noreturn]] void FailTransfer(const char* operation, int error);
    void CloseAndReset();

    std::string host_;
    uint16_t port_;
    int32_t socketType_;
    uint32_t timeoutMs_;
    bool connected_ = false;
    uintptr_t socket_;
    uint32_t peerAddress_ = 0;  // network byte order
};

class TDrevnikClientSMTP : public TDrevnikClientSocket {
public:
    using TDrevnikClientSocket::TDrevnikClientSocket;

    // Connects and requires the greeting 220.
    void Connect() override;
    // Sends the command (CR LF appended unless present) and requires one of the
    // accepted codes: false for an empty command, true, or an exception that
    // carries the socket log.
    bool SendCommand(std::string_view command, std::initializer_list<uint16_t> accepted);
    // Reads a reply; true when its code is one of the accepted ones.
    bool CheckReply(std::initializer_list<uint16_t> accepted);

protected:
    bool IsReplyComplete(std::string_view reply) const override;
};

// Dotted addresses of the system's DNS servers followed by kBuiltInDnsServer.
std::vector<std::string> GetDnsServers();

struct TDnsServer {
    std::string Host;
    uint16_t Port = 53;
};

// The mail host of the address's domain, asked of the system's DNS servers
// (port 53) in turn, three tries each. Raises EDrevnikSocketError when none
// answers with a usable name.
std::string LookupMXHost(std::string_view address, uint32_t timeoutMs);
// The same, asking the given servers.
std::string LookupMXHost(std::string_view address, uint32_t timeoutMs, const std::vector<TDnsServer>& servers);

}  // namespace drevnik
