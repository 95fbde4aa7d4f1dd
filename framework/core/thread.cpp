// TThread on std::thread, and the main thread's call queue.
#include "framework/core/thread.h"

#include <deque>
#include <memory>

#include "framework/core/exceptions.h"

namespace fw {
namespace {

struct TSyncCall {
    TThread* thread;
    std::function<void()> method;
    // Set for Synchronize: the caller waits on it.
    bool waited = false;
    bool done = false;
    std::exception_ptr error;
};

struct TSyncQueue {
    std::mutex lock;
    std::condition_variable ran;
    std::deque<std::shared_ptr<TSyncCall>> calls;
    std::function<void()> wakeup;
    std::thread::id main = std::this_thread::get_id();
};

TSyncQueue& Sync() {
    static TSyncQueue queue;
    return queue;
}

// The thread that runs static initialisation is the program's main thread.
const bool kMainThreadNoted = (Sync(), true);

void Post(const std::shared_ptr<TSyncCall>& call) {
    std::function<void()> wakeup;
    {
        std::lock_guard<std::mutex> guard(Sync().lock);
        Sync().calls.push_back(call);
        wakeup = Sync().wakeup;
    }
    if (wakeup) wakeup();
}

}  // namespace

void SetMainThread() {
    std::lock_guard<std::mutex> guard(Sync().lock);
    Sync().main = std::this_thread::get_id();
}

bool IsMainThread() {
    (void)kMainThreadNoted;
    std::lock_guard<std::mutex> guard(Sync().lock);
    return Sync().main == std::this_thread::get_id();
}

void SetSynchronizeWakeup(std::function<void()> wakeup) {
    std::lock_guard<std::mutex> guard(Sync().lock);
    Sync().wakeup = std::move(wakeup);
}

bool CheckSynchronize() {
    bool any = false;
    for (;;) {
        std::shared_ptr<TSyncCall> call;
        {
            std::lock_guard<std::mutex> guard(Sync().lock);
            if (Sync().calls.empty()) return any;
            call = Sync().calls.front();
            Sync().calls.pop_front();
        }
        any = true;
        try {
            call->method();
        } catch (...) {
            // A queued call has nobody to hand the exception to.
            if (call->waited) call->error = std::current_exception();
        }
        std::lock_guard<std::mutex> guard(Sync().lock);
        call->done = true;
        Sync().ran.notify_all();
    }
}

TThread::TThread() = default;

TThread::~TThread() {
    {
        std::lock_guard<std::mutex> guard(Sync().lock);
        auto& calls = Sync().calls;
        for (auto it = calls.begin(); it != calls.end();) {
            it = ((*it)->thread == this && !(*it)->waited) ? calls.erase(it) : it + 1;
        }
    }
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        // Freeing itself at the end of Run.
        thread_.detach();
        return;
    }
    Terminate();
    WaitFor();
}

void TThread::Start() {
    if (started_.exchange(true)) throw EInvalidOperation(L"Cannot start a thread that has started");
    thread_ = std::thread([this] { Run(); });
}

void TThread::Run() {
    try {
        Execute();
    } catch (...) {
        fatal_exception_ = std::current_exception();
    }
    if (OnTerminate) {
        try {
            Synchronize([this] { OnTerminate(this); });
        } catch (...) {
        }
    }
    const bool self_free = free_on_terminate_;
    {
        std::lock_guard<std::mutex> guard(done_lock_);
        finished_ = true;
        done_.notify_all();
    }
    if (self_free) delete this;
}

int TThread::WaitFor() {
    if (!started_) throw EInvalidOperation(L"Cannot wait for a thread that has not started");
    if (free_on_terminate_) throw EInvalidOperation(L"Cannot wait for a thread that frees itself");
    if (thread_.get_id() == std::this_thread::get_id()) throw EInvalidOperation(L"A thread cannot wait for itself");
    const bool main = IsMainThread();
    std::unique_lock<std::mutex> lock(done_lock_);
    while (!finished_) {
        if (!main) {
            done_.wait(lock);
            continue;
        }
        // The thread may be waiting in Synchronize for this very thread.
        lock.unlock();
        CheckSynchronize();
        lock.lock();
        done_.wait_for(lock, std::chrono::milliseconds(5));
    }
    lock.unlock();
    if (thread_.joinable()) thread_.join();
    return ReturnValue;
}

void TThread::Synchronize(TThread* thread, const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    auto call = std::make_shared<TSyncCall>(TSyncCall{thread, method, true, false, nullptr});
    Post(call);
    std::unique_lock<std::mutex> lock(Sync().lock);
    Sync().ran.wait(lock, [&] { return call->done; });
    if (call->error) std::rethrow_exception(call->error);
}

void TThread::Synchronize(const std::function<void()>& method) { Synchronize(this, method); }

void TThread::Queue(TThread* thread, std::function<void()> method) {
    if (IsMainThread()) {
        method();
        return;
    }
    Post(std::make_shared<TSyncCall>(TSyncCall{thread, std::move(method), false, false, nullptr}));
}

void TThread::Queue(std::function<void()> method) { Queue(this, std::move(method)); }

}  // namespace fw
