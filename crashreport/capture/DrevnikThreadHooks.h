// The hooks that fill the main threads list: replacements of kernel32's
// CreateThread, ResumeThread and ExitThread and of the C runtime's
// _beginthreadex, and the wrappers put around each new thread's start.
//
// Every thread is created suspended and recorded before it runs. A thread
// whose creator did not ask for a suspended start is resumed through
// HookedResumeThread, so each record names the thread that let it run (its
// parent) together with a copy of that thread's stack. std::thread reaches
// _beginthreadex through our executable's imports and CreateThread through
// msvcrt.dll's.
#pragma once

#include <windows.h>

#include <cstdint>

#include "crashreport/capture/DrevnikThreads.h"

namespace drevnik {

HANDLE WINAPI HookedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                 LPVOID parameter, DWORD flags, LPDWORD threadId);
DWORD WINAPI HookedResumeThread(HANDLE thread);
[[noreturn]] void WINAPI HookedExitThread(DWORD exitCode);
using TBeginThreadRoutine = unsigned(__stdcall*)(void*);
uintptr_t __cdecl HookedBeginThreadEx(void* security, unsigned stackSize, TBeginThreadRoutine routine, void* argument,
                                      unsigned flags, unsigned* threadId);

// The real routines, found once by name.
HANDLE RealCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                        LPVOID parameter, DWORD flags, LPDWORD threadId);
DWORD RealResumeThread(HANDLE thread);
[[noreturn]] void RealExitThread(DWORD exitCode);

// Redirects the imports of CreateThread, ResumeThread and ExitThread of our
// executable and of msvcrt.dll, and our executable's import of _beginthreadex,
// to the hooks (through the hooking engine, which undoes them at shut-down).
// True when every one of them was placed.
bool HookThreadImports();

// Set while the library itself suspends and resumes threads in this thread:
// the hooked ResumeThread then records nothing.
void SetLibraryResumeFlag(bool value);
bool LibraryResumeFlag();

}  // namespace drevnik

// For other copies of the library in this process (found by name).
extern "C" {
void __stdcall DrevnikLog_CallCreateThread(const drevnik::TTrackedThreadWire* record);
void __stdcall DrevnikLog_CallResumeThread(HANDLE thread,
                                                                 const drevnik::TTrackedThreadWire* record);
void __stdcall DrevnikLog_CallExitThread();
}
