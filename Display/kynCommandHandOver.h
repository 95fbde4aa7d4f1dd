// Hands command lines from connection threads to the GUI thread. Lines run
// one at a time in the order they arrived, across all connections; the
// sending thread waits for its line and gets what it raised, so a failed
// line ends its own connection. A line that opens a modal loop (a message
// box) lets no further line run inside that loop: they wait until it returns.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/core/exceptions.h"

namespace kyn {

// Raised to a sending thread once the hand-over has shut down.
class ECommandsStopped : public fw::Exception { using fw::Exception::Exception; };

class TCommandHandOver {
public:
    using TExecute = std::function<void(const std::wstring& line)>;
    // Asks the GUI thread to call Drain soon; called from any thread.
    using TWake = std::function<void()>;

    TCommandHandOver(TExecute execute, TWake wake);
    TCommandHandOver(const TCommandHandOver&) = delete;
    TCommandHandOver& operator=(const TCommandHandOver&) = delete;

    // On a connection thread: queues the line and waits until the GUI thread
    // has run it; raises what it raised, or ECommandsStopped.
    void Execute(const std::wstring& line);
    // On the GUI thread: runs the lines queued so far and asks for another
    // wake-up when more came meanwhile; a call from inside a running line
    // returns at once (the running Drain goes on after the line).
    void Drain();
    // On the GUI thread: fails every queued and later line.
    void Shutdown();

    // Lines run so far.
    unsigned long Executed() const;

private:
    // Each sender waits on its own item: one line done wakes one thread.
    struct TItem {
        std::wstring line;
        bool done = false;
        std::exception_ptr error;
        std::condition_variable finished;
    };

    TExecute execute_;
    TWake wake_;
    mutable std::mutex lock_;
    std::deque<std::shared_ptr<TItem>> queue_;
    bool wake_pending_ = false;
    bool stopped_ = false;
    bool running_ = false;  // GUI thread only
    unsigned long executed_ = 0;
};

}  // namespace kyn
