// The report heap: a reserved region committed as it fills, with one free
// list per power-of-two size. Only the routed thread allocates, so the lists
// need no lock; other threads hand their frees over through an atomic list
// that the routed thread takes whole. Blocks above kBigBlock get a mapping
// of their own (the program's appended debug data alone is larger than the
// region), kept in a small table so that any thread can free them.
//
// No thread_local here: the C++ runtime makes thread-local storage with
// malloc, which would call back into these wrappers.
#include "crashreport/capture/DrevnikReportHeap.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

namespace drevnik {
namespace {

#if defined(_WIN64)
constexpr std::size_t kRegionSize = 64u << 20;
#else
constexpr std::size_t kRegionSize = 16u << 20;
#endif
constexpr std::size_t kCommitStep = 64u << 10;
constexpr std::size_t kHeader = 16;  // keeps blocks 16-byte aligned
constexpr int kClasses = 24;         // 16 bytes to 128 MB
constexpr uint32_t kMagic = 0x44524850u;
constexpr std::size_t kBigBlock = 1u << 20;
constexpr uint32_t kBigClass = 0xFFFFFFFFu;
constexpr int kBigSlots = 64;

struct TBlockHeader {
    uint32_t Magic;
    uint32_t SizeClass;
    uint64_t Bytes;  // usable bytes of a big block; the next block while on the remote list
};
static_assert(sizeof(TBlockHeader) == kHeader);

struct TFreeBlock {
    TFreeBlock* Next;
};

std::atomic<uint8_t*> gRegion{nullptr};
std::size_t gCommitted = 0;
std::size_t gUsed = 0;
std::atomic<std::size_t> gInUse{0};
TFreeBlock* gFreeLists[kClasses] = {};
// Headers of region blocks that other threads freed, linked through Bytes
// so that their size class stays readable.
std::atomic<TBlockHeader*> gRemoteFrees{nullptr};
std::atomic<uint32_t> gRoutedThread{0};

// The user addresses of the big blocks; the bounds cover every block ever
// made, so a free elsewhere is told apart without a look at the table.
std::atomic<void*> gBigBlocks[kBigSlots] = {};
std::atomic<int> gBigCount{0};
std::atomic<uintptr_t> gBigLow{UINTPTR_MAX};
std::atomic<uintptr_t> gBigHigh{0};

std::atomic<int> gSuspendedNow{0};
std::atomic<uint32_t> gSuspensions{0};
// C runtime blocks that the routed thread freed: their heap's lock may be
// held by a thread that waits for the report, or is suspended by it.
std::atomic<TFreeBlock*> gDeferredFrees{nullptr};

int SizeClassOf(std::size_t size) {
    int c = 0;
    while ((std::size_t{16} << c) < size) ++c;
    return c;
}
std::size_t ClassBytes(int c) { return std::size_t{16} << c; }

uint8_t* Region() {
    uint8_t* region = gRegion.load();
    if (region == nullptr) {
        auto* reserved = static_cast<uint8_t*>(VirtualAlloc(nullptr, kRegionSize, MEM_RESERVE, PAGE_NOACCESS));
        uint8_t* expected = nullptr;
        if (reserved != nullptr && !gRegion.compare_exchange_strong(expected, reserved))
            VirtualFree(reserved, 0, MEM_RELEASE);
        region = gRegion.load();
    }
    return region;
}

bool InRegion(const void* block) {
    const uint8_t* region = gRegion.load();
    const auto* p = static_cast<const uint8_t*>(block);
    return region != nullptr && p >= region && p < region + kRegionSize;
}

bool IsBigBlock(const void* block) {
    const auto address = reinterpret_cast<uintptr_t>(block);
    if (gBigCount.load() == 0 || address < gBigLow.load() || address > gBigHigh.load()) return false;
    for (const auto& slot : gBigBlocks) {
        if (slot.load() == block) return true;
    }
    return false;
}

void* AllocateBig(std::size_t size) {
    if (size > SIZE_MAX - kHeader) return nullptr;
    auto* header = static_cast<TBlockHeader*>(
        VirtualAlloc(nullptr, size + kHeader, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (header == nullptr) return nullptr;
    header->Magic = kMagic;
    header->SizeClass = kBigClass;
    header->Bytes = size;
    void* block = reinterpret_cast<uint8_t*>(header) + kHeader;
    for (auto& slot : gBigBlocks) {
        void* empty = nullptr;
        if (slot.compare_exchange_strong(empty, block)) {
            const auto address = reinterpret_cast<uintptr_t>(block);
            for (uintptr_t low = gBigLow.load(); address < low && !gBigLow.compare_exchange_weak(low, address);) {
            }
            for (uintptr_t high = gBigHigh.load(); address > high && !gBigHigh.compare_exchange_weak(high, address);) {
            }
            gBigCount.fetch_add(1);
            gInUse.fetch_add(size);
            return block;
        }
    }
    VirtualFree(header, 0, MEM_RELEASE);
    return nullptr;
}

void FreeBig(void* block) {
    for (auto& slot : gBigBlocks) {
        void* expected = block;
        if (slot.compare_exchange_strong(expected, nullptr)) {
            auto* header = reinterpret_cast<TBlockHeader*>(static_cast<uint8_t*>(block) - kHeader);
            gInUse.fetch_sub(static_cast<std::size_t>(header->Bytes));
            gBigCount.fetch_sub(1);
            VirtualFree(header, 0, MEM_RELEASE);
            return;
        }
    }
}

bool IsRoutedThread() {
    const uint32_t routed = gRoutedThread.load(std::memory_order_relaxed);
    return routed != 0 && routed == GetCurrentThreadId();
}

void PushAtomic(std::atomic<TFreeBlock*>& list, void* block) {
    auto* node = static_cast<TFreeBlock*>(block);
    node->Next = list.load();
    while (!list.compare_exchange_weak(node->Next, node)) {
    }
}

void FreeOwn(void* block) {
    auto* header = reinterpret_cast<TBlockHeader*>(static_cast<uint8_t*>(block) - kHeader);
    const uint32_t c = header->SizeClass;
    gInUse.fetch_sub(ClassBytes(static_cast<int>(c)));
    auto* node = reinterpret_cast<TFreeBlock*>(header);
    node->Next = gFreeLists[c];
    gFreeLists[c] = node;
}

void PushRemote(void* block) {
    auto* header = reinterpret_cast<TBlockHeader*>(static_cast<uint8_t*>(block) - kHeader);
    TBlockHeader* head = gRemoteFrees.load();
    do {
        header->Bytes = reinterpret_cast<uintptr_t>(head);
    } while (!gRemoteFrees.compare_exchange_weak(head, header));
}

void TakeRemoteFrees() {
    for (TBlockHeader* header = gRemoteFrees.exchange(nullptr); header != nullptr;) {
        auto* next = reinterpret_cast<TBlockHeader*>(static_cast<uintptr_t>(header->Bytes));
        FreeOwn(reinterpret_cast<uint8_t*>(header) + kHeader);
        header = next;
    }
}

void* Allocate(std::size_t size) {
    TakeRemoteFrees();
    if (size > kBigBlock) return AllocateBig(size);
    const int c = SizeClassOf(size + kHeader);
    if (c >= kClasses) return nullptr;
    TFreeBlock* node = gFreeLists[c];
    uint8_t* block;
    if (node != nullptr) {
        gFreeLists[c] = node->Next;
        block = reinterpret_cast<uint8_t*>(node);
    } else {
        uint8_t* region = Region();
        const std::size_t bytes = ClassBytes(c);
        if (region == nullptr || gUsed + bytes > kRegionSize) return nullptr;
        const std::size_t end = gUsed + bytes;
        if (end > gCommitted) {
            const std::size_t commitEnd = std::min(kRegionSize, (end + kCommitStep - 1) / kCommitStep * kCommitStep);
            if (VirtualAlloc(region + gCommitted, commitEnd - gCommitted, MEM_COMMIT, PAGE_READWRITE) == nullptr)
                return nullptr;
            gCommitted = commitEnd;
        }
        block = region + gUsed;
        gUsed = end;
    }
    auto* header = reinterpret_cast<TBlockHeader*>(block);
    header->Magic = kMagic;
    header->SizeClass = static_cast<uint32_t>(c);
    header->Bytes = 0;
    gInUse.fetch_add(ClassBytes(c));
    return block + kHeader;
}

std::size_t UsableSize(const void* block) {
    const auto* header = reinterpret_cast<const TBlockHeader*>(static_cast<const uint8_t*>(block) - kHeader);
    if (header->SizeClass == kBigClass) return static_cast<std::size_t>(header->Bytes);
    return ClassBytes(static_cast<int>(header->SizeClass)) - kHeader;
}

}  // namespace

TReportHeapScope::TReportHeapScope() : previous_(gRoutedThread.exchange(GetCurrentThreadId())) { Region(); }
TReportHeapScope::~TReportHeapScope() { gRoutedThread.store(previous_); }

void NoteSuspended() {
    gSuspendedNow.fetch_add(1);
    gSuspensions.fetch_add(1);
}

extern "C" void __real_free(void*);

void NoteResumed() { gSuspendedNow.fetch_sub(1); }

void FlushDeferredFrees() {
    if (IsRoutedThread()) return;
    for (TFreeBlock* node = gDeferredFrees.exchange(nullptr); node != nullptr;) {
        TFreeBlock* next = node->Next;
        __real_free(node);
        node = next;
    }
}

uint32_t SuspensionCount() { return gSuspensions.load(); }
bool ThreadsSuspendedNow() { return gSuspendedNow.load() > 0; }
bool IsReportHeapBlock(const void* block) { return InRegion(block) || IsBigBlock(block); }
std::size_t ReportHeapBytesInUse() { return gInUse.load(); }

}  // namespace drevnik

using namespace drevnik;

extern "C" {

void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);

void* __wrap_malloc(std::size_t size) { return IsRoutedThread() ? Allocate(size) : __real_malloc(size); }

void* __wrap_calloc(std::size_t count, std::size_t size) {
    if (!IsRoutedThread()) return __real_calloc(count, size);
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    void* block = Allocate(count * size);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
}

void __wrap_free(void* block) {
    if (block == nullptr) return;
    if (InRegion(block)) {
        if (IsRoutedThread())
            FreeOwn(block);
        else
            PushRemote(block);
        return;
    }
    if (IsBigBlock(block)) {
        FreeBig(block);
        return;
    }
    if (IsRoutedThread()) {
        PushAtomic(gDeferredFrees, block);
        return;
    }
    __real_free(block);
}

void* __wrap_realloc(void* block, std::size_t size) {
    if (block == nullptr) return __wrap_malloc(size);
    if (size == 0) {
        __wrap_free(block);
        return nullptr;
    }
    const bool own = InRegion(block) || IsBigBlock(block);
    if (!own && !IsRoutedThread()) return __real_realloc(block, size);
    std::size_t oldSize;
    if (own) {
        oldSize = UsableSize(block);
        if (size <= oldSize && IsRoutedThread()) return block;
    } else {
        // A C runtime block in the routed thread: its size read without the heap's lock.
        using THeapHandle = HANDLE(__cdecl*)();
        static const auto heapHandle = reinterpret_cast<THeapHandle>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_get_heap_handle")));
        const SIZE_T measured = heapHandle != nullptr ? HeapSize(heapHandle(), HEAP_NO_SERIALIZE, block)
                                                      : static_cast<SIZE_T>(-1);
        if (measured == static_cast<SIZE_T>(-1)) return nullptr;
        oldSize = measured;
    }
    void* moved = __wrap_malloc(size);
    if (moved == nullptr) return nullptr;
    std::memcpy(moved, block, std::min(oldSize, size));
    __wrap_free(block);
    return moved;
}

}  // extern "C"
