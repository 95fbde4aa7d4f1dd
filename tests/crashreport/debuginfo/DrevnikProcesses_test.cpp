// Priority classes, the search by process id and the thread counts.
#include "crashreport/debuginfo/DrevnikProcesses.h"

#include <gtest/gtest.h>

namespace drevnik {
namespace {

TEST(DrevnikProcesses, PriorityClassFromBase) {
    const struct {
        int32_t base;
        uint32_t priorityClass;
    } rows[] = {{0, 0}, {1, 64}, {4, 64}, {5, 64}, {6, 0x4000}, {7, 0x4000}, {8, 32}, {9, 32}, {10, 0x8000},
                {12, 0x8000}, {13, 128}, {23, 128}, {24, 256}, {31, 256}};
    for (const auto& row : rows) {
        EXPECT_EQ(PriorityClassFromBase(row.base), row.priorityClass) << row.base;
    }
}

TEST(DrevnikProcesses, FindsIdsInTheSortedListAndCountsThreads) {
    TDrevnikProcessesList list;
    // Ids above 0x7FFFFFFF sort after the others: the comparison is unsigned.
    for (uint32_t id : {0x80000004u, 8u, 4u, 0u, 0xFFFFFFFCu, 300u}) list.Add(std::make_unique<TDrevnikProcessInfo>()).ProcId = id;
    list.SortById();
    EXPECT_EQ(list[0].ProcId, 0u);
    EXPECT_EQ(list[5].ProcId, 0xFFFFFFFCu);
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(FindProcessIndex(list, list[i].ProcId), i);
    }
    EXPECT_EQ(FindProcessIndex(list, 5), -1);
    EXPECT_EQ(FindProcessIndex(TDrevnikProcessesList(), 5), -1);

    // Threads come grouped by process; an unlisted owner is ignored.
    AddThreadCounts(list, {8, 8, 8, 0x80000004u, 12, 8, 4, 4});
    EXPECT_EQ(list[FindProcessIndex(list, 8)].ThreadCount, 4u);
    EXPECT_EQ(list[FindProcessIndex(list, 4)].ThreadCount, 2u);
    EXPECT_EQ(list[FindProcessIndex(list, 0x80000004u)].ThreadCount, 1u);
    EXPECT_EQ(list[FindProcessIndex(list, 300)].ThreadCount, 0u);
}

}  // namespace
}  // namespace drevnik
