// TIdTCPServer: a TCP server component. Bindings (address and port) are
// added one at a time; while Active it listens on each and serves every
// connection on a thread of its own, calling OnExecute again and again
// until the peer goes or the handler raises (which closes that connection
// only). A line over MaxLineLength closes its connection; a connection
// beyond MaxConnections is closed as soon as it is accepted.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/exceptions.h"

namespace fw::net {

constexpr size_t kMaxLineLength = 64 * 1024;
constexpr int kMaxConnections = 256;

// A socket failure: a bad address, a port that cannot be bound.
class ESocketError : public Exception { using Exception::Exception; };
// The peer closed the connection (or sent a line over the cap): ends the
// connection without a fault.
class EConnectionClosed : public ESocketError { using ESocketError::ESocketError; };

struct TSocketBinding {
    std::wstring IP;  // dotted IPv4; empty for every local address
    int Port = 0;
    bool operator==(const TSocketBinding&) const = default;
};

// One connection as its handler sees it; used on the connection's thread.
class TIdContext {
public:
    virtual ~TIdContext() = default;
    // The next line without its LF (and CR); waits as long as it takes.
    // Raises EConnectionClosed when the peer has gone or the line is over
    // the cap.
    virtual std::wstring ReadLn() = 0;
    virtual void Disconnect() = 0;
};

class TIdTCPServer : public TComponent {
public:
    explicit TIdTCPServer(TComponent* owner);
    // Deactivates: closes every connection and waits for its thread.
    ~TIdTCPServer() override;

    // Run on each connection's thread, once per call, while it lasts.
    std::function<void(TIdContext& context)> OnExecute;
    size_t MaxLineLength = kMaxLineLength;
    int MaxConnections = kMaxConnections;

    const std::vector<TSocketBinding>& Bindings() const { return bindings_; }
    bool HasBinding(const TSocketBinding& binding) const;
    // Adds a binding (port 0 to 65535). On an active server it listens at
    // once; a binding that cannot listen raises ESocketError and is not kept.
    void AddBinding(const TSocketBinding& binding);

    bool Active() const { return active_; }
    // Listens on every binding, or stops listening and closes every
    // connection. ESocketError when a binding cannot listen (nothing is
    // listening then).
    void SetActive(bool active);

    // Connections being served now.
    int ConnectionCount() const;
    // The port the listener of binding `index` got (the binding's own port,
    // or the one the system chose for port 0); 0 when not listening.
    int ListeningPort(size_t index) const;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
    std::vector<TSocketBinding> bindings_;
    bool active_ = false;
};

}  // namespace fw::net
