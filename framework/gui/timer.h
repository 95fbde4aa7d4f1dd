// TTimer: a window timer on a hidden utility window. Disabling or freeing a
// timer from its own OnTimer is safe.
#pragma once

#include <windows.h>

#include "framework/core/component.h"
#include "framework/gui/controls.h"

namespace fw {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);
    TNotifyEvent OnTimer;

    // Ticks handled so far (for tests and diagnostics).
    unsigned long TickCount() const { return ticks_; }

private:
    static LRESULT CALLBACK UtilWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void UpdateTimer();
    void Tick();

    bool enabled_ = true;
    UINT interval_ = 1000;
    UINT_PTR id_ = 0;
    unsigned long ticks_ = 0;
    bool in_tick_ = false;
};

}  // namespace fw
