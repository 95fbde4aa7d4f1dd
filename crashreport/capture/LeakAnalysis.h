// The leak tracker's platform-free part: the guard header in front of every
// tracked block, the list of live blocks, the library data header that the
// tracker reads itself, and the analysis of the blocks still live at
// shut-down. Whatever the analysis reads outside the blocks (code bytes,
// class data) it first tests through a TLeakMemory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace drevnik {

using TLeakAddress = uintptr_t;
constexpr int kLeakAddresses = 35;
constexpr uint32_t kLeakGuard = 0x100FAB10u;
// Blocks handed out keep the alignment of operator new: 16 bytes on i686
// too, where the heap itself gives only 8.
constexpr std::size_t kLeakAlign = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

enum TTrackState : uint8_t {
    tsLive = 0,
    tsReleased = 1,
    tsHidden = 2,
    // Released while the leak report walked the list: kept until it ends.
    tsReleasedInReport = 3,
};
enum TTrackKind : uint8_t { tkData = 0, tkObject = 1 };

struct TGuardHeader {
    TGuardHeader* OlderBlock;
    TGuardHeader* NewerBlock;
    uint8_t TrackState;
    uint8_t TrackKind;
    int32_t RequestedSize;
    TLeakAddress StackCopy[kLeakAddresses];
    TLeakAddress FrameChain[kLeakAddresses];
};

constexpr std::size_t RoundUpTo(std::size_t value, std::size_t step) { return (value + step - 1) / step * step; }
// The guard word is the header's last 4 bytes: 304 bytes of header on i686.
constexpr std::size_t kLeakHeaderSize = RoundUpTo(sizeof(TGuardHeader) + 8, kLeakAlign);
constexpr std::size_t kLeakGuardOffset = kLeakHeaderSize - 4;
// The analysis keeps a leak group's summed size in the 4 header bytes before
// the guard word and its block count in the footer's second word, so that
// RequestedSize and both guards stay valid for releases after the report.
constexpr std::size_t kLeakGroupSizeOffset = kLeakHeaderSize - 8;
constexpr std::size_t kLeakFooterSize = 8;
constexpr std::size_t kLeakOverhead = kLeakHeaderSize + kLeakFooterSize;
static_assert(sizeof(void*) != 4 || kLeakHeaderSize == 304, "the i686 header is 304 bytes");

// The start-up check of the block layout: the message of the first size
// that is not a multiple of 8, or empty.
std::string CheckLeakBlockSizes(std::size_t header, std::size_t footer);

// LeakOptions bits.
enum TLeakOption : uint8_t {
    lkCatchLeaks = 1 << 0,
    lkGroupLeaks = 1 << 1,
    lkHideFrameworkLeaks = 1 << 2,
    lkFreeLeaksAtEnd = 1 << 3,
    lkCheckOverruns = 1 << 4,
};

// The library data header as the tracker reads it: accepted only with the
// magic word and a data version of at least 6000 (600 to 602 stand for 6000
// to 6002).
struct TLeakDataHeader {
    bool Accepted = false;
    uint8_t LeakOptions = 0;
    bool UseMainModuleOptions = false;
};
TLeakDataHeader ReadLeakDataHeader(const uint8_t* bytes, std::size_t size);

// ---- Blocks ----------------------------------------------------------------------------

inline uint8_t* UserPointerOf(TGuardHeader* block) { return reinterpret_cast<uint8_t*>(block) + kLeakHeaderSize; }
inline TGuardHeader* BlockOfUserPointer(void* user) {
    return reinterpret_cast<TGuardHeader*>(static_cast<uint8_t*>(user) - kLeakHeaderSize);
}
uint32_t GuardWordOf(const TGuardHeader* block);
uint32_t TailGuardOf(const TGuardHeader* block);
uint32_t GroupCountOf(const TGuardHeader* block);
uint32_t GroupSizeOf(const TGuardHeader* block);

// Fills the header and both guards of a block of kLeakOverhead + `requested`
// bytes (the list links are left to TLeakList::Link).
void InitGuardHeader(TGuardHeader* block, std::size_t requested);

// The doubly linked list of live blocks, oldest to newest. Not locked: the
// caller holds the allocation lock.
struct TLeakList {
    TGuardHeader* Oldest = nullptr;
    TGuardHeader* Newest = nullptr;
    void Link(TGuardHeader* block);
    void Unlink(TGuardHeader* block);
    bool Empty() const { return Oldest == nullptr; }
};

// ---- What the analysis reads ------------------------------------------------------------

class TLeakMemory {
public:
    virtual ~TLeakMemory() = default;
    virtual bool IsReadable(TLeakAddress address, std::size_t length) = 0;
};

// The call's target when the 8 bytes at `address` are an indirect jump
// (FF 25) through a readable pointer; otherwise the address itself.
TLeakAddress FollowJumpThunk(TLeakMemory& memory, TLeakAddress address);

// The object's class through its virtual table and run-time type data:
// every pointer on the way is tested, and the type data must be of one of
// the runtime's class kinds. Empty when the block holds no such object.
std::string ObjectClassName(TLeakMemory& memory, const void* object);
// Whether the object's class or one of its bases is called `name` (ASCII
// case ignored).
bool ObjectClassChainHas(TLeakMemory& memory, const void* object, const char* name);
// The unqualified name of a mangled class name ("N2fw5TFormE" -> "TForm").
std::string UnqualifiedClassName(const char* mangled, std::size_t length);

// Replaces each address by the address of the call instruction before it;
// values with no call before them become 0; the zeros go to the end.
void KeepCallSites(TLeakMemory& memory, TLeakAddress (&addresses)[kLeakAddresses]);

// The leak analysis of Part "ReportLeaks" steps 4 to 9 and 10, over a list.
struct TLeakAnalysisHooks {
    // Routines whose calls create objects (the allocation entries).
    const TLeakAddress* AllocationEntries = nullptr;
    int AllocationEntryCount = 0;
};

class TLeakAnalysis {
public:
    TLeakAnalysis(TLeakList& list, TLeakMemory& memory, uint8_t options, TLeakAnalysisHooks hooks)
        : list_(list), memory_(memory), options_(options), hooks_(hooks) {}

    // The step names, as the failure box shows them.
    void ClassifyBlocks();
    void PurgeInvalidLeaks();
    void RemoveExtraLeaks(int keep = 1025);
    void PurgeCallStacks();
    void CountAllLeaks();
    void RemoveLeaksSons();

    bool HideOneBlock(const char* className, int32_t size);
    bool HasLiveObjectOf(const char* className);
    TLeakAddress FindCreationPoint(TGuardHeader* block);
    void FoldSons(TGuardHeader* father, int depth = 0);
    bool HoldsCreationPoint(const TGuardHeader* father, const TGuardHeader* candidate);

    // The type text of a reported block: its class, else "Data".
    std::string TypeText(const TGuardHeader* block);
    static bool IsReported(const TGuardHeader* block) {
        return block->TrackState == tsLive && block->StackCopy[0] != 0;
    }

private:
    bool IsAllocationEntry(TLeakAddress address) const;
    bool IsCreationCall(TLeakAddress address);

    TLeakList& list_;
    TLeakMemory& memory_;
    uint8_t options_;
    TLeakAnalysisHooks hooks_;
};

}  // namespace drevnik
