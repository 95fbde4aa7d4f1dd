// The leak tracker (ELeaks): when the module's library data asks for it,
// C++'s memory manager (the global operator new and delete family, linked in
// from crash_leak_manager) hands out blocks with a guard header and a tail
// guard. It starts before anything else of the program (LeaksInit) and,
// once the library has started, reports the blocks still live at the latest
// point of shut-down at which the library still works (LeaksDone); the
// blocks themselves are released at the very end of the process
// (LeaksFinal). It reaches the library only through its six callback slots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "crashreport/capture/LeakAnalysis.h"
#include "framework/core/exceptions.h"

namespace drevnik {

class EMemoryLeak : public fw::Exception {
public:
    using Exception::Exception;
};
class EMemoryOverrun : public EMemoryLeak {
public:
    using EMemoryLeak::EMemoryLeak;
};
class EMultiFree : public EMemoryLeak {
public:
    using EMemoryLeak::EMemoryLeak;
};

// Error codes of a release.
enum TTrackError : int { teNone = 0, teOverrun = 1, teSecondRelease = 2 };

// The callback slots, in this order; all cleared when the manager is installed.
struct TLeakCallbacks {
    void (*Overrun)(int code, uintptr_t releasedAt) = nullptr;
    void (*MultiFree)(int code, uintptr_t releasedAt) = nullptr;
    void (*AfterReport)() = nullptr;
    void (*Begin)() = nullptr;
    void (*Add)(const char* typeText, uint32_t size, uint32_t count, const TLeakAddress* addresses) = nullptr;
    void (*End)() = nullptr;
};
TLeakCallbacks& LeakCallbacks();

// Memory manager entries.
void* LeakGetMem(std::size_t size);
void LeakFreeMem(void* pointer);
void* LeakReallocMem(void* pointer, std::size_t size);

// The same for the replaced operators: where the caller's stack begins (an
// address in the entry's frame) and the entry's return address. A release
// may also name the entry's frame (its saved frame pointer, the return
// address above it), so that a bad release is reported past a routine that
// ends with the release, as a tail call would be.
void* LeakGetMemFrom(std::size_t size, uintptr_t stackPosition, uintptr_t caller);
void LeakFreeMemFrom(void* pointer, uintptr_t releasedAt, uintptr_t frame = 0);

// Unit entries.
void LeaksInit();
void LeaksDone();
// Process end: the blocks still tracked are released (lkFreeLeaksAtEnd) and
// the previous manager comes back.
void LeaksFinal();
bool IsLeakCatchingOn();
bool IsLeakTrackingOn();
uint8_t LeakOptions();
// The addresses of the allocation entries (operator new and its kin) that
// the manager library registers, for finding the creating line.
void RegisterLeakAllocationEntries(const uintptr_t* entries, int count);

// Reads the header of the module's library data ("DVDATA", RCDATA).
TLeakDataHeader ReadLeakOptionsOf(void* module);

// For tests: how many blocks are tracked now, and the quarantine's content.
std::size_t TrackedBlockCount();
std::size_t QuarantinedBlockCount();

}  // namespace drevnik
