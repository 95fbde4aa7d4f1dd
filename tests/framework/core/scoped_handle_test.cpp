// The scoped handle closes each handle once, and only the ones it owns.
#include "framework/core/scoped_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace fw {
namespace {

std::vector<int> closed;

struct CloseFake {
    static int Empty() { return -1; }
    void operator()(int h) const { closed.push_back(h); }
};

using TFakeHandle = TScopedHandle<int, CloseFake>;

TEST(ScopedHandle, ClosesOnceWhateverPathTheHandleTakes) {
    closed.clear();
    {
        TFakeHandle a(1), empty;
        EXPECT_TRUE(a);
        EXPECT_FALSE(empty);
        TFakeHandle b(std::move(a));  // moved: closed once, by b
        EXPECT_FALSE(a);
        b.Reset(2);                   // 1 closed, 2 held
        TFakeHandle c(3);
        c = std::move(b);             // 3 closed, 2 held by c
        TFakeHandle d(4);
        EXPECT_EQ(d.Release(), 4);    // given up: never closed
    }
    EXPECT_EQ(closed, (std::vector<int>{1, 3, 2}));
}

}  // namespace
}  // namespace fw
