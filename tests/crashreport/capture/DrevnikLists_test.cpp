// The owning lists, the thread list's bookkeeping and the raise-decision ring.
#include <gtest/gtest.h>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikThreads.h"
#include "crashreport/capture/RaiseDecisionRing.h"

namespace drevnik {
namespace {

// Counts the debug-information sources alive, to see the owner free them.
int gSources = 0;
class TCountedSource : public TDVDebugInfoSource {
public:
    TCountedSource() { ++gSources; }
    ~TCountedSource() override { --gSources; }
};

TEST(DrevnikLists, ModuleRecordsOwnWhatTheyHoldAndSortByHandle) {
    {
        TDrevnikModulesList modules;
        for (TModuleHandle handle : {0x3000u, 0x1000u, 0x2000u}) {
            auto record = std::make_unique<TDrevnikModuleInfo>();
            record->ModuleHandle = handle;
            record->ExportTable = std::make_unique<TDrevnikFunctionsList>();
            record->ExternalDebugInfo = std::make_unique<TCountedSource>();
            modules.Add(std::move(record));
        }
        modules.SortByHandle();
        EXPECT_EQ(modules[0].ModuleHandle, 0x1000u);
        EXPECT_EQ(modules[2].ModuleHandle, 0x3000u);
        modules.Delete(1);
        EXPECT_EQ(gSources, 2);
        EXPECT_EQ(modules[1].ModuleHandle, 0x3000u);
    }
    EXPECT_EQ(gSources, 0);
}

TEST(DrevnikLists, ExportsAndProcessesSortStably) {
    TDrevnikFunctionsList exports;
    for (auto [name, address] : {std::pair{"b", 0x20u}, {"a", 0x10u}, {"c", 0x20u}}) {
        exports.Add(std::make_unique<TDrevnikFunctionInfo>(TDrevnikFunctionInfo{name, address, 0}));
    }
    exports.SortByAddress();
    EXPECT_EQ(exports[0].ExportName, "a");
    EXPECT_EQ(exports[1].ExportName, "b");
    EXPECT_EQ(exports[2].ExportName, "c");
    TDrevnikProcessesList processes;
    for (uint32_t id : {30u, 10u, 20u}) processes.Add(std::make_unique<TDrevnikProcessInfo>()).ProcId = id;
    processes.SortById();
    EXPECT_EQ(processes[0].ProcId, 10u);
    EXPECT_EQ(processes[2].ProcId, 30u);
    processes.Clear();
    EXPECT_EQ(processes.Count(), 0);
}

TEST(DrevnikLists, ShortTextsKeepTheirLimit) {
    TCallStackEntry entry;
    AssignShortText(entry.RoutineName, std::string(300, 'x'));
    AssignShortText(entry.LeakTypeText, std::string(100, 'y'), kLeakTypeTextMax);
    EXPECT_EQ(entry.RoutineName.size(), kEntryTextMax);
    EXPECT_EQ(entry.LeakTypeText.size(), kLeakTypeTextMax);
}

TEST(DrevnikThreads, RecordsAreFoundFromTheEndAndSnapshotsCopyResumerStacks) {
    TDrevnikThreadsList list;
    EXPECT_FALSE(list.IsSnapshot());
    TTrackedThread& first = list.AddNewRecord();
    EXPECT_EQ(first.Priority, kNoPriority);
    first.ThreadId = 5;
    first.ResumerStack = {1, 2, 3};
    TTrackedThread& second = list.AddNewRecord();
    second.ThreadId = 5;
    int object = 0;
    second.ThreadObject = &object;
    EXPECT_EQ(list.IndexOfThreadId(5), 1);
    EXPECT_EQ(list.IndexOfThreadObject(&object), 1);
    EXPECT_EQ(list.IndexOfThreadId(6), -1);

    TDrevnikThreadsList snapshot(list);
    EXPECT_TRUE(snapshot.IsSnapshot());
    list.Clear();
    ASSERT_EQ(snapshot.Count(), 2);
    EXPECT_EQ(snapshot[0].ResumerStack, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(DrevnikThreads, RemoveCurrentThreadDropsOnlyTheCallersRecord) {
    TDrevnikThreadsList list;
    list.AddNewRecord().ThreadId = CurrentThreadIdValue();
    list.AddNewRecord().ThreadId = CurrentThreadIdValue() + 1;
    list.RemoveCurrentThread();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].ThreadId, CurrentThreadIdValue() + 1);
}

TEST(DrevnikThreads, WireFormKeepsEveryField) {
    TTrackedThread record;
    record.ThreadId = 9;
    record.ResumerThreadId = 4;
    record.Priority = 2;
    record.StackTop = 0x5000;
    record.ThreadFunc = 0x401000;
    record.Parameter = 0x77;
    record.ResumerStack = {9, 8, 7, 6};
    const TTrackedThreadWire wire = ToWire(record);
    EXPECT_EQ(wire.ResumerStackSize, 4u);
    const auto back = FromWire(wire);
    EXPECT_EQ(back->ThreadId, 9u);
    EXPECT_EQ(back->ResumerThreadId, 4u);
    EXPECT_EQ(back->Priority, 2);
    EXPECT_EQ(back->StackTop, 0x5000u);
    EXPECT_EQ(back->CreationAddress(), 0x401000u);
    EXPECT_EQ(back->Parameter, 0x77u);
    EXPECT_EQ(back->ResumerStack, record.ResumerStack);
    EXPECT_NE(back->ResumerStack.data(), record.ResumerStack.data());
}

TEST(RaiseDecisionRing, KeepsTheTenNewestDecisions) {
    TRaiseDecisionRing ring;
    int classes[11];
    for (int i = 0; i < 11; ++i) {
        TRaiseDecision decision;
        decision.Class = &classes[i];
        decision.Address = 0x100u + static_cast<uintptr_t>(i);
        decision.ChainHead = 0x9000;
        decision.Handled = i % 2 == 0;
        ring.Store(decision);
    }
    EXPECT_EQ(ring.Count(), TRaiseDecisionRing::kCapacity);
    TRaiseDecision found;
    EXPECT_FALSE(ring.Find(&classes[0], 0x100, 0x9000, found));
    ASSERT_TRUE(ring.Find(&classes[10], 0x10A, 0x9000, found));
    EXPECT_TRUE(found.Handled);
    // Class, address and chain head must all match.
    EXPECT_FALSE(ring.Find(&classes[10], 0x10A, 0x9001, found));
    EXPECT_FALSE(ring.Find(&classes[9], 0x10A, 0x9000, found));
}

}  // namespace
}  // namespace drevnik
