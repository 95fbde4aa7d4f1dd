#include "crashreport/capture/LeakAnalysis.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace drevnik {
namespace {

// Readable: the code buffers a test registers, and (for the class tests)
// whatever real objects and their type data point to.
class TFakeMemory final : public TLeakMemory {
public:
    bool TrustAll = false;
    std::vector<std::pair<TLeakAddress, std::size_t>> Ranges;
    bool IsReadable(TLeakAddress address, std::size_t length) override {
        if (TrustAll) return address != 0;
        for (const auto& [start, size] : Ranges)
            if (address >= start && address + length <= start + size) return true;
        return false;
    }
};

// Blocks as the manager lays them out, in one list.
class TBlocks {
public:
    ~TBlocks() {
        for (void* b : raw_) ::operator delete(b, std::align_val_t(kLeakAlign));
    }
    TGuardHeader* Add(std::size_t size, std::vector<TLeakAddress> stack = {}) {
        void* raw = ::operator new(size + kLeakOverhead, std::align_val_t(kLeakAlign));
        raw_.push_back(raw);
        auto* block = static_cast<TGuardHeader*>(raw);
        std::memset(raw, 0, size + kLeakOverhead);
        InitGuardHeader(block, size);
        for (std::size_t i = 0; i < stack.size() && i < kLeakAddresses; ++i) block->StackCopy[i] = stack[i];
        List.Link(block);
        return block;
    }
    int Visible() const {
        int n = 0;
        for (TGuardHeader* b = List.Oldest; b != nullptr; b = b->NewerBlock) n += b->TrackState == tsLive;
        return n;
    }
    TLeakList List;

private:
    std::vector<void*> raw_;
};

struct TFormBase {
    virtual ~TFormBase() = default;
};
}  // namespace
}  // namespace drevnik

// Class names as the framework's classes would carry them.
class TForm : public drevnik::TFormBase {};
class TLeakyForm : public TForm {};
class TIntConst {
public:
    virtual ~TIntConst() = default;
    int Value = 0;
};
class TOtherBase {
public:
    virtual ~TOtherBase() = default;
};
class TMixed : public TOtherBase, public TForm {};

namespace drevnik {
namespace {

TEST(LeakAnalysis, BlockSizeCheck) {
    struct TRow {
        std::size_t Header, Footer;
        const char* Message;
    } rows[] = {
        {304, 8, ""},
        {300, 8, "BlockOverHead size is NOT a multiple of 8."},
        {304, 6, "BlockOverFoot size is NOT a multiple of 8."},
    };
    for (const TRow& row : rows) EXPECT_EQ(CheckLeakBlockSizes(row.Header, row.Footer), row.Message);
    EXPECT_TRUE(CheckLeakBlockSizes(kLeakHeaderSize, kLeakFooterSize).empty());
    EXPECT_EQ(kLeakHeaderSize % kLeakAlign, 0u);
}

TEST(LeakAnalysis, LibraryDataHeader) {
    struct TRow {
        uint32_t Magic;
        uint16_t Version;
        bool Accepted;
    } rows[] = {
        {0x100FAB10u, 6025, true}, {0x000FAB10u, 6000, true}, {0x100FAB10u, 601, true},
        {0x100FAB10u, 602, true},  {0x100FAB10u, 603, false}, {0x100FAB10u, 5999, false},
        {0x100FAB11u, 6025, false},
    };
    for (const TRow& row : rows) {
        uint8_t bytes[16] = {};
        std::memcpy(bytes, &row.Magic, 4);
        std::memcpy(bytes + 4, &row.Version, 2);
        bytes[14] = 0x1F;
        bytes[15] = 1;
        const TLeakDataHeader header = ReadLeakDataHeader(bytes, sizeof bytes);
        EXPECT_EQ(header.Accepted, row.Accepted) << row.Version;
        if (row.Accepted) {
            EXPECT_EQ(header.LeakOptions, 0x1F);
            EXPECT_TRUE(header.UseMainModuleOptions);
        }
    }
    uint8_t shortHeader[15] = {0x10, 0xAB, 0x0F, 0x10, 0x89, 0x17};
    EXPECT_FALSE(ReadLeakDataHeader(shortHeader, sizeof shortHeader).Accepted);
}

TEST(LeakAnalysis, GuardsAndGroupFieldsLeaveSizeAlone) {
    TBlocks blocks;
    TGuardHeader* b = blocks.Add(12, {0x1000});
    EXPECT_EQ(GuardWordOf(b), kLeakGuard);
    EXPECT_EQ(TailGuardOf(b), kLeakGuard);
    TFakeMemory memory;
    TLeakAnalysis analysis(blocks.List, memory, 0, {});
    analysis.CountAllLeaks();
    EXPECT_EQ(GroupCountOf(b), 1u);
    EXPECT_EQ(GroupSizeOf(b), 12u);
    EXPECT_EQ(b->RequestedSize, 12);
    EXPECT_EQ(GuardWordOf(b), kLeakGuard);
    EXPECT_EQ(TailGuardOf(b), kLeakGuard);
    UserPointerOf(b)[12] = 0;  // one byte past the block
    EXPECT_NE(TailGuardOf(b), kLeakGuard);
}

TEST(LeakAnalysis, ListKeepsItsEnds) {
    TBlocks blocks;
    TGuardHeader* a = blocks.Add(1);
    TGuardHeader* b = blocks.Add(1);
    TGuardHeader* c = blocks.Add(1);
    blocks.List.Unlink(b);
    EXPECT_EQ(a->NewerBlock, c);
    EXPECT_EQ(c->OlderBlock, a);
    blocks.List.Unlink(a);
    EXPECT_EQ(blocks.List.Oldest, c);
    blocks.List.Unlink(c);
    EXPECT_TRUE(blocks.List.Empty());
    EXPECT_EQ(blocks.List.Newest, nullptr);
}

TEST(LeakAnalysis, TenBlocksOfOneLineAreOneGroup) {
    TBlocks blocks;
    for (int i = 0; i < 10; ++i) blocks.Add(12, {0x4010, 0x5000});
    blocks.Add(12, {0x4020});
    blocks.Add(16, {0x4010});
    TFakeMemory memory;
    TLeakAnalysis analysis(blocks.List, memory, 0, {});
    analysis.CountAllLeaks();
    TGuardHeader* first = blocks.List.Oldest;
    EXPECT_EQ(GroupCountOf(first), 10u);
    EXPECT_EQ(GroupSizeOf(first), 120u);
    EXPECT_EQ(blocks.Visible(), 3);
}

TEST(LeakAnalysis, OnlyTheOldest1025AreKept) {
    TBlocks blocks;
    for (int i = 0; i < 1100; ++i) blocks.Add(8);
    TFakeMemory memory;
    TLeakAnalysis(blocks.List, memory, 0, {}).RemoveExtraLeaks();
    EXPECT_EQ(blocks.Visible(), 1025);
    EXPECT_EQ(blocks.List.Newest->TrackState, tsHidden);
    EXPECT_EQ(blocks.List.Oldest->TrackState, tsLive);
}

TEST(LeakAnalysis, ClassNames) {
    struct TRow {
        const char* Mangled;
        const char* Name;
    } rows[] = {
        {"5TForm", "TForm"}, {"N2fw5TFormE", "TForm"}, {"N7drevnik2ns9TLeakTestE", "TLeakTest"},
        {"*5TForm", "TForm"}, {"5TFor", ""}, {"x", ""}, {"", ""},
    };
    for (const TRow& row : rows) EXPECT_EQ(UnqualifiedClassName(row.Mangled, std::strlen(row.Mangled)), row.Name);

    TFakeMemory memory;
    memory.TrustAll = true;
    TLeakyForm form;
    TMixed mixed;
    EXPECT_EQ(ObjectClassName(memory, &form), "TLeakyForm");
    EXPECT_TRUE(ObjectClassChainHas(memory, &form, "TFORM"));
    EXPECT_TRUE(ObjectClassChainHas(memory, &mixed, "tform"));
    EXPECT_FALSE(ObjectClassChainHas(memory, &form, "TIntConst"));
    // Plain data whose first word leads nowhere is no object.
    TFakeMemory strict;
    uint64_t data[2] = {0x1234, 0};
    EXPECT_EQ(ObjectClassName(strict, data), "");
}

TEST(LeakAnalysis, FrameworkSingletonsAndFormBlocksAreHidden) {
    TBlocks blocks;
    new (UserPointerOf(blocks.Add(sizeof(TIntConst)))) TIntConst();
    new (UserPointerOf(blocks.Add(sizeof(TIntConst)))) TIntConst();
    TGuardHeader* form = blocks.Add(sizeof(TLeakyForm));
    new (UserPointerOf(form)) TLeakyForm();
    for (int size : {60, 32, 32, 32, 64, 64}) blocks.Add(static_cast<std::size_t>(size));
    TFakeMemory memory;
    memory.TrustAll = true;
    TLeakAnalysis analysis(blocks.List, memory, lkHideFrameworkLeaks, {});
    analysis.ClassifyBlocks();
    analysis.PurgeInvalidLeaks();
    std::vector<std::string> left;
    for (TGuardHeader* b = blocks.List.Oldest; b != nullptr; b = b->NewerBlock)
        if (b->TrackState == tsLive) left.push_back(analysis.TypeText(b) + std::to_string(b->RequestedSize));
    EXPECT_EQ(left, (std::vector<std::string>{"TLeakyForm" + std::to_string(sizeof(TLeakyForm)), "Data32", "Data64"}));
}

// Code bytes: a call through a register, a direct call of the allocation
// entry and of an ordinary routine, and bytes that are no call.
struct TCode {
    alignas(16) uint8_t Bytes[256] = {};
    TLeakAddress At(int offset) const { return reinterpret_cast<TLeakAddress>(Bytes) + static_cast<TLeakAddress>(offset); }
    void DirectCall(int at, int target) {
        Bytes[at] = 0xE8;
        const int32_t displacement = target - (at + 5);
        std::memcpy(Bytes + at + 1, &displacement, 4);
    }
};

TEST(LeakAnalysis, KeepCallSites) {
    TCode code;
    code.DirectCall(20, 200);  // returns to 25
    code.Bytes[40] = 0xFF;     // call eax, returns to 42
    code.Bytes[41] = 0xD0;
    code.Bytes[60] = 0xFF;  // call [ebx+8], returns to 63
    code.Bytes[61] = 0x53;
    code.Bytes[62] = 0x08;
    code.Bytes[80] = 0xFF;  // call [esp], returns to 83
    code.Bytes[81] = 0x14;
    code.Bytes[82] = 0x24;
    code.Bytes[100] = 0xFF;  // call [esp+disp32], returns to 107
    code.Bytes[101] = 0x94;
    code.Bytes[102] = 0x24;
    code.DirectCall(120, 100000);  // target outside readable memory: dropped
    TFakeMemory memory;
    memory.Ranges.push_back({code.At(0), sizeof code.Bytes});
    TLeakAddress list[kLeakAddresses] = {code.At(25), code.At(30), code.At(42), 0,           code.At(63),
                                         code.At(83), code.At(107), code.At(125), 0x10};
    KeepCallSites(memory, list);
    const TLeakAddress expected[] = {code.At(20), code.At(40), code.At(60), code.At(80), code.At(100), 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i], expected[i]) << i;
}

TEST(LeakAnalysis, ObjectCreationPointIsTheAllocationCall) {
    TCode code;
    code.DirectCall(10, 200);  // some other routine
    code.DirectCall(30, 220);  // the allocation entry
    const TLeakAddress entry = code.At(220);
    TFakeMemory memory;
    memory.TrustAll = false;
    memory.Ranges.push_back({code.At(0), sizeof code.Bytes});
    TBlocks blocks;
    TGuardHeader* object = blocks.Add(sizeof(TLeakyForm), {code.At(15), code.At(35), code.At(15)});
    TGuardHeader* data = blocks.Add(8, {code.At(15), code.At(35)});
    TLeakAnalysis analysis(blocks.List, memory, 0, {&entry, 1});
    object->TrackKind = tkObject;
    analysis.PurgeCallStacks();
    EXPECT_EQ(object->StackCopy[0], code.At(30));
    EXPECT_EQ(object->StackCopy[1], code.At(10));
    EXPECT_EQ(object->StackCopy[2], 0u);
    // A data block keeps its first call site.
    EXPECT_EQ(data->StackCopy[0], code.At(10));
}

TEST(LeakAnalysis, ObjectWithoutCreationCallFallsBackToTheFrameChain) {
    TCode code;
    code.DirectCall(10, 200);
    code.DirectCall(30, 220);
    const TLeakAddress entry = code.At(220);
    TFakeMemory memory;
    memory.Ranges.push_back({code.At(0), sizeof code.Bytes});
    TBlocks blocks;
    TGuardHeader* object = blocks.Add(16, {code.At(15)});
    object->FrameChain[0] = code.At(35);
    object->TrackKind = tkObject;
    TLeakAnalysis analysis(blocks.List, memory, 0, {&entry, 1});
    analysis.PurgeCallStacks();
    EXPECT_EQ(object->StackCopy[0], code.At(30));
}

// The father's creation: allocation call at 30, constructor call at 40,
// both returning into a caller whose call site is at 100.
TEST(LeakAnalysis, SonsFoldIntoTheirFather) {
    for (const bool group : {true, false}) {
        TCode code;
        code.DirectCall(30, 220);
        code.DirectCall(40, 230);
        code.DirectCall(60, 220);
        code.DirectCall(100, 240);
        TFakeMemory memory;
        memory.Ranges.push_back({code.At(0), sizeof code.Bytes});
        TBlocks blocks;
        TGuardHeader* father = blocks.Add(24, {code.At(30), code.At(100)});
        TGuardHeader* son = blocks.Add(40, {code.At(60), code.At(40), code.At(100)});
        TGuardHeader* stranger = blocks.Add(8, {code.At(60), code.At(100)});
        father->TrackKind = tkObject;
        TLeakAnalysis analysis(blocks.List, memory, group ? lkGroupLeaks : 0, {});
        analysis.CountAllLeaks();
        analysis.RemoveLeaksSons();
        EXPECT_EQ(GroupSizeOf(father), group ? 64u : 24u);
        EXPECT_EQ(son->TrackState, group ? tsHidden : tsLive);
        EXPECT_EQ(stranger->TrackState, tsLive);
    }
}

}  // namespace
}  // namespace drevnik
