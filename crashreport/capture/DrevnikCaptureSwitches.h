// The module-wide switches of the capture engine and its main threads list.
// The library's start-up sets them and creates the list; the hooks read them
// first and otherwise only pass their call on.
#pragma once

#include <atomic>

#include "crashreport/capture/DrevnikThreads.h"

namespace drevnik {

struct TCaptureSwitches {
    // The library is started in this module: all thread hooks and exports act.
    std::atomic<bool> ThreadTrackingRunning{false};
    // Raises are examined and may be reported.
    std::atomic<bool> IsCaptureStarted{false};
    // This copy lives in a DLL and hands its events to the program's copy.
    std::atomic<bool> ForwardToMainModule{false};
    std::atomic<bool> InUnitInitialization{false};
    std::atomic<bool> InUnitFinalization{false};
    // The program's own static destructors have begun.
    std::atomic<bool> ProgramFinalizationBegun{false};
};

TCaptureSwitches& CaptureSwitches();

// The main threads list; null outside the library's start-up and shut-down.
TDrevnikThreadsList* MainThreadsList();
void CreateMainThreadsList();
void DestroyMainThreadsList();

}  // namespace drevnik
