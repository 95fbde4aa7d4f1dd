// The report heap serves blocks larger than its region (a program's appended
// debug data is read whole during a report), lets any thread free them, and
// takes back the region blocks that other threads freed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "crashreport/capture/DrevnikReportHeap.h"

namespace drevnik {
namespace {

// Larger than the region of either build (16 MB on i686, 64 MB on x86-64).
constexpr std::size_t kHuge = 80u << 20;

class TReportHeapBig : public testing::Test {
protected:
    void TearDown() override { FlushDeferredFrees(); }
};

TEST_F(TReportHeapBig, BlocksLargerThanTheRegionAreServedAndGiveTheirBytesBack) {
    const std::size_t before = ReportHeapBytesInUse();
    {
        TReportHeapScope heap;
        for (const std::size_t size : {std::size_t{2} << 20, std::size_t{25} << 20, kHuge}) {
            auto* block = static_cast<uint8_t*>(std::malloc(size));
            ASSERT_NE(block, nullptr) << size;
            EXPECT_TRUE(IsReportHeapBlock(block)) << size;
            block[0] = 1;
            block[size - 1] = 2;
            EXPECT_GE(ReportHeapBytesInUse(), before + size);
            std::free(block);
            EXPECT_FALSE(IsReportHeapBlock(block)) << size;
            EXPECT_EQ(ReportHeapBytesInUse(), before) << size;
        }
        // Two at once: the tail block and its copy of the debug data.
        std::vector<uint8_t> tail(kHuge / 2, 7);
        std::vector<uint8_t> copy(tail.begin(), tail.end());
        EXPECT_EQ(copy.back(), 7);
    }
    EXPECT_EQ(ReportHeapBytesInUse(), before);
}

TEST_F(TReportHeapBig, ABigBlockOutlivesTheReportAndAnotherThreadFreesIt) {
    const std::size_t before = ReportHeapBytesInUse();
    void* block = nullptr;
    {
        TReportHeapScope heap;
        block = std::malloc(kHuge);
    }
    ASSERT_NE(block, nullptr);
    std::thread([block] {
        std::memset(block, 3, kHuge);
        std::free(block);
    }).join();
    EXPECT_FALSE(IsReportHeapBlock(block));
    EXPECT_EQ(ReportHeapBytesInUse(), before);
}

TEST_F(TReportHeapBig, ReallocCrossesTheBigBlockSizeBothWaysAndKeepsTheBytes) {
    const std::size_t before = ReportHeapBytesInUse();
    {
        TReportHeapScope heap;
        auto* block = static_cast<uint8_t*>(std::malloc(1000));
        ASSERT_NE(block, nullptr);
        for (int i = 0; i < 1000; ++i) block[i] = static_cast<uint8_t>(i);
        block = static_cast<uint8_t*>(std::realloc(block, kHuge));
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(IsReportHeapBlock(block));
        block[kHuge - 1] = 9;
        block = static_cast<uint8_t*>(std::realloc(block, 3u << 20));
        ASSERT_NE(block, nullptr);
        block = static_cast<uint8_t*>(std::realloc(block, 500));
        ASSERT_NE(block, nullptr);
        for (int i = 0; i < 500; ++i) ASSERT_EQ(block[i], static_cast<uint8_t>(i)) << i;
        std::free(block);
    }
    EXPECT_EQ(ReportHeapBytesInUse(), before);
}

TEST_F(TReportHeapBig, RegionBlocksFreedByAnotherThreadGoBackWhole) {
    const std::size_t before = ReportHeapBytesInUse();
    void* kept[3] = {};
    {
        TReportHeapScope heap;
        for (void*& block : kept) {
            block = std::malloc(100);
            ASSERT_NE(block, nullptr);
            std::memset(block, 0xFA, 100);  // what lies before the next block's header
        }
    }
    std::thread([&kept] {
        for (void* block : kept) std::free(block);
    }).join();
    {
        TReportHeapScope heap;
        void* again = std::malloc(100);  // takes the blocks back first
        ASSERT_NE(again, nullptr);
        EXPECT_TRUE(again == kept[0] || again == kept[1] || again == kept[2]);
        std::free(again);
    }
    EXPECT_EQ(ReportHeapBytesInUse(), before);
}

}  // namespace
}  // namespace drevnik
