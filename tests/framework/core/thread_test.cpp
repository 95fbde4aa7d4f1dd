// TThread and the main thread's call queue.
#include "framework/core/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/exceptions.h"

namespace fw {
namespace {

class Worker : public TThread {
public:
    explicit Worker(std::function<int(Worker&)> body) : body_(std::move(body)) {}
    ~Worker() override {
        if (!Suspended() && !FreeOnTerminate()) {
            Terminate();
            WaitFor();
        }
    }
    using TThread::Terminated;

protected:
    void Execute() override { ReturnValue = body_(*this); }

private:
    std::function<int(Worker&)> body_;
};

TEST(Thread, StartsSuspendedRunsAndGivesItsReturnValue) {
    std::atomic<bool> ran{false};
    Worker w([&](Worker&) {
        ran = true;
        return 42;
    });
    EXPECT_TRUE(w.Suspended());
    EXPECT_THROW(w.WaitFor(), EInvalidOperation);
    w.Start();
    EXPECT_FALSE(w.Suspended());
    EXPECT_THROW(w.Start(), EInvalidOperation);
    EXPECT_EQ(w.WaitFor(), 42);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(w.Finished());
}

TEST(Thread, TerminateAsksExecuteToStop) {
    std::atomic<int> laps{0};
    Worker w([&](Worker& self) {
        while (!self.Terminated()) {
            ++laps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return 7;
    });
    w.Start();
    while (laps == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    w.Terminate();
    EXPECT_EQ(w.WaitFor(), 7);
}

TEST(Thread, SynchronizeAndQueueRunOnTheMainThreadInOrder) {
    ASSERT_TRUE(IsMainThread());
    std::vector<std::string> log;
    std::string caught;
    Worker w([&](Worker& self) {
        self.Queue([&] { log.push_back(IsMainThread() ? "queued on main" : "queued elsewhere"); });
        self.Synchronize([&] { log.push_back(IsMainThread() ? "synchronized on main" : "elsewhere"); });
        // An exception of the synchronized call comes back to the thread.
        try {
            self.Synchronize([] { throw EConvertError(L"bad"); });
        } catch (const EConvertError& e) {
            caught = e.what();
        }
        return 0;
    });
    w.Start();
    // WaitFor on the main thread runs what the thread hands over meanwhile.
    w.WaitFor();
    EXPECT_EQ(log, (std::vector<std::string>{"queued on main", "synchronized on main"}));
    EXPECT_EQ(caught, "bad");
}

TEST(Thread, KeepsTheExceptionOfExecuteAndFreesItselfWhenAsked) {
    Worker failing([](Worker&) -> int { throw std::runtime_error("lost the device"); });
    failing.Start();
    failing.WaitFor();
    ASSERT_TRUE(failing.FatalException());
    EXPECT_EQ(ExceptionMessage(failing.FatalException()), L"lost the device");

    std::atomic<bool> terminated{false};
    auto* self_freeing = new Worker([](Worker&) { return 0; });
    self_freeing->SetFreeOnTerminate(true);
    self_freeing->OnTerminate = [&](TThread*) { terminated = IsMainThread(); };
    self_freeing->Start();
    // OnTerminate waits for the main thread; the object is gone after it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!terminated && std::chrono::steady_clock::now() < deadline) {
        CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(terminated);
}

TEST(Thread, CallsQueuedForAFreedThreadAreDropped) {
    std::atomic<int> runs{0};
    {
        Worker w([&](Worker& self) {
            self.Queue([&] { ++runs; });
            return 0;
        });
        w.Start();
        // Waiting off the main thread leaves the queued call where it is.
        std::thread([&] { w.WaitFor(); }).join();
    }
    CheckSynchronize();
    EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace fw
