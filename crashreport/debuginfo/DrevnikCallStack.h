// The call-stack walker: turns a range of stack memory into call-stack
// entries (TCallStackEntry, crashreport/capture/DrevnikLists.h) named by the
// address lookup, then hides repeated and stale entries.
//
// The raw scan keeps every aligned 32-bit value that points just behind a
// call instruction; it is 32-bit by nature and reads memory only through a
// TStackMemory, so it is tested on byte buffers. The 64-bit build walks live
// stacks with the unwind data of the images instead (DrevnikStackWalk_win).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"

namespace drevnik {

class TDrevnikModuleOptions;

// A set of entry kinds, bit k for kind k (0 to 7); 31 holds kinds 0 to 4.
using TStackKindSet = uint8_t;
constexpr TStackKindSet kAllStackKinds = 31;
constexpr bool StackKindInSet(TStackKindSet set, uint8_t kind) { return kind <= 7 && ((set >> kind) & 1u) != 0; }

// The kinds the report and the call-stack view show: always 4; 2 with
// stProcNameEntries; 3 with stUnitProcEntries. Kinds 0 and 1 never.
TStackKindSet StackEntryKindsFromOptions(uint8_t stackFlags);
TStackKindSet StackEntryKindsFromOptions(const TDrevnikModuleOptions& options);
inline bool IsStackEntryShown(const TCallStackEntry& entry, TStackKindSet kinds) {
    return StackKindInSet(kinds, entry.EntryKind);
}

// What a scan looks for and keeps.
struct TStackScanParams {
    uintptr_t FirstAddress = 0;  // entered before the scan (the fault address); 0 for none
    uintptr_t StackStart = 0;    // lowest address read (the stack pointer)
    uintptr_t StackEnd = 0;      // highest address read (the stack top)
    uint32_t ThreadId = 0;
    uint8_t OwnStack = 1;        // 0 for a thread's stored resumer stack
    bool FullLookup = true;      // false: bare entries (module only)
    bool ResolveCallTargets = true;
    int Skip = -1;               // -1: no skipping and no maximum
    int Maximum = -1;
    TStackKindSet Kinds = kAllStackKinds;
};

// The most bytes of a stack one scan reads, and the most entries a list takes.
constexpr uintptr_t kMaxStackScanBytes = 102400;
constexpr int kMaxStackEntries = 1024;

// The memory a scan reads: the live process, or a byte buffer in tests.
class TStackMemory {
public:
    virtual ~TStackMemory() = default;
    virtual bool IsReadable(uintptr_t address, std::size_t length) const = 0;
    // Copies `length` bytes; false (or a fault the caller catches) when not readable.
    virtual bool Read(uintptr_t address, void* out, std::size_t length) const = 0;
    // The target of an import thunk at `address`, else the address.
    virtual uintptr_t ResolveImportThunk(uintptr_t address) const { return address; }
};

// How a scan names addresses and which entries the IDE filter keeps.
struct TStackScanServices {
    const TStackMemory* Memory = nullptr;
    // Fills a cleared entry for `address` (LookupAddress).
    std::function<void(uintptr_t address, uint8_t faultFlag, TCallStackEntry& entry)> Lookup;
    // A bare entry: kind 1, the address and a module record of its own.
    std::function<void(uintptr_t address, uint8_t faultFlag, TCallStackEntry& entry)> BareEntry;
    bool InsideIde = false;
};

// Appends the entries of one stack range to `list`, then filters the new ones.
// A `programCounter` is entered after the first address, before the range.
void ScanStackWith(TDrevnikStackList& list, const TStackScanParams& params, const TStackScanServices& services,
                   uintptr_t programCounter = 0);

// The unwinder's road (64-bit): enters the first address, then each given
// call site, with the same kinds, skip and maximum, then filters.
void AddStackAddresses(TDrevnikStackList& list, const TStackScanParams& params, const TStackScanServices& services,
                       const std::vector<uintptr_t>& callSites);

// The three filter passes over the entries from `firstNew` on; the repeat
// and stale-frame passes only after a raw scan.
void FilterStackEntries(TDrevnikStackList& list, int firstNew, bool insideIde, bool fullLookup, bool rawScan = true);

// ---- The live process --------------------------------------------------------------

// Scans the live stack range with LookupAddress (or bare entries). On the
// 64-bit build the range is walked with the images' unwind data instead,
// from `programCounter` (0: from the first address) at the stack start.
void ScanStack(TDrevnikStackList& list, const TStackScanParams& params, uintptr_t programCounter = 0);
// The same over a copy of the stack: `copy` holds the bytes of
// [StackStart, StackStart + copySize).
void ScanStackCopy(TDrevnikStackList& list, const TStackScanParams& params, const uint8_t* copy, std::size_t copySize,
                   uintptr_t programCounter = 0);
// A new list filled by ScanStack with full lookup on; the caller owns it.
std::unique_ptr<TDrevnikStackList> BuildCallStack(const TStackScanParams& params);

}  // namespace drevnik
