// The hand-over of command lines to one executing thread.
#include "Display/kynCommandHandOver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace kyn {
namespace {

// A stand-in GUI thread: wakes run Drain on it, one at a time.
class GuiThread {
public:
    explicit GuiThread(std::function<void(TCommandHandOver&, const std::wstring&)> execute)
        : hand_over_([this, execute](const std::wstring& line) { execute(hand_over_, line); },
                     [this] {
                         std::lock_guard guard(lock_);
                         ++wakes_;
                         wake_.notify_one();
                     }),
          thread_([this] { Run(); }) {}
    ~GuiThread() {
        {
            std::lock_guard guard(lock_);
            stop_ = true;
            wake_.notify_one();
        }
        thread_.join();
    }
    TCommandHandOver& HandOver() { return hand_over_; }

private:
    void Run() {
        std::unique_lock guard(lock_);
        for (;;) {
            wake_.wait(guard, [&] { return stop_ || wakes_ > 0; });
            if (stop_) return;
            wakes_ = 0;
            guard.unlock();
            hand_over_.Drain();
            guard.lock();
        }
    }
    TCommandHandOver hand_over_;
    std::mutex lock_;
    std::condition_variable wake_;
    int wakes_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

TEST(CommandHandOver, LinesRunOneAtATimeInOrderPerSenderAndFailuresReachTheirSender) {
    std::vector<std::wstring> ran;  // touched only by the executing thread
    std::atomic<int> inside{0};
    bool overlapped = false;
    {
        GuiThread gui([&](TCommandHandOver&, const std::wstring& line) {
            if (inside.fetch_add(1) != 0) overlapped = true;
            ran.push_back(line);
            inside.fetch_sub(1);
            if (line.ends_with(L"bad")) throw fw::EConvertError(L"bad line");
        });
        constexpr int kSenders = 8, kLines = 200;
        std::vector<std::thread> senders;
        std::atomic<int> failures{0};
        for (int s = 0; s < kSenders; ++s) {
            senders.emplace_back([&, s] {
                for (int i = 0; i < kLines; ++i) {
                    const bool bad = i % 50 == 49;
                    try {
                        gui.HandOver().Execute(std::to_wstring(s) + L":" + std::to_wstring(i) + (bad ? L"bad" : L""));
                        EXPECT_FALSE(bad);
                    } catch (const fw::EConvertError& e) {
                        EXPECT_TRUE(bad);
                        EXPECT_EQ(e.Message(), L"bad line");
                        ++failures;
                    }
                }
            });
        }
        for (auto& t : senders) t.join();
        EXPECT_EQ(failures.load(), kSenders * kLines / 50);
        EXPECT_EQ(gui.HandOver().Executed(), static_cast<unsigned long>(kSenders * kLines));
    }
    EXPECT_FALSE(overlapped);
    std::vector<int> next(8, 0);
    for (const auto& line : ran) {
        const int s = std::stoi(line.substr(0, line.find(L':')));
        EXPECT_EQ(std::stoi(line.substr(line.find(L':') + 1)), next[s]++) << "sender " << s;
    }
}

TEST(CommandHandOver, ALineRunningAModalLoopLetsNoOtherLineInside) {
    std::vector<std::wstring> ran;
    std::atomic<bool> modal{false};
    std::atomic<bool> second_sent{false};
    GuiThread gui([&](TCommandHandOver& h, const std::wstring& line) {
        ran.push_back(line + L">");
        if (line == L"Connected") {
            // The modal loop: it pumps (drains) while it waits for the user.
            modal = true;
            for (int i = 0; i < 2000 && !second_sent; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            h.Drain();
            h.Drain();
        }
        ran.push_back(L"<" + line);
    });
    std::thread first([&] { gui.HandOver().Execute(L"Connected"); });
    while (!modal) std::this_thread::yield();
    std::thread second([&] {
        second_sent = true;
        gui.HandOver().Execute(L"ShowGrid");
    });
    first.join();
    second.join();
    EXPECT_EQ(ran, (std::vector<std::wstring>{L"Connected>", L"<Connected", L"ShowGrid>", L"<ShowGrid"}));
}

TEST(CommandHandOver, ShutdownFailsWaitingAndLaterLines) {
    std::atomic<bool> release{false};
    GuiThread gui([&](TCommandHandOver&, const std::wstring&) {
        while (!release) std::this_thread::yield();
    });
    std::thread blocked([&] { gui.HandOver().Execute(L"first"); });
    std::atomic<bool> failed{false};
    std::thread waiting([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        try {
            gui.HandOver().Execute(L"second");
        } catch (const ECommandsStopped&) {
            failed = true;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    // The GUI thread is busy with "first"; shut down from outside its run.
    gui.HandOver().Shutdown();
    release = true;
    blocked.join();
    waiting.join();
    EXPECT_TRUE(failed);
    EXPECT_THROW(gui.HandOver().Execute(L"third"), ECommandsStopped);
}

}  // namespace
}  // namespace kyn
