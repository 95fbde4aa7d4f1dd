// The tracking memory manager, its lock and quarantine, readability tests
// and the shut-down report. Nothing here allocates while it tracks: the
// manager's own paths use fixed storage only.
#include "crashreport/capture/LeakTracker.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/ThreadInfoBlock.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace drevnik {
namespace {

std::atomic<bool> gCatching{false};
std::atomic<bool> gTracking{false};
std::atomic<bool> gInstalled{false};
// Set while the report walks the list: releases of listed blocks wait in
// the list (tsReleasedInReport) instead of being unlinked.
std::atomic<bool> gReportWalk{false};
bool gReported = false;
uint8_t gOptions = 0;
std::atomic<uint8_t> gLock{0};
TLeakList gList;
std::size_t gTrackedCount = 0;
TLeakCallbacks gCallbacks;
uintptr_t gEntries[16];
int gEntryCount = 0;

// Released blocks wait here before the heap gets them back, so that a
// second release still finds their header intact.
constexpr int kQuarantineSlots = 1024;
constexpr std::size_t kQuarantineBytes = 16u << 20;
TGuardHeader* gQuarantine[kQuarantineSlots];
int gQuarantineFirst = 0;
int gQuarantineCount = 0;
std::size_t gQuarantineBytes = 0;

// Spin lock of one byte: a short spin, then the scheduler.
void Lock() {
    for (int spins = 0;; ++spins) {
        uint8_t expected = 0;
        if (gLock.compare_exchange_weak(expected, 1, std::memory_order_acquire)) return;
        if (spins < 64) {
            YieldProcessor();
            continue;
        }
        Sleep(0);
        expected = 0;
        if (gLock.compare_exchange_strong(expected, 1, std::memory_order_acquire)) return;
        Sleep(10);
    }
}
void Unlock() { gLock.store(0, std::memory_order_release); }

class TLockGuard {
public:
    TLockGuard() { Lock(); }
    ~TLockGuard() { Unlock(); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;
};

// Tracked blocks come from here: the heap aligns to 8 bytes only on i686,
// and the header keeps whatever alignment the block starts with.
void* AllocateBlock(std::size_t bytes) { return _aligned_malloc(bytes, kLeakAlign); }
void ReleaseBlock(void* block) { _aligned_free(block); }

uintptr_t StackTop() { return reinterpret_cast<uintptr_t>(CurrentTib()->StackBase); }

// Whether `length` bytes from `address` on are committed and readable.
bool Readable(uintptr_t address, std::size_t length) {
    return IsReadableMemory(reinterpret_cast<const void*>(address), length);
}

// One VirtualQuery per 4 KB page while the report runs.
class TPageCacheMemory final : public TLeakMemory {
public:
    struct TEntry {
        uintptr_t PagePlusOne;
        uint8_t State;  // 1 readable, 2 not
    };
    static constexpr std::size_t kEntries = 65536;

    TPageCacheMemory() {
        cache_ = static_cast<TEntry*>(
            VirtualAlloc(nullptr, kEntries * sizeof(TEntry), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    }
    ~TPageCacheMemory() override {
        if (cache_ != nullptr) VirtualFree(cache_, 0, MEM_RELEASE);
    }
    TPageCacheMemory(const TPageCacheMemory&) = delete;
    TPageCacheMemory& operator=(const TPageCacheMemory&) = delete;

    bool IsReadable(TLeakAddress address, std::size_t length) override {
        if (length == 0) return true;
        if (address + length < address) return false;
        const uintptr_t page = address >> 12;
        if (cache_ == nullptr || ((address + length - 1) >> 12) != page)
            return Readable(address, length);
        TEntry& entry = cache_[page % kEntries];
        if (entry.PagePlusOne != page + 1) {
            entry.PagePlusOne = page + 1;
            entry.State = Readable(page << 12, 4096) ? 1 : 2;
        }
        return entry.State == 1;
    }

private:
    TEntry* cache_ = nullptr;
};

// The stack words from `position` up to the stack's top, zeros behind.
void CopyStackWords(TLeakAddress (&target)[kLeakAddresses], uintptr_t position) {
    std::memset(target, 0, sizeof target);
    if (position == 0) return;
    const uintptr_t top = StackTop();
    if (position >= top) return;
    std::size_t bytes = top - position;
    if (bytes > sizeof target) bytes = sizeof target;
    std::memcpy(target, reinterpret_cast<const void*>(position), bytes);
}

// The stack slot at or above `position` that holds the entry's return
// address: the copy starts with the allocating line.
uintptr_t ReturnSlotOf(uintptr_t position, uintptr_t caller) {
    const uintptr_t top = StackTop();
    position &= ~(sizeof(uintptr_t) - 1);
    for (uintptr_t at = position; at < top && at < position + 64 * sizeof(uintptr_t); at += sizeof(uintptr_t))
        if (*reinterpret_cast<const uintptr_t*>(at) == caller) return at;
    return position;
}

// The return addresses of the frames from the allocation entry's caller on.
void WalkFrameChain(TLeakAddress (&target)[kLeakAddresses], uintptr_t caller) {
    std::memset(target, 0, sizeof target);
#if defined(_WIN64)
    // 64-bit code keeps no frame-pointer chain: the system walks the unwind data.
    void* frames[kLeakAddresses + 8];
    const USHORT got = RtlCaptureStackBackTrace(0, kLeakAddresses + 8, frames, nullptr);
    int first = 0;
    for (int i = 0; i < got; ++i)
        if (reinterpret_cast<uintptr_t>(frames[i]) == caller) {
            first = i;
            break;
        }
    for (int i = first, n = 0; i < got && n < kLeakAddresses; ++i, ++n)
        target[n] = reinterpret_cast<uintptr_t>(frames[i]);
#else
    const uintptr_t top = StackTop();
    auto* frame = static_cast<uintptr_t*>(__builtin_frame_address(0));
    int n = 0;
    bool found = false;
    while (n < kLeakAddresses && reinterpret_cast<uintptr_t>(frame) + 8 <= top) {
        const uintptr_t returnAddress = frame[1];
        found = found || returnAddress == caller;
        if (found) target[n++] = returnAddress;
        auto* next = reinterpret_cast<uintptr_t*>(frame[0]);
        if (next <= frame || reinterpret_cast<uintptr_t>(next) >= top) break;
        frame = next;
    }
    if (!found) target[0] = caller;
#endif
}

__attribute__((noinline)) void TrackBlock(TGuardHeader* block, std::size_t requested, uintptr_t stackPosition,
                                          uintptr_t caller) {
    InitGuardHeader(block, requested);
    CopyStackWords(block->StackCopy, ReturnSlotOf(stackPosition, caller));
    WalkFrameChain(block->FrameChain, caller);
    const TLockGuard lock;
    gList.Link(block);
    ++gTrackedCount;
}

// Whether the guard header before `user` may be read at all: a block the
// tracker did not hand out may start right at the beginning of a region.
bool HeaderReadable(const void* user) {
    const auto at = reinterpret_cast<uintptr_t>(user);
    if (at < kLeakHeaderSize) return false;
    const uintptr_t start = at - kLeakHeaderSize;
    if ((start >> 12) == (at >> 12)) return true;
    return Readable(start, kLeakHeaderSize);
}

bool IsTrackedPointer(const void* user) {
    return user != nullptr && HeaderReadable(user) && GuardWordOf(BlockOfUserPointer(const_cast<void*>(user))) == kLeakGuard;
}

// Gives the block to the quarantine; returns what leaves it for the heap.
TGuardHeader* Quarantine(TGuardHeader* block) {
    const std::size_t bytes = static_cast<std::size_t>(block->RequestedSize) + kLeakOverhead;
    if (bytes > kQuarantineBytes / 4) return block;
    TGuardHeader* leaving = nullptr;
    if (gQuarantineCount == kQuarantineSlots || gQuarantineBytes + bytes > kQuarantineBytes) {
        leaving = gQuarantine[gQuarantineFirst];
        gQuarantineBytes -= static_cast<std::size_t>(leaving->RequestedSize) + kLeakOverhead;
        gQuarantineFirst = (gQuarantineFirst + 1) % kQuarantineSlots;
        --gQuarantineCount;
    }
    gQuarantine[(gQuarantineFirst + gQuarantineCount) % kQuarantineSlots] = block;
    ++gQuarantineCount;
    gQuarantineBytes += bytes;
    return leaving;
}

enum TUntrack {
    utPassOn,      // not the tracker's block: the heap gets the pointer as it is
    utRelease,     // the heap gets `block`
    utKeep,        // nothing goes to the heap now
};

struct TUntrackResult {
    TUntrack Action = utPassOn;
    TGuardHeader* Block = nullptr;
    int Error = teNone;
};

TUntrackResult UntrackBlock(void* user, bool quarantine) {
    TUntrackResult result;
    if (!IsTrackedPointer(user)) return result;
    TGuardHeader* block = BlockOfUserPointer(user);
    const TLockGuard lock;
    if (block->TrackState == tsReleased || block->TrackState == tsReleasedInReport) {
        result.Action = utKeep;
        result.Error = teSecondRelease;
    } else if (gReportWalk.load()) {
        block->TrackState = tsReleasedInReport;
        result.Action = utKeep;
        result.Error = TailGuardOf(block) != kLeakGuard ? teOverrun : teNone;
    } else {
        block->TrackState = tsReleased;
        const bool overrun = TailGuardOf(block) != kLeakGuard;
        gList.Unlink(block);
        --gTrackedCount;
        if (overrun) {
            // Kept away from the heap: whatever overwrote the tail may have hit its data too.
            result.Action = utKeep;
            result.Error = teOverrun;
        } else {
            result.Action = utRelease;
            result.Block = quarantine ? Quarantine(block) : block;
        }
    }
    if ((gOptions & lkCheckOverruns) == 0) result.Error = teNone;
    return result;
}

#if !defined(_WIN64)
// Where the release really happens. i686 code cannot turn a call that pushes
// its arguments into a jump, so a deleting destructor calls operator delete
// and only its epilogue follows; such a routine is passed over to its caller,
// the place a 64-bit tail call returns to. `frame` is the releasing entry's
// frame: the caller's frame pointer, then the return address.
uintptr_t ReleaseSiteOf(uintptr_t frame) {
    if (!Readable(frame, 2 * sizeof(uintptr_t))) return 0;
    uintptr_t ebp = *reinterpret_cast<const uintptr_t*>(frame);
    uintptr_t site = *reinterpret_cast<const uintptr_t*>(frame + 4);
    uintptr_t esp = frame + 8;
    for (int level = 0; level < 8; ++level) {
        uint8_t code[32];
        if (!Readable(site, sizeof code)) return site;
        std::memcpy(code, reinterpret_cast<const void*>(site), sizeof code);
        uintptr_t next = 0;
        for (int at = 0; at + 6 <= static_cast<int>(sizeof code) && next == 0;) {
            const uint8_t op = code[at];
            if (op == 0x5D) {  // pop ebp
                if (!Readable(esp, 4)) return site;
                ebp = *reinterpret_cast<const uintptr_t*>(esp);
                esp += 4;
                at += 1;
            } else if (op >= 0x58 && op <= 0x5F && op != 0x5C) {  // pop r32
                esp += 4;
                at += 1;
            } else if (op == 0x83 && code[at + 1] == 0xC4) {  // add esp, imm8
                esp += static_cast<uintptr_t>(static_cast<int32_t>(static_cast<int8_t>(code[at + 2])));
                at += 3;
            } else if (op == 0x81 && code[at + 1] == 0xC4) {  // add esp, imm32
                int32_t step;
                std::memcpy(&step, code + at + 2, 4);
                esp += static_cast<uintptr_t>(step);
                at += 6;
            } else if (op == 0xC9) {  // leave
                esp = ebp;
                if (!Readable(esp, 4)) return site;
                ebp = *reinterpret_cast<const uintptr_t*>(esp);
                esp += 4;
                at += 1;
            } else if (op == 0xC3 || op == 0xC2) {  // ret, ret imm16
                if (!Readable(esp, 4)) return site;
                next = *reinterpret_cast<const uintptr_t*>(esp);
                esp += 4 + (op == 0xC2 ? static_cast<uintptr_t>(code[at + 1] | code[at + 2] << 8) : 0);
            } else {
                return site;  // the routine goes on after the release
            }
        }
        if (next == 0) return site;
        site = next;
    }
    return site;
}
#else
uintptr_t ReleaseSiteOf(uintptr_t) { return 0; }
#endif

void HandleTrackError(int code, uintptr_t releasedAt) {
    void (*slot)(int, uintptr_t) = code == teOverrun         ? gCallbacks.Overrun
                                   : code == teSecondRelease ? gCallbacks.MultiFree
                                                             : nullptr;
    if (slot != nullptr) slot(code, releasedAt);
}

void LeakMessageBox(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST | MB_SERVICE_NOTIFICATION);
}

[[noreturn]] void FatalLeakUnitError(const char* text) {
    LeakMessageBox(text, "ELeaks unit Error");
    ExitProcess(1);
}

HMODULE ModuleOfAddress(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const char*>(address), &module);
    return module;
}

HMODULE OwnModule() { return ModuleOfAddress(reinterpret_cast<const void*>(&LeaksInit)); }

bool IsDevelopmentEnvironment() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    name = name != nullptr ? name + 1 : path;
    char upper[MAX_PATH] = {};
    for (int i = 0; name[i] != 0 && i < MAX_PATH - 1; ++i)
        upper[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
    return std::strcmp(upper, "BDS.EXE") == 0;
}

bool ReadLeakOptions() {
    const TLeakDataHeader own = ReadLeakOptionsOf(OwnModule());
    TLeakDataHeader chosen = own;
    HMODULE main = GetModuleHandleW(nullptr);
    if (main != OwnModule() && own.Accepted && own.UseMainModuleOptions) chosen = ReadLeakOptionsOf(main);
    if (!chosen.Accepted) return (gOptions & lkCatchLeaks) != 0;
    gOptions = chosen.LeakOptions;
    return (gOptions & lkCatchLeaks) != 0;
}

void InstallLeakManager() {
    // The runtime in a DLL of its own has its own operator new: nothing to track here.
    if (ModuleOfAddress(&typeid(std::exception)) != OwnModule()) {
        gCatching.store(false);
        if (IsDebuggerPresent()) {
            char path[MAX_PATH] = {};
            GetModuleFileNameA(OwnModule(), path, MAX_PATH);
            std::string text = std::string("The \"Memory Leaks Catches\" is disabled in the \"") + path +
                               "\" module, because compiled with RunTime-Packages.";
            LeakMessageBox(text.c_str(), "Error");
        }
        return;
    }
    {
        const TLockGuard lock;
        gList = TLeakList();
        gTrackedCount = 0;
    }
    gCallbacks = TLeakCallbacks();
    gInstalled.store(true);
}

// ---- Report ----------------------------------------------------------------------------

// Runs one report step; a failure shows which one and ends the report.
template <class F>
bool RunStep(const char* name, const char*& current, F step) {
    current = name;
    step();
    return true;
}

void ReportLeaks() {
    if (gList.Empty()) return;
    const char* step = "Initialize the Memory Pages Cache";
    TPageCacheMemory* cache = nullptr;
    bool locked = false;
    try {
        cache = new (std::malloc(sizeof(TPageCacheMemory))) TPageCacheMemory();
        step = "Lock AllocatedList_Lock";
        Lock();
        locked = true;
        if (!Readable(reinterpret_cast<uintptr_t>(gList.Oldest), kLeakHeaderSize)) {
            if (IsDebuggerPresent())
                LeakMessageBox("The application contains some memory leaks but it's impossible to show them because "
                               "another Memory Manager has already freed them.\r\nTry to replaced the Memory Manager "
                               "used with the last FastMM4 Memory Manager (https://github.com/pleriche/FastMM4).",
                               "Error");
        } else {
            TLeakAnalysis analysis(gList, *cache, gOptions, {gEntries, gEntryCount});
            RunStep("ClassifyBlocks", step, [&] { analysis.ClassifyBlocks(); });
            RunStep("PurgeInvalidLeaks", step, [&] { analysis.PurgeInvalidLeaks(); });
            RunStep("RemoveExtraLeaks", step, [&] { analysis.RemoveExtraLeaks(); });
            RunStep("PurgeCallStacks", step, [&] { analysis.PurgeCallStacks(); });
            RunStep("CountAllLeaks", step, [&] { analysis.CountAllLeaks(); });
            RunStep("RemoveLeaksSons", step, [&] { analysis.RemoveLeaksSons(); });
            // The report allocates and may release listed blocks: the lock is
            // let go, and releases of listed blocks wait in the list.
            gReportWalk.store(true);
            Unlock();
            locked = false;
            step = "HandleAnyLeak";
            bool begun = false;
            for (TGuardHeader* b = gList.Oldest; b != nullptr; b = b->NewerBlock) {
                if (!TLeakAnalysis::IsReported(b)) continue;
                try {
                    if (!begun) {
                        if (gCallbacks.Begin != nullptr) gCallbacks.Begin();
                        begun = true;
                    }
                    const std::string type = analysis.TypeText(b);
                    if (gCallbacks.Add != nullptr)
                        gCallbacks.Add(type.c_str(), GroupSizeOf(b), GroupCountOf(b), b->StackCopy);
                } catch (...) {
                }
            }
            if (begun && gCallbacks.End != nullptr) gCallbacks.End();
        }
    } catch (...) {
        std::string text = std::string("Error in ELeaks \"") + step + "\" section.";
        LeakMessageBox(text.c_str(), "Error");
    }
    if (locked) Unlock();
    // Blocks released while the report walked the list go to the heap now.
    {
        const TLockGuard lock;
        for (TGuardHeader* b = gList.Oldest; b != nullptr;) {
            TGuardHeader* next = b->NewerBlock;
            if (b->TrackState == tsReleasedInReport) {
                b->TrackState = tsReleased;
                const bool overrun = TailGuardOf(b) != kLeakGuard;
                gList.Unlink(b);
                --gTrackedCount;
                if (!overrun) ReleaseBlock(b);
            } else if (b->TrackState == tsHidden) {
                b->TrackState = tsLive;
            }
            b = next;
        }
        gReportWalk.store(false);
    }
    if (cache != nullptr) {
        cache->~TPageCacheMemory();
        std::free(cache);
    }
}

}  // namespace

TLeakCallbacks& LeakCallbacks() { return gCallbacks; }

TLeakDataHeader ReadLeakOptionsOf(void* module) {
    HRSRC info = FindResourceA(static_cast<HMODULE>(module), "DVDATA", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (info == nullptr) return {};
    HGLOBAL data = LoadResource(static_cast<HMODULE>(module), info);
    const void* bytes = data != nullptr ? LockResource(data) : nullptr;
    return ReadLeakDataHeader(static_cast<const uint8_t*>(bytes), SizeofResource(static_cast<HMODULE>(module), info));
}

void RegisterLeakAllocationEntries(const uintptr_t* entries, int count) {
    gEntryCount = 0;
    struct TPlainMemory final : TLeakMemory {
        bool IsReadable(TLeakAddress address, std::size_t length) override {
            return Readable(address, length);
        }
    } memory;
    for (int i = 0; i < count && gEntryCount < 16; ++i) gEntries[gEntryCount++] = FollowJumpThunk(memory, entries[i]);
}

void* LeakGetMemFrom(std::size_t size, uintptr_t stackPosition, uintptr_t caller) {
    if (!gTracking.load(std::memory_order_relaxed) || !gInstalled.load(std::memory_order_relaxed))
        return std::malloc(size);
    if (size > static_cast<std::size_t>(INT32_MAX) - kLeakOverhead) return nullptr;
    void* raw = AllocateBlock(size + kLeakOverhead);
    if (raw == nullptr) return nullptr;
    auto* block = static_cast<TGuardHeader*>(raw);
    TrackBlock(block, size, stackPosition, caller);
    return UserPointerOf(block);
}

__attribute__((noinline)) void* LeakGetMem(std::size_t size) {
    const auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    return LeakGetMemFrom(size, reinterpret_cast<uintptr_t>(__builtin_frame_address(0)), caller);
}

void LeakFreeMemFrom(void* pointer, uintptr_t releasedAt, uintptr_t frame) {
    if (pointer == nullptr) return;
    // Without catching no block has a header to look for.
    if (!gCatching.load(std::memory_order_relaxed)) {
        std::free(pointer);
        return;
    }
    const TUntrackResult result = UntrackBlock(pointer, true);
    if (result.Error != teNone) {
        const uintptr_t site = frame != 0 ? ReleaseSiteOf(frame) : 0;
        HandleTrackError(result.Error, site != 0 ? site : releasedAt);
    }
    if (result.Action == utPassOn)
        std::free(pointer);
    else if (result.Action == utRelease && result.Block != nullptr)
        ReleaseBlock(result.Block);
}

__attribute__((noinline)) void LeakFreeMem(void* pointer) {
    LeakFreeMemFrom(pointer, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
}

__attribute__((noinline)) void* LeakReallocMem(void* pointer, std::size_t size) {
    const auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    const auto position = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    if (pointer == nullptr) return LeakGetMemFrom(size, position, caller);
    if (!IsTrackedPointer(pointer)) {
        // A block from before the manager was installed: it stays untracked.
        return std::realloc(pointer, size);
    }
    TGuardHeader* old = BlockOfUserPointer(pointer);
    const std::size_t oldSize = static_cast<std::size_t>(old->RequestedSize);
    // The new block first: the old one keeps its contents until they are copied.
    void* moved = LeakGetMemFrom(size, position, caller);
    if (moved == nullptr && size != 0) return nullptr;
    if (moved != nullptr) std::memcpy(moved, pointer, oldSize < size ? oldSize : size);
    LeakFreeMemFrom(pointer, caller);
    return moved;
}

void LeaksInit() {
    try {
        const std::string sizes = CheckLeakBlockSizes(kLeakHeaderSize, kLeakFooterSize);
        if (!sizes.empty()) FatalLeakUnitError(sizes.c_str());
        if (IsDevelopmentEnvironment()) {
            gCatching.store(false);
            return;
        }
        const bool catching = ReadLeakOptions();
        gCatching.store(catching);
        if (catching) {
            gTracking.store(true);
            InstallLeakManager();
        }
    } catch (...) {
        LeakMessageBox("Error in ELeaks Initialization.", "Error");
    }
}

void LeaksDone() {
    try {
        if (gCatching.load() && !gReported) {
            gReported = true;
            gTracking.store(false);
            ReportLeaks();
        }
        if (void (*after)() = gCallbacks.AfterReport) {
            gCallbacks.AfterReport = nullptr;
            after();
        }
    } catch (...) {
        LeakMessageBox("Error in ELeaks Finalization.", "Error");
    }
}

void LeaksFinal() {
    LeaksDone();
    if (!gCatching.load()) return;
    gTracking.store(false);
    gInstalled.store(false);
    if ((gOptions & lkFreeLeaksAtEnd) == 0) return;
    const TLockGuard lock;
    for (TGuardHeader* b = gList.Oldest; b != nullptr;) {
        TGuardHeader* next = b->NewerBlock;
        b->TrackState = tsReleased;
        ReleaseBlock(b);
        b = next;
    }
    gList = TLeakList();
    gTrackedCount = 0;
    while (gQuarantineCount > 0) {
        ReleaseBlock(gQuarantine[gQuarantineFirst]);
        gQuarantineFirst = (gQuarantineFirst + 1) % kQuarantineSlots;
        --gQuarantineCount;
    }
    gQuarantineBytes = 0;
}

bool IsLeakCatchingOn() { return gCatching.load(); }
bool IsLeakTrackingOn() { return gTracking.load() && gInstalled.load(); }
uint8_t LeakOptions() { return gOptions; }

std::size_t TrackedBlockCount() {
    const TLockGuard lock;
    return gTrackedCount;
}

std::size_t QuarantinedBlockCount() {
    const TLockGuard lock;
    return static_cast<std::size_t>(gQuarantineCount);
}

}  // namespace drevnik
