// A blocking TCP client on 127.0.0.1 for tests of our servers.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

namespace fw::test {

class WinsockUser {
public:
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
    WinsockUser(const WinsockUser&) = delete;
    WinsockUser& operator=(const WinsockUser&) = delete;
};

// A port on 127.0.0.1 that nothing listens on just now.
inline int FreeLoopbackPort() {
    WinsockUser winsock;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int length = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    closesocket(s);
    return ntohs(a.sin_port);
}

class TcpClient {
public:
    // Connects at once; Connected() tells whether it did.
    explicit TcpClient(int port) {
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<u_short>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~TcpClient() { Close(); }
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    bool Connected() const { return connected_; }
    // False when the server has closed the connection.
    bool Send(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    // Waits up to `ms` for the server to close (recv gives 0 or an error).
    bool ClosedByServer(int ms) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket_, &set);
        timeval t{ms / 1000, (ms % 1000) * 1000};
        if (select(0, &set, nullptr, nullptr, &t) != 1) return false;
        char c;
        return recv(socket_, &c, 1, 0) <= 0;
    }
    // Ends our sending side only: the connection is half open.
    void ShutdownSend() { shutdown(socket_, SD_SEND); }
    // Closes with a reset instead of the orderly end.
    void Abort() {
        linger l{1, 0};
        setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
        Close();
    }
    void Close() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

private:
    WinsockUser winsock_;
    SOCKET socket_ = INVALID_SOCKET;
    bool connected_ = false;
};

}  // namespace fw::test
