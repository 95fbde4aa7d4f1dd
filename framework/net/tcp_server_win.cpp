// TIdTCPServer on Winsock 2: one accepting thread per listening socket and
// one thread per connection.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "framework/net/tcp_server.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>

#include "framework/net/line_framer.h"

namespace fw::net {

namespace {

class TWinsock {
public:
    TWinsock() {
        WSADATA data;
        ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~TWinsock() {
        if (ok_) WSACleanup();
    }
    TWinsock(const TWinsock&) = delete;
    TWinsock& operator=(const TWinsock&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

std::wstring SocketErrorText(const wchar_t* what, int code) {
    return std::wstring(what) + L" (socket error " + std::to_wstring(code) + L")";
}

// Wine does not wake a recv blocked on a socket that another thread shuts
// down, so waiting reads and accepts look at the stop flag now and then.
constexpr int kStopPollMs = 200;

// Threads that serve connections spend most of their time in recv; they need
// little stack.
constexpr SIZE_T kThreadStack = 256 * 1024;

template <class F>
DWORD WINAPI ThreadEntry(void* p) {
    std::unique_ptr<F> own(static_cast<F*>(p));
    (*own)();
    return 0;
}

template <class F>
bool StartThread(F body) {
    auto* heap = new F(std::move(body));
    HANDLE thread = CreateThread(nullptr, kThreadStack, &ThreadEntry<F>, heap, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) {
        delete heap;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace

struct TIdTCPServer::Impl {
    TWinsock winsock;
    std::function<void(TIdContext&)> execute;
    size_t max_line = kMaxLineLength;
    int max_connections = kMaxConnections;

    std::mutex lock;
    std::condition_variable changed;
    std::atomic<bool> stopping{false};
    struct Listener {
        SOCKET socket = INVALID_SOCKET;
        int port = 0;
        bool running = false;
    };
    std::vector<Listener> listeners;  // one per binding while active
    int accepting = 0;                // accepting threads still running
    std::set<SOCKET> connections;

    SOCKET Listen(const TSocketBinding& binding, int& boundPort);
    void Accept(const std::shared_ptr<Impl>& self, size_t index);
    void Serve(SOCKET socket);
};

namespace {

class TConnectionContext : public TIdContext {
public:
    TConnectionContext(SOCKET socket, size_t maxLine, const std::atomic<bool>& stopping)
        : socket_(socket), framer_(maxLine), stopping_(stopping) {}

    std::wstring ReadLn() override {
        while (lines_.empty()) {
            if (closed_) throw EConnectionClosed(L"Connection closed");
            if (!WaitReadable()) continue;
            char buffer[8192];
            const int got = recv(socket_, buffer, sizeof buffer, 0);
            if (got <= 0) {
                closed_ = true;
                throw EConnectionClosed(L"Connection closed gracefully.");
            }
            std::vector<std::wstring> lines;
            const bool ok = framer_.Feed(buffer, static_cast<size_t>(got), lines);
            for (auto& line : lines) lines_.push_back(std::move(line));
            if (!ok) {
                // The lines ended before the long one still run.
                closed_ = true;
                if (lines_.empty()) throw EConnectionClosed(L"Line too long");
            }
        }
        std::wstring line = std::move(lines_.front());
        lines_.pop_front();
        return line;
    }

    void Disconnect() override {
        closed_ = true;
        shutdown(socket_, SD_BOTH);
    }

    bool Closed() const { return closed_ && lines_.empty(); }

private:
    // False after a poll interval without data; raises once the server stops.
    bool WaitReadable() {
        if (stopping_) {
            closed_ = true;
            throw EConnectionClosed(L"Server stopped");
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket_, &set);
        timeval wait{0, kStopPollMs * 1000};
        return select(0, &set, nullptr, nullptr, &wait) != 0;
    }

    SOCKET socket_;
    TLineFramer framer_;
    const std::atomic<bool>& stopping_;
    std::deque<std::wstring> lines_;
    bool closed_ = false;
};

}  // namespace

SOCKET TIdTCPServer::Impl::Listen(const TSocketBinding& binding, int& boundPort) {
    if (!winsock.Ok()) throw ESocketError(L"Winsock could not be started");
    if (binding.Port < 0 || binding.Port > 65535)
        throw ESocketError(L"Port " + std::to_wstring(binding.Port) + L" is outside 0 to 65535");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(binding.Port));
    if (binding.IP.empty()) {
        address.sin_addr.s_addr = htonl(INADDR_ANY);
    } else if (InetPtonW(AF_INET, binding.IP.c_str(), &address.sin_addr) != 1) {
        throw ESocketError(L"'" + binding.IP + L"' is not an IPv4 address");
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw ESocketError(SocketErrorText(L"Could not create a socket", WSAGetLastError()));
    // Another program may not take over our port.
    BOOL exclusive = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, SOMAXCONN) != 0) {
        const int code = WSAGetLastError();
        closesocket(s);
        throw ESocketError(SocketErrorText(L"Could not bind socket. Address and port are already in use or not local.", code));
    }
    sockaddr_in got{};
    int length = sizeof got;
    boundPort = getsockname(s, reinterpret_cast<sockaddr*>(&got), &length) == 0 ? ntohs(got.sin_port) : binding.Port;
    return s;
}

void TIdTCPServer::Impl::Accept(const std::shared_ptr<Impl>& self, size_t index) {
    SOCKET listener;
    {
        std::lock_guard guard(lock);
        listener = listeners[index].socket;
    }
    for (;;) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener, &set);
        timeval wait{0, kStopPollMs * 1000};
        if (!stopping && select(0, &set, nullptr, nullptr, &wait) == 0) continue;
        SOCKET s = stopping ? INVALID_SOCKET : accept(listener, nullptr, nullptr);
        std::unique_lock guard(lock);
        if (stopping) {
            if (s != INVALID_SOCKET) closesocket(s);
            break;
        }
        if (s == INVALID_SOCKET) {
            // Out of resources for now: try again shortly.
            guard.unlock();
            Sleep(10);
            continue;
        }
        if (static_cast<int>(connections.size()) >= max_connections) {
            closesocket(s);
            continue;
        }
        BOOL keepAlive = TRUE;
        setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&keepAlive), sizeof keepAlive);
        connections.insert(s);
        guard.unlock();
        if (!StartThread([self, s] { self->Serve(s); })) {
            std::lock_guard again(lock);
            connections.erase(s);
            closesocket(s);
            changed.notify_all();
        }
    }
    std::lock_guard guard(lock);
    listeners[index].running = false;
    --accepting;
    changed.notify_all();
}

void TIdTCPServer::Impl::Serve(SOCKET socket) {
    TConnectionContext context(socket, max_line, stopping);
    for (;;) {
        if (stopping) break;
        try {
            execute(context);
        } catch (...) {
            // The handler's failure, or the peer gone: this connection ends.
            break;
        }
        if (context.Closed()) break;
    }
    shutdown(socket, SD_BOTH);
    std::lock_guard guard(lock);
    connections.erase(socket);
    closesocket(socket);
    changed.notify_all();
}

TIdTCPServer::TIdTCPServer(TComponent* owner) : TComponent(owner), impl_(std::make_shared<Impl>()) {}

TIdTCPServer::~TIdTCPServer() { SetActive(false); }

bool TIdTCPServer::HasBinding(const TSocketBinding& binding) const {
    for (const auto& b : bindings_)
        if (b == binding) return true;
    return false;
}

void TIdTCPServer::AddBinding(const TSocketBinding& binding) {
    if (!active_) {
        bindings_.push_back(binding);
        return;
    }
    int port = 0;
    const auto socket = impl_->Listen(binding, port);
    bindings_.push_back(binding);
    std::lock_guard guard(impl_->lock);
    impl_->listeners.push_back({socket, port, true});
    ++impl_->accepting;
    const size_t index = impl_->listeners.size() - 1;
    auto self = impl_;
    if (!StartThread([self, index] { self->Accept(self, index); })) {
        impl_->listeners.back().running = false;
        --impl_->accepting;
    }
}

void TIdTCPServer::SetActive(bool active) {
    if (active == active_) return;
    Impl& impl = *impl_;
    if (active) {
        impl.execute = OnExecute;
        impl.max_line = MaxLineLength;
        impl.max_connections = MaxConnections;
        std::vector<Impl::Listener> opened;
        try {
            for (const auto& binding : bindings_) {
                int port = 0;
                opened.push_back({impl.Listen(binding, port), port, true});
            }
        } catch (...) {
            for (auto& l : opened) closesocket(l.socket);
            throw;
        }
        {
            std::lock_guard guard(impl.lock);
            impl.stopping = false;
            impl.listeners = std::move(opened);
            impl.accepting = static_cast<int>(impl.listeners.size());
        }
        active_ = true;
        auto self = impl_;
        for (size_t i = 0; i < impl.listeners.size(); ++i) {
            if (!StartThread([self, i] { self->Accept(self, i); })) {
                std::lock_guard guard(impl.lock);
                impl.listeners[i].running = false;
                --impl.accepting;
            }
        }
        return;
    }
    // Stop: close the listeners (accept returns), shut every connection down
    // (recv returns), then wait for all threads.
    std::unique_lock guard(impl.lock);
    impl.stopping = true;
    for (auto& l : impl.listeners) {
        closesocket(l.socket);
        l.socket = INVALID_SOCKET;
    }
    for (SOCKET s : impl.connections) shutdown(s, SD_BOTH);
    impl.changed.wait(guard, [&] { return impl.accepting == 0 && impl.connections.empty(); });
    impl.listeners.clear();
    active_ = false;
}

int TIdTCPServer::ConnectionCount() const {
    std::lock_guard guard(impl_->lock);
    return static_cast<int>(impl_->connections.size());
}

int TIdTCPServer::ListeningPort(size_t index) const {
    std::lock_guard guard(impl_->lock);
    if (index >= impl_->listeners.size() || impl_->listeners[index].socket == INVALID_SOCKET) return 0;
    return impl_->listeners[index].port;
}

}  // namespace fw::net
