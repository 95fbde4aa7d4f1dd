// The raw stack scan on byte buffers: fake code and stack memory at 32-bit
// addresses, and a lookup that names every address.
#include "crashreport/debuginfo/DrevnikCallStack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace drevnik {
namespace {

class TFakeMemory : public TStackMemory {
public:
    void Put(uintptr_t address, std::vector<uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes_[address + i] = bytes[i];
    }
    void Put32(uintptr_t address, uint32_t value) {
        Put(address, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                      static_cast<uint8_t>(value >> 24)});
    }
    // A readable area of zero bytes.
    void Map(uintptr_t address, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) bytes_.emplace(address + i, 0);
    }
    bool IsReadable(uintptr_t address, std::size_t length) const override {
        ++readabilityTests;
        for (std::size_t i = 0; i < length; ++i)
            if (bytes_.count(address + i) == 0) return false;
        return true;
    }
    bool Read(uintptr_t address, void* out, std::size_t length) const override {
        for (std::size_t i = 0; i < length; ++i) {
            auto it = bytes_.find(address + i);
            if (it == bytes_.end()) return false;
            static_cast<uint8_t*>(out)[i] = it->second;
        }
        return true;
    }
    uintptr_t ResolveImportThunk(uintptr_t address) const override {
        auto it = thunks.find(address);
        return it != thunks.end() ? it->second : address;
    }
    std::map<uintptr_t, uintptr_t> thunks;
    mutable int readabilityTests = 0;

private:
    std::map<uintptr_t, uint8_t> bytes_;
};

constexpr uintptr_t kCode = 0x401000;
constexpr uintptr_t kStack = 0x20000;

struct TScanFixture {
    TFakeMemory memory;
    TDrevnikModuleInfo module;
    TStackScanServices services;
    TDrevnikStackList list;

    TScanFixture() {
        module.ModuleHandle = 0x400000;
        memory.Map(kCode, 0x1000);
        memory.Map(kStack, 0x100);
        services.Memory = &memory;
        services.Lookup = [this](uintptr_t address, uint8_t, TCallStackEntry& e) {
            e.EntryKind = address >= kCode && address < kCode + 0x1000 ? ekUnitRoutineLine : ekNothing;
            e.CodeAddress = address;
            e.ModuleRecord = &module;
            e.RoutineName = std::to_string(address);
            e.LineInRoutine = 1;
        };
    }
    TStackScanParams Range(uintptr_t length = 0x100) const {
        TStackScanParams p;
        p.StackStart = kStack;
        p.StackEnd = kStack + length - 4;
        p.ThreadId = 7;
        return p;
    }
    std::vector<uintptr_t> Scan(const TStackScanParams& p, uintptr_t programCounter = 0) {
        ScanStackWith(list, p, services, programCounter);
        std::vector<uintptr_t> out;
        for (int i = 0; i < list.Count(); ++i) out.push_back(list[i].CodeAddress);
        return out;
    }
};

TEST(StackScan, EachCallFormEntersTheCallInstruction) {
    struct Row {
        const char* form;
        std::vector<uint8_t> before;  // the bytes right before the return address
        int callLength;               // 0: the value is not taken
    };
    const std::vector<Row> rows = {
        {"call eax", {0xFF, 0xD0}, 2},
        {"call [esi]", {0xFF, 0x16}, 2},
        {"call [eax+8] after mov", {0x8B, 0x00, 0xFF, 0x50, 0x08}, 3},
        {"call [edx+8] after our store", {0x8B, 0x10, 0x89, 0x04, 0x24, 0xFF, 0x52, 0x08}, 3},
        {"call [ebp+8] without a load", {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0x55, 0x08}, 0},
        {"call [eax+disp32]", {0xFF, 0x90, 1, 2, 3, 4}, 6},
        {"call [esp]", {0xFF, 0x14, 0x24}, 3},
        {"call [esp+8]", {0xFF, 0x54, 0x24, 0x08}, 4},
        {"call [esp+disp32]", {0xFF, 0x94, 0x24, 1, 0, 0, 0}, 7},
        {"call [absolute], readable", {0xFF, 0x15, 0x00, 0x18, 0x40, 0x00}, 6},
        {"call [absolute], unreadable", {0xFF, 0x15, 0x00, 0x00, 0x00, 0x70}, 0},
        {"no call", {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.form);
        TScanFixture f;
        const uintptr_t ret = kCode + 0x100;
        f.memory.Put(ret - row.before.size(), row.before);
        f.memory.Put32(kStack + 8, static_cast<uint32_t>(ret));
        const auto found = f.Scan(f.Range());
        if (row.callLength == 0) {
            EXPECT_TRUE(found.empty());
        } else {
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0], ret - static_cast<uintptr_t>(row.callLength));
        }
    }
}

TEST(StackScan, DirectCallEntersTheResolvedTargetBeforeTheCallSite) {
    TScanFixture f;
    const uintptr_t ret = kCode + 0x105, thunk = kCode + 0x800, imported = kCode + 0x900;
    const uint32_t rel = static_cast<uint32_t>(thunk - ret);
    f.memory.Put(ret - 5, {0xE8, static_cast<uint8_t>(rel), static_cast<uint8_t>(rel >> 8), 0, 0});
    f.memory.thunks[thunk] = imported;
    f.memory.Put(imported, {0x55, 0x89, 0xE5});
    f.memory.Put32(kStack, static_cast<uint32_t>(ret));
    EXPECT_EQ(f.Scan(f.Range()), (std::vector<uintptr_t>{imported, ret - 5}));

    // A target that starts with another call is not entered; the call site is.
    TScanFixture g;
    g.memory.Put(ret - 5, {0xE8, static_cast<uint8_t>(rel), static_cast<uint8_t>(rel >> 8), 0, 0});
    g.memory.Put(thunk, {0xE8, 0, 0, 0, 0});
    g.memory.Put32(kStack, static_cast<uint32_t>(ret));
    EXPECT_EQ(g.Scan(g.Range()), (std::vector<uintptr_t>{ret - 5}));
}

TEST(StackScan, RangesAreCutAndReversedRangesNotWalked) {
    TScanFixture f;
    f.memory.Map(kStack, 200 * 1024);
    const uintptr_t ret = kCode + 0x100;
    f.memory.Put(ret - 2, {0xFF, 0xD0});
    f.memory.Put32(kStack + kMaxStackScanBytes - 4, static_cast<uint32_t>(ret));   // inside the cut range
    f.memory.Put32(kStack + kMaxStackScanBytes + 8, static_cast<uint32_t>(ret));   // beyond it
    EXPECT_EQ(f.Scan(f.Range(200 * 1024)).size(), 1u);
    // The readability of 400-byte blocks is tested, not of every value.
    EXPECT_LT(f.memory.readabilityTests, 200 * 1024 / 4);

    TScanFixture g;
    g.memory.Put(ret - 2, {0xFF, 0xD0});
    g.memory.Put32(kStack, static_cast<uint32_t>(ret));
    TStackScanParams p = g.Range();
    std::swap(p.StackStart, p.StackEnd);
    p.FirstAddress = kCode + 0x10;
    EXPECT_EQ(g.Scan(p), (std::vector<uintptr_t>{kCode + 0x10}));
    EXPECT_EQ(g.list[0].IsFaultAddress, 1);
}

TEST(StackScan, TheProgramCounterIsEnteredAsAFrameBeforeTheRange) {
    TScanFixture f;
    const uintptr_t ret = kCode + 0x100, pc = kCode + 0x20;
    f.memory.Put(ret - 2, {0xFF, 0xD0});
    f.memory.Put32(kStack, static_cast<uint32_t>(ret));
    TStackScanParams p = f.Range();
    EXPECT_EQ(f.Scan(p, pc), (std::vector<uintptr_t>{pc, ret - 2}));
    EXPECT_EQ(f.list[0].IsFaultAddress, 0);

    // After the first address.
    TScanFixture g;
    g.memory.Put(ret - 2, {0xFF, 0xD0});
    g.memory.Put32(kStack, static_cast<uint32_t>(ret));
    p.FirstAddress = kCode + 0x10;
    EXPECT_EQ(g.Scan(p, pc), (std::vector<uintptr_t>{kCode + 0x10, pc, ret - 2}));
    EXPECT_EQ(g.list[0].IsFaultAddress, 1);
    EXPECT_EQ(g.list[1].IsFaultAddress, 0);
}

TEST(StackScan, SkipMaximumKindsAndTheListLimit) {
    TScanFixture f;
    for (int i = 0; i < 8; ++i) {
        const uintptr_t ret = kCode + 0x100 + 0x10 * static_cast<uintptr_t>(i);
        f.memory.Put(ret - 2, {0xFF, 0xD0});
        f.memory.Put32(kStack + 4 * static_cast<uintptr_t>(i), static_cast<uint32_t>(ret));
    }
    TStackScanParams p = f.Range();
    p.Skip = 2;
    p.Maximum = 3;
    p.Kinds = 1u << ekUnitRoutineLine;
    EXPECT_EQ(f.Scan(p), (std::vector<uintptr_t>{kCode + 0x11E, kCode + 0x12E, kCode + 0x13E}));

    // With all kinds an address outside every module stays as kind 0; the
    // kinds of the options never show it.
    TScanFixture g;
    g.memory.Put(kCode + 0x100 - 2, {0xFF, 0xD0});
    g.services.Lookup = [](uintptr_t a, uint8_t, TCallStackEntry& e) { e.CodeAddress = a; };
    g.memory.Put32(kStack, kCode + 0x100);
    ASSERT_EQ(g.Scan(g.Range()).size(), 1u);
    EXPECT_EQ(g.list[0].EntryKind, ekNothing);
    EXPECT_FALSE(IsStackEntryShown(g.list[0], StackEntryKindsFromOptions(0xFF)));
    EXPECT_EQ(StackEntryKindsFromOptions(0), 1u << 4);
    EXPECT_EQ(StackEntryKindsFromOptions(stProcNameEntries | stUnitProcEntries), (1u << 2) | (1u << 3) | (1u << 4));

    TScanFixture h;
    h.memory.Map(kStack, 8192);
    h.memory.Put(kCode + 0x100 - 2, {0xFF, 0xD0});
    for (uintptr_t a = kStack; a < kStack + 8192; a += 4) h.memory.Put32(a, kCode + 0x100);
    h.services.Lookup = [&h](uintptr_t a, uint8_t, TCallStackEntry& e) {
        e.EntryKind = ekModule;  // not named: the repeat filter leaves them alone
        e.CodeAddress = a;
        e.ModuleRecord = &h.module;
    };
    EXPECT_EQ(h.Scan(h.Range(8192)).size(), static_cast<std::size_t>(kMaxStackEntries + 1));
}

TCallStackEntry& Add(TDrevnikStackList& list, uintptr_t address, const char* routine, uint32_t lineInRoutine,
                     uint32_t thread = 1) {
    auto e = std::make_unique<TCallStackEntry>();
    e->EntryKind = ekUnitRoutineLine;
    e->CodeAddress = address;
    e->UnitFile = "u.cpp";
    e->RoutineName = routine;
    e->LineInRoutine = lineInRoutine;
    e->ThreadId = thread;
    return list.Add(std::move(e));
}

std::vector<int> Kinds(const TDrevnikStackList& list) {
    std::vector<int> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i].EntryKind);
    return out;
}

TEST(StackFilter, RepeatedAddressesShowAtTheirLaterPlace) {
    TDrevnikStackList list;
    Add(list, 0x10, "a", 3);
    Add(list, 0x20, "b", 3);
    Add(list, 0x10, "a", 3);  // within the next two: the first is hidden
    Add(list, 0x30, "c", 3);
    Add(list, 0x40, "d", 3);
    Add(list, 0x50, "e", 3);
    Add(list, 0x30, "c", 3);  // three named entries later: both stay
    FilterStackEntries(list, 0, false, true);
    EXPECT_EQ(Kinds(list), (std::vector<int>{0, 4, 4, 4, 4, 4, 4}));
}

TEST(StackFilter, FirstLineEntryHidesTheStaleValuesUpToItsDeeperFrame) {
    TDrevnikStackList list;
    Add(list, 0x100, "f", 5);   // inside f, deeper
    Add(list, 0x200, "x", 2);   // stale
    Add(list, 0x300, "y", 2);   // stale
    Add(list, 0x400, "f", 0);   // f's first line: entered by a direct call
    FilterStackEntries(list, 0, false, true);
    EXPECT_EQ(Kinds(list), (std::vector<int>{4, 0, 0, 4}));

    // Another thread's section between them ends the search: nothing hidden.
    TDrevnikStackList other;
    Add(other, 0x100, "f", 5, 1);
    Add(other, 0x200, "x", 2, 2);
    Add(other, 0x400, "f", 0, 2);
    FilterStackEntries(other, 0, false, true);
    EXPECT_EQ(Kinds(other), (std::vector<int>{4, 4, 4}));
}

TEST(StackFilter, InsideTheIdeOnlyNamedEntriesOutsideExceptionHandlingStay) {
    TDrevnikStackList list;
    Add(list, 0x10, "Run", 1);
    Add(list, 0x20, "HandleException", 1);
    Add(list, 0x30, "Go", 1).EntryKind = ekModule;
    FilterStackEntries(list, 0, true, true);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].RoutineName, "Run");
}

}  // namespace
}  // namespace drevnik
