// The sweep timer: steps on the high-resolution counter (TSweepClock) and
// frames right after them. A multimedia timer with a 1 ms period, under
// timeBeginPeriod(1) while the timer is enabled, looks at the counter and
// wakes the GUI thread only when a step or a frame is due; the GUI thread
// then fires OnTimer once per step due and OnFrame once, right after the
// steps, or at the display's refresh when no step came.
// Disabling or freeing the timer gives the resolution back. GUI thread only.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "Display/kynSweepClock.h"
#include "framework/core/component.h"
#include "framework/gui/controls.h"

namespace kyn {

class TSweepTimer : public fw::TComponent {
public:
    explicit TSweepTimer(fw::TComponent* owner);
    ~TSweepTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return clock_.IntervalMs(); }
    // The new interval counts from now.
    void SetInterval(UINT ms);
    // Counts the steps from now, as after enabling (after the GUI thread was
    // held up on purpose, so that the wait turns into no steps).
    void Restart();

    fw::TNotifyEvent OnTimer;  // once per step
    fw::TNotifyEvent OnFrame;  // after the steps of a wake-up, or at the refresh

    unsigned long TickCount() const { return ticks_; }
    unsigned long FrameCount() const { return frames_; }
    // timeBeginPeriod(1) is in force for this timer.
    bool ResolutionHeld() const { return resolution_held_; }
    // Timers of the process holding the resolution now.
    static int ResolutionHolders();
    // The display's refresh rate in Hz (60 when the system does not say).
    static unsigned RefreshRate();

private:
    struct TShared {
        std::atomic<std::int64_t> wake_at{INT64_MAX};
        std::atomic<bool> posted{false};
        HWND window = nullptr;
    };
    static void CALLBACK TimeProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static std::int64_t Now();
    void Start();
    void Stop();
    void Wake();
    // When the next step or refresh frame is due, and telling the
    // multimedia timer so.
    std::int64_t NextWake() const;
    void ScheduleWake();

    TSweepClock clock_;
    TShared shared_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::int64_t frame_period_ = 0;
    std::int64_t last_frame_ = 0;
    UINT event_ = 0;
    unsigned long ticks_ = 0;
    unsigned long frames_ = 0;
    bool enabled_ = false;
    bool resolution_held_ = false;
    bool in_wake_ = false;
};

}  // namespace kyn
