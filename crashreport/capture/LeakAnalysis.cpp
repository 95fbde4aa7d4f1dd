#include "crashreport/capture/LeakAnalysis.h"

#include <cstring>
#include <typeinfo>

namespace drevnik {
namespace {

template <class T>
T Read(TLeakAddress address) {
    T value;
    std::memcpy(&value, reinterpret_cast<const void*>(address), sizeof value);
    return value;
}

uint32_t ReadU32(const void* at) {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void WriteU32(void* at, uint32_t value) { std::memcpy(at, &value, sizeof value); }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameAscii(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// Samples of the three kinds of class type data of the runtime: their
// virtual tables tell a real type_info from stray words.
struct TPlainSample {
    virtual ~TPlainSample() = default;
};
struct TSingleSample : TPlainSample {};
struct TOtherSample {
    virtual ~TOtherSample() = default;
};
struct TMultiSample : TPlainSample, TOtherSample {};

TLeakAddress VtableOf(const std::type_info& info) { return Read<TLeakAddress>(reinterpret_cast<TLeakAddress>(&info)); }

enum TTypeKind { tkNone, tkPlainClass, tkSingleBase, tkMultiBase };

TTypeKind TypeKindOf(TLeakMemory& memory, TLeakAddress info) {
    static const TLeakAddress plain = VtableOf(typeid(TPlainSample));
    static const TLeakAddress single = VtableOf(typeid(TSingleSample));
    static const TLeakAddress multi = VtableOf(typeid(TMultiSample));
    if (info == 0 || !memory.IsReadable(info, 2 * sizeof(TLeakAddress))) return tkNone;
    const TLeakAddress vtable = Read<TLeakAddress>(info);
    return vtable == plain ? tkPlainClass : vtable == single ? tkSingleBase : vtable == multi ? tkMultiBase : tkNone;
}

// The type data of the object's class, 0 when the first word leads to none.
TLeakAddress TypeInfoOfObject(TLeakMemory& memory, const void* object) {
    const auto at = reinterpret_cast<TLeakAddress>(object);
    if (!memory.IsReadable(at, sizeof(TLeakAddress))) return 0;
    const TLeakAddress vtable = Read<TLeakAddress>(at);
    if (vtable < sizeof(TLeakAddress) || !memory.IsReadable(vtable - sizeof(TLeakAddress), sizeof(TLeakAddress)))
        return 0;
    const TLeakAddress info = Read<TLeakAddress>(vtable - sizeof(TLeakAddress));
    return TypeKindOf(memory, info) != tkNone ? info : 0;
}

// The printable mangled name of the type data; empty when unreadable.
std::string MangledNameOf(TLeakMemory& memory, TLeakAddress info) {
    const TLeakAddress name = Read<TLeakAddress>(info + sizeof(TLeakAddress));
    std::string text;
    for (std::size_t i = 0; i < 256; ++i) {
        if (!memory.IsReadable(name + i, 1)) return {};
        const char c = Read<char>(name + i);
        if (c == 0) break;
        if (static_cast<unsigned char>(c) < 32) return {};
        text += c;
    }
    return text;
}

bool ChainHas(TLeakMemory& memory, TLeakAddress info, const char* name, int depth) {
    const TTypeKind kind = TypeKindOf(memory, info);
    if (kind == tkNone || depth > 32) return false;
    const std::string mangled = MangledNameOf(memory, info);
    if (mangled.empty()) return false;
    if (SameAscii(UnqualifiedClassName(mangled.data(), mangled.size()), name)) return true;
    const std::size_t word = sizeof(TLeakAddress);
    if (kind == tkSingleBase) {
        if (!memory.IsReadable(info + 2 * word, word)) return false;
        return ChainHas(memory, Read<TLeakAddress>(info + 2 * word), name, depth + 1);
    }
    if (kind == tkMultiBase) {
        // flags and base count, then per base its type data and offset flags
        if (!memory.IsReadable(info + 2 * word, 8)) return false;
        const uint32_t count = Read<uint32_t>(info + 2 * word + 4);
        for (uint32_t i = 0; i < count && i < 16; ++i) {
            const TLeakAddress entry = info + 2 * word + 8 + i * 2 * word;
            if (!memory.IsReadable(entry, word)) return false;
            if (ChainHas(memory, Read<TLeakAddress>(entry), name, depth + 1)) return true;
        }
    }
    return false;
}

int32_t ReadDisplacement(TLeakAddress at) { return Read<int32_t>(at); }

// The address of the call instruction that returns to `value`, 0 when the
// bytes before it are no call.
TLeakAddress CallSiteOf(TLeakMemory& memory, TLeakAddress value) {
    if (value < 7 || !memory.IsReadable(value - 7, 7)) return 0;
    const auto at = [&](int back) { return Read<uint8_t>(value - back); };
    if (at(5) == 0xE8) {
        const TLeakAddress target = value + static_cast<TLeakAddress>(static_cast<intptr_t>(ReadDisplacement(value - 4)));
        return memory.IsReadable(target, 1) ? value - 5 : 0;
    }
    const uint8_t b2 = at(2), b1 = at(1);
    if (b2 == 0xFF && b1 >= 0xD0 && b1 <= 0xD7) return value - 2;
    if (b2 == 0xFF && ((b1 >= 0x10 && b1 <= 0x13) || b1 == 0x16 || b1 == 0x17)) return value - 2;
    if (at(3) == 0xFF && at(2) >= 0x50 && at(2) <= 0x57 && at(2) != 0x54) return value - 3;
    if (at(6) == 0xFF && at(5) >= 0x90 && at(5) <= 0x97 && at(5) != 0x94) return value - 6;
    if (at(3) == 0xFF && at(2) == 0x14 && at(1) == 0x24) return value - 3;
    if (at(4) == 0xFF && at(3) == 0x54 && at(2) == 0x24) return value - 4;
    if (at(7) == 0xFF && at(6) == 0x94 && at(5) == 0x24) return value - 7;
    if (at(6) == 0xFF && at(5) == 0x15) {
        // The 64-bit form addresses its pointer relative to the next instruction.
        const int32_t field = ReadDisplacement(value - 4);
        const TLeakAddress pointer = sizeof(void*) == 8 ? value + static_cast<TLeakAddress>(static_cast<intptr_t>(field))
                                                        : static_cast<TLeakAddress>(static_cast<uint32_t>(field));
        return memory.IsReadable(pointer, sizeof(TLeakAddress)) ? value - 6 : 0;
    }
    return 0;
}

void MoveZerosToEnd(TLeakAddress (&addresses)[kLeakAddresses]) {
    int kept = 0;
    for (int i = 0; i < kLeakAddresses; ++i)
        if (addresses[i] != 0) addresses[kept++] = addresses[i];
    for (int i = kept; i < kLeakAddresses; ++i) addresses[i] = 0;
}

TGuardHeader* NextVisible(TGuardHeader* block) {
    for (block = block->NewerBlock; block != nullptr && block->TrackState != tsLive; block = block->NewerBlock) {
    }
    return block;
}

uint8_t* GroupCountField(const TGuardHeader* block) {
    return const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>(block)) + kLeakHeaderSize +
           static_cast<uint32_t>(block->RequestedSize) + 4;
}
uint8_t* GroupSizeField(const TGuardHeader* block) {
    return const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>(block)) + kLeakGroupSizeOffset;
}

}  // namespace

std::string CheckLeakBlockSizes(std::size_t header, std::size_t footer) {
    if (header % 8 != 0) return "BlockOverHead size is NOT a multiple of 8.";
    if (footer % 8 != 0) return "BlockOverFoot size is NOT a multiple of 8.";
    if ((header + footer) % 8 != 0) return "(BlockOverHead + BlockOverHead) size is NOT a multiple of 8.";
    return {};
}

TLeakDataHeader ReadLeakDataHeader(const uint8_t* bytes, std::size_t size) {
    TLeakDataHeader header;
    if (bytes == nullptr || size < 16) return header;
    const uint32_t magic = ReadU32(bytes);
    if (magic != 0x100FAB10u && magic != 0x000FAB10u) return header;
    uint32_t version = static_cast<uint32_t>(bytes[4] | (bytes[5] << 8));
    if (version >= 600 && version <= 602) version = version - 600 + 6000;
    if (version < 6000) return header;
    header.Accepted = true;
    header.LeakOptions = bytes[14];
    header.UseMainModuleOptions = bytes[15] != 0;
    return header;
}

uint32_t GuardWordOf(const TGuardHeader* block) {
    return ReadU32(reinterpret_cast<const uint8_t*>(block) + kLeakGuardOffset);
}
uint32_t TailGuardOf(const TGuardHeader* block) {
    return ReadU32(reinterpret_cast<const uint8_t*>(block) + kLeakHeaderSize + static_cast<uint32_t>(block->RequestedSize));
}
uint32_t GroupCountOf(const TGuardHeader* block) { return ReadU32(GroupCountField(block)); }
uint32_t GroupSizeOf(const TGuardHeader* block) { return ReadU32(GroupSizeField(block)); }

void InitGuardHeader(TGuardHeader* block, std::size_t requested) {
    block->TrackState = tsLive;
    block->TrackKind = tkData;
    block->RequestedSize = static_cast<int32_t>(requested);
    auto* bytes = reinterpret_cast<uint8_t*>(block);
    WriteU32(bytes + kLeakGuardOffset, kLeakGuard);
    WriteU32(bytes + kLeakGroupSizeOffset, 0);
    WriteU32(bytes + kLeakHeaderSize + requested, kLeakGuard);
    WriteU32(bytes + kLeakHeaderSize + requested + 4, 0);
}

void TLeakList::Link(TGuardHeader* block) {
    block->NewerBlock = nullptr;
    block->OlderBlock = Newest;
    if (Newest != nullptr)
        Newest->NewerBlock = block;
    else
        Oldest = block;
    Newest = block;
}

void TLeakList::Unlink(TGuardHeader* block) {
    if (block->OlderBlock != nullptr)
        block->OlderBlock->NewerBlock = block->NewerBlock;
    else if (Oldest == block)
        Oldest = block->NewerBlock;
    if (block->NewerBlock != nullptr)
        block->NewerBlock->OlderBlock = block->OlderBlock;
    else if (Newest == block)
        Newest = block->OlderBlock;
    block->OlderBlock = block->NewerBlock = nullptr;
}

TLeakAddress FollowJumpThunk(TLeakMemory& memory, TLeakAddress address) {
    if (!memory.IsReadable(address, 8) || Read<uint8_t>(address) != 0xFF || Read<uint8_t>(address + 1) != 0x25)
        return address;
    const int32_t field = Read<int32_t>(address + 2);
    const TLeakAddress pointer = sizeof(void*) == 8 ? address + 6 + static_cast<TLeakAddress>(static_cast<intptr_t>(field))
                                                    : static_cast<TLeakAddress>(static_cast<uint32_t>(field));
    if (!memory.IsReadable(pointer, sizeof(TLeakAddress))) return address;
    return Read<TLeakAddress>(pointer);
}

std::string UnqualifiedClassName(const char* mangled, std::size_t length) {
    std::string_view text(mangled, length);
    if (!text.empty() && text.front() == '*') text.remove_prefix(1);
    const bool nested = !text.empty() && text.front() == 'N';
    if (nested) text.remove_prefix(1);
    std::string last;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        std::size_t size = 0;
        while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
            size = size * 10 + static_cast<std::size_t>(text.front() - '0');
            text.remove_prefix(1);
            if (size > 4096) return {};
        }
        if (size == 0 || size > text.size()) return {};
        last.assign(text.substr(0, size));
        text.remove_prefix(size);
        if (!nested) break;
    }
    return last;
}

std::string ObjectClassName(TLeakMemory& memory, const void* object) {
    const TLeakAddress info = TypeInfoOfObject(memory, object);
    if (info == 0) return {};
    const std::string mangled = MangledNameOf(memory, info);
    return UnqualifiedClassName(mangled.data(), mangled.size());
}

bool ObjectClassChainHas(TLeakMemory& memory, const void* object, const char* name) {
    const TLeakAddress info = TypeInfoOfObject(memory, object);
    return info != 0 && ChainHas(memory, info, name, 0);
}

void KeepCallSites(TLeakMemory& memory, TLeakAddress (&addresses)[kLeakAddresses]) {
    for (TLeakAddress& value : addresses) value = value != 0 ? CallSiteOf(memory, value) : 0;
    MoveZerosToEnd(addresses);
}

// ---- Analysis --------------------------------------------------------------------------

void TLeakAnalysis::ClassifyBlocks() {
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock) {
        const bool object = b->RequestedSize >= static_cast<int32_t>(sizeof(void*)) &&
                            !ObjectClassName(memory_, UserPointerOf(b)).empty();
        b->TrackKind = object ? tkObject : tkData;
    }
}

bool TLeakAnalysis::HideOneBlock(const char* className, int32_t size) {
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock) {
        if (b->TrackState != tsLive) continue;
        if (b->TrackKind != (className != nullptr ? tkObject : tkData)) continue;
        if (size != 0 && b->RequestedSize != size) continue;
        if (className != nullptr && ObjectClassName(memory_, UserPointerOf(b)) != className) continue;
        b->TrackState = tsHidden;
        return true;
    }
    return false;
}

bool TLeakAnalysis::HasLiveObjectOf(const char* className) {
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock)
        if (b->TrackState == tsLive && b->TrackKind == tkObject &&
            ObjectClassChainHas(memory_, UserPointerOf(b), className))
            return true;
    return false;
}

void TLeakAnalysis::PurgeInvalidLeaks() {
    if ((options_ & lkHideFrameworkLeaks) != 0) {
        if (!HideOneBlock("TIdCriticalSection", 0)) HideOneBlock("TCriticalSection", 0);
        HideOneBlock("TIdThreadSafeInteger", 0);
        while (HideOneBlock("TIntConst", 0)) {
        }
    }
    if (HasLiveObjectOf("TForm")) {
        HideOneBlock(nullptr, 60);
        HideOneBlock(nullptr, 32);
        HideOneBlock(nullptr, 32);
        HideOneBlock(nullptr, 64);
    }
}

void TLeakAnalysis::RemoveExtraLeaks(int keep) {
    int kept = 0;
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock) {
        if (b->TrackState != tsLive) continue;
        if (kept < keep)
            ++kept;
        else
            b->TrackState = tsHidden;
    }
}

bool TLeakAnalysis::IsAllocationEntry(TLeakAddress address) const {
    for (int i = 0; i < hooks_.AllocationEntryCount; ++i)
        if (hooks_.AllocationEntries[i] == address) return true;
    return false;
}

// A direct call of one of the allocation entries (a new-expression).
bool TLeakAnalysis::IsCreationCall(TLeakAddress address) {
    if (address == 0 || !memory_.IsReadable(address, 5) || Read<uint8_t>(address) != 0xE8) return false;
    const TLeakAddress target = address + 5 + static_cast<TLeakAddress>(static_cast<intptr_t>(ReadDisplacement(address + 1)));
    return IsAllocationEntry(target) || IsAllocationEntry(FollowJumpThunk(memory_, target));
}

TLeakAddress TLeakAnalysis::FindCreationPoint(TGuardHeader* block) {
    TLeakAddress (&stack)[kLeakAddresses] = block->StackCopy;
    if (block->TrackKind != tkObject) return stack[0];
    for (int i = 0; i < kLeakAddresses; ++i) {
        if (!IsCreationCall(stack[i])) continue;
        if (i > 0) {
            int to = 0;
            for (int from = i; from < kLeakAddresses; ++from) stack[to++] = stack[from];
            while (to < kLeakAddresses) stack[to++] = 0;
        }
        return stack[0];
    }
    return 0;
}

void TLeakAnalysis::PurgeCallStacks() {
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock) {
        if (b->TrackState == tsReleasedInReport) continue;
        KeepCallSites(memory_, b->StackCopy);
        KeepCallSites(memory_, b->FrameChain);
        if (FindCreationPoint(b) != 0) continue;
        std::memcpy(b->StackCopy, b->FrameChain, sizeof b->StackCopy);
        if (FindCreationPoint(b) == 0) std::memset(b->FrameChain, 0, sizeof b->FrameChain);
    }
}

void TLeakAnalysis::CountAllLeaks() {
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock) {
        if (b->TrackState != tsLive) continue;
        uint32_t count = 1;
        uint32_t size = static_cast<uint32_t>(b->RequestedSize);
        for (TGuardHeader* other = NextVisible(b); other != nullptr; other = NextVisible(other)) {
            if (other->StackCopy[0] != b->StackCopy[0] || other->RequestedSize != b->RequestedSize) continue;
            other->TrackState = tsHidden;
            size += static_cast<uint32_t>(other->RequestedSize);
            ++count;
        }
        WriteU32(GroupCountField(b), count);
        WriteU32(GroupSizeField(b), size);
    }
}

// The son's stack passes through the father's creation: two neighbouring
// entries equal the father's first two. A new-expression calls the
// allocation and then the constructor, so the son may show the constructor's
// call a few bytes after the father's allocation call in place of it.
bool TLeakAnalysis::HoldsCreationPoint(const TGuardHeader* father, const TGuardHeader* candidate) {
    constexpr TLeakAddress kConstructorCallReach = 64;
    const auto sameCreation = [&](TLeakAddress fatherSite, TLeakAddress site) {
        if (site == fatherSite) return true;
        return site > fatherSite && site - fatherSite <= kConstructorCallReach && memory_.IsReadable(site, 1) &&
               Read<uint8_t>(site) == 0xE8;
    };
    const auto test = [&](const TLeakAddress (&fatherList)[kLeakAddresses], const TLeakAddress (&list)[kLeakAddresses]) {
        if (fatherList[0] == 0 || fatherList[1] == 0) return false;
        for (int i = 1; i <= 33; ++i)
            if (sameCreation(fatherList[0], list[i]) && list[i + 1] == fatherList[1]) return true;
        return false;
    };
    if (test(father->StackCopy, candidate->StackCopy)) return true;
    return father->StackCopy[0] == father->FrameChain[0] && test(father->FrameChain, candidate->FrameChain);
}

void TLeakAnalysis::FoldSons(TGuardHeader* father, int depth) {
    if (father->TrackKind != tkObject || father->TrackState != tsLive || depth > 64) return;
    for (TGuardHeader* son = NextVisible(father); son != nullptr;) {
        if (!HoldsCreationPoint(father, son)) {
            son = NextVisible(son);
            continue;
        }
        FoldSons(son, depth + 1);
        WriteU32(GroupSizeField(father), GroupSizeOf(father) + GroupSizeOf(son));
        son->TrackState = tsHidden;
        son = NextVisible(son);
    }
}

void TLeakAnalysis::RemoveLeaksSons() {
    if ((options_ & lkGroupLeaks) == 0) return;
    for (TGuardHeader* b = list_.Oldest; b != nullptr; b = b->NewerBlock) FoldSons(b);
}

std::string TLeakAnalysis::TypeText(const TGuardHeader* block) {
    if (block->TrackKind == tkObject) {
        std::string name = ObjectClassName(memory_, UserPointerOf(const_cast<TGuardHeader*>(block)));
        if (!name.empty()) return name;
    }
    return "Data";
}

}  // namespace drevnik
