// The library's main unit: start-up (LibraryInit) and shut-down
// (LibraryDone), the unit steps in the order a program runs them, the
// framework hooks and the freeze watchdog.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/exceptions.h"
#include "framework/core/start_stop.h"

namespace drevnik {

// The main thread stopped answering its window for the freeze time-out.
class EFrozenApplication : public fw::Exception {
public:
    using Exception::Exception;
};

void LibraryInit();
void LibraryDone();
uint8_t IsLibraryRunning();

// The library's unit steps in start order: constants, core, hooking, main.
// A program runs them first among its start steps (and so stops them last),
// each through RunGuardedStep.
std::vector<fw::TStartStopStep> LibraryUnitSteps();
// The step that closes a program's table: its start marks the end of the
// units' start-up, its stop (the first to run) the start of their shut-down.
fw::TStartStopStep UnitTableEndsStep();

// Hooks the framework's application exception handler (fw::SetExceptionHook)
// and the TCP server's connection threads (fw::SetConnectionExceptionHook).
void InstallFrameworkHooks();
// The hooks themselves: true when the library reported the exception.
bool HookedHandleException(fw::TComponent* sender, std::exception_ptr exception);
bool HookedConnectionException(fw::TComponent* sender, std::exception_ptr exception);

void StartFreezeWatchdog();
void StopFreezeWatchdog();
bool IsFreezeWatchdogRunning();
bool IsFreezeWatchdogThread();

// Facts recorded at start-up.
std::string LibraryStartFolder();
double LibraryStartTime();
uintptr_t MainStackBase();
HANDLE MainThreadHandle();
// IDC_HAND, or IDC_ARROW where the system has no hand cursor.
LPCSTR LinkCursorId();

}  // namespace drevnik
