// Which part of the raising thread's stack the snapshot copies.
#include <gtest/gtest.h>

#include "crashreport/capture/StackSnapshotSpan.h"

namespace drevnik {
namespace {

TEST(StackSnapshotSpan, CopiesUpwardFromTheRaiseAtMostItsBuffer) {
    constexpr uintptr_t kLimit = 0x100000, kBase = 0x200000, kFallback = 0x1FF000;
    struct TRow {
        const char* Name;
        uintptr_t RaiseSp;
        uintptr_t Start;
        uint32_t Size;
    };
    const TRow rows[] = {
        {"small stack above the raise", kBase - 0x800, kBase - 0x800, 0x800},
        {"exactly a buffer", kBase - kStackSnapshotSize, kBase - kStackSnapshotSize, kStackSnapshotSize},
        {"deep stack keeps the bytes from the raise upward", kLimit + 0x10, kLimit + 0x10, kStackSnapshotSize},
        {"raise at the base copies nothing", kBase, kBase, 0},
        {"no raise context: from the caller", 0, kFallback, 0x1000},
        {"below the stack limit: from the caller", kLimit - 4, kFallback, 0x1000},
        {"above the stack base: from the caller", kBase + 4, kFallback, 0x1000},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        uintptr_t start = 1;
        uint32_t size = 1;
        SnapshotSpan(row.RaiseSp, kLimit, kBase, kFallback, start, size);
        EXPECT_EQ(start, row.Start);
        EXPECT_EQ(size, row.Size);
    }
    uintptr_t start = 0;
    uint32_t size = 1;
    SnapshotSpan(0, kLimit, kBase, kBase + 0x10, start, size);
    EXPECT_EQ(size, 0u) << "a fallback outside the stack copies nothing";
}

}  // namespace
}  // namespace drevnik
