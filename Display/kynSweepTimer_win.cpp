// The sweep timer on a multimedia timer and a message-only window.
#include "Display/kynSweepTimer.h"

#include <mmsystem.h>

#include <algorithm>

#include "framework/gui/application.h"
#include "framework/gui/utility_window.h"

namespace kyn {
namespace {

constexpr UINT kWakeMessage = WM_APP + 0x51;
constexpr std::int64_t kRefreshYieldMs = 3;
int g_resolution_holders = 0;

std::int64_t CounterFrequency() {
    static const std::int64_t freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return freq;
}

}  // namespace

int TSweepTimer::ResolutionHolders() { return g_resolution_holders; }

unsigned TSweepTimer::RefreshRate() {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1) {
        return mode.dmDisplayFrequency;
    }
    return 60;
}

std::int64_t TSweepTimer::Now() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

TSweepTimer::TSweepTimer(fw::TComponent* owner) : fw::TComponent(owner), clock_(CounterFrequency()) {
    frame_period_ = CounterFrequency() / RefreshRate();
}

TSweepTimer::~TSweepTimer() {
    *alive_ = false;
    Stop();
    if (shared_.window) DestroyWindow(shared_.window);
}

void TSweepTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) {
        Start();
    } else {
        Stop();
    }
}

void TSweepTimer::SetInterval(UINT ms) {
    if (ms == clock_.IntervalMs() && ms != 0) return;
    clock_.SetInterval(Now(), ms);
    if (enabled_) ScheduleWake();
}

void TSweepTimer::Restart() {
    if (!enabled_) return;
    clock_.Start(Now(), clock_.IntervalMs());
    ScheduleWake();
}

void TSweepTimer::Start() {
    if (!shared_.window) {
        shared_.window = fw::CreateUtilityWindow(L"KynSweepTimerWindow", WndProc);
        SetWindowLongPtrW(shared_.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    if (timeBeginPeriod(1) == TIMERR_NOERROR) {
        resolution_held_ = true;
        ++g_resolution_holders;
    }
    const std::int64_t now = Now();
    clock_.Start(now, clock_.IntervalMs());
    last_frame_ = now;
    ScheduleWake();
    event_ = timeSetEvent(1, 1, TimeProc, reinterpret_cast<DWORD_PTR>(&shared_),
                          TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
}

void TSweepTimer::Stop() {
    // After a synchronous kill no callback runs any more.
    if (event_) timeKillEvent(event_);
    event_ = 0;
    clock_.Stop();
    shared_.wake_at.store(INT64_MAX);
    if (resolution_held_) {
        timeEndPeriod(1);
        resolution_held_ = false;
        --g_resolution_holders;
    }
}

void CALLBACK TSweepTimer::TimeProc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* shared = reinterpret_cast<TShared*>(user);
    if (Now() < shared->wake_at.load(std::memory_order_acquire)) return;
    if (!shared->posted.exchange(true)) PostMessageW(shared->window, kWakeMessage, 0, 0);
}

LRESULT CALLBACK TSweepTimer::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kWakeMessage) {
        if (auto* t = reinterpret_cast<TSweepTimer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) t->Wake();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TSweepTimer::Wake() {
    shared_.posted.store(false);
    // A handler that opens a modal loop (a message box) is not re-entered;
    // no wake-up is asked for until it returns.
    if (in_wake_ || !enabled_) return;
    shared_.wake_at.store(INT64_MAX);
    std::shared_ptr<bool> alive = alive_;
    fw::TComponent::EventScope scope(this);
    in_wake_ = true;
    const std::int64_t now = Now();
    const unsigned steps = clock_.Advance(now);
    for (unsigned i = 0; i < steps && *alive && enabled_; ++i) {
        ++ticks_;
        if (OnTimer) {
            fw::TNotifyEvent handler = OnTimer;
            fw::GuardCallback(this, [&] { handler(this); });
        }
    }
    if (*alive && enabled_ && (steps > 0 || now >= NextWake())) {
        // Refresh frames keep their own beat, so a late wake-up does not
        // stretch the next period; a step's frame starts the beat over.
        const std::int64_t beat = last_frame_ + frame_period_;
        last_frame_ = steps == 0 && now >= beat && now - beat < frame_period_ ? beat : now;
        ++frames_;
        if (OnFrame) {
            fw::TNotifyEvent handler = OnFrame;
            fw::GuardCallback(this, [&] { handler(this); });
        }
    }
    if (!*alive) return;
    in_wake_ = false;
    if (enabled_) ScheduleWake();
}

std::int64_t TSweepTimer::NextWake() const {
    const std::int64_t step = clock_.NextStepAt(), refresh = last_frame_ + frame_period_;
    // A refresh frame just before a step would hold up the step's own frame:
    // the step's frame serves for both.
    return step - refresh <= CounterFrequency() * kRefreshYieldMs / 1000 ? step : refresh;
}

void TSweepTimer::ScheduleWake() { shared_.wake_at.store(NextWake(), std::memory_order_release); }

}  // namespace kyn
