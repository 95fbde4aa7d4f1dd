// Threads hand calls to the GUI thread through the application's window.
#include "framework/core/thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "tests/support/win_test_app.h"

namespace fw {
namespace {

class Caller : public TThread {
public:
    std::atomic<int> answered{0};
    ~Caller() override {
        Terminate();
        if (!Suspended()) WaitFor();
    }

protected:
    void Execute() override {
        int seen = 0;
        Synchronize([&] { seen = IsMainThread() ? GetCurrentThreadId() != 0 : -1; });
        answered = seen;
    }
};

TEST(ThreadWithApplication, SynchronizeRunsInTheMessageLoop) {
    test::TestApplication();
    Caller caller;
    caller.Start();
    // A plain message pump, as the program's loop: the application's window
    // is woken and runs the call.
    EXPECT_TRUE(test::PumpUntil([&] { return caller.answered != 0; }));
    EXPECT_EQ(caller.answered, 1);
}

}  // namespace
}  // namespace fw
