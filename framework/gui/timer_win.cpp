// TTimer on a message-only window shared by all timers of the thread.
#include "framework/gui/timer.h"

#include <map>
#include <set>

#include "framework/gui/application.h"
#include "framework/gui/utility_window.h"

namespace fw {
namespace {

HWND g_util_window = nullptr;
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
UINT_PTR g_next_id = 1;

// Timers alive now, enabled or not: a tick may free its timer.
std::set<TTimer*>& LiveTimers() {
    static std::set<TTimer*> live;
    return live;
}

}  // namespace

LRESULT CALLBACK TTimer::UtilWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        // Look the timer up on every tick: it may have been freed meanwhile.
        auto it = Timers().find(static_cast<UINT_PTR>(wParam));
        if (it != Timers().end()) {
            TTimer* t = it->second;
            // A tick that opens a modal loop (a message box) would otherwise
            // be re-entered by its own next tick.
            if (t->in_tick_) return 0;
            TComponent::EventScope scope(t);
            t->in_tick_ = true;
            GuardCallback(t, [t] { t->Tick(); });
            // The tick may have freed the timer, or disabled it (and so
            // taken it out of the id table): ask whether it still lives.
            if (LiveTimers().count(t)) t->in_tick_ = false;
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) { LiveTimers().insert(this); }

TTimer::~TTimer() {
    LiveTimers().erase(this);
    enabled_ = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(UINT ms) {
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (id_) {
        if (g_util_window) KillTimer(g_util_window, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0) return;
    if (!g_util_window) g_util_window = CreateUtilityWindow(L"FwTimerWindow", UtilWndProc);
    id_ = g_next_id++;
    Timers()[id_] = this;
    SetTimer(g_util_window, id_, interval_, nullptr);
}

void TTimer::Tick() {
    ++ticks_;
    if (!OnTimer) return;
    // The handler may free this timer (or its owner): run a copy.
    TNotifyEvent handler = OnTimer;
    handler(this);
}

}  // namespace fw
