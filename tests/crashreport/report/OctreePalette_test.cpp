// Octree palette: few colours come back exact, many are reduced to 256
// averages whose nearest entry stays within the reduction's cube.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>
#include <random>
#include <set>
#include <tuple>

#include "crashreport/report/OctreePalette.h"

namespace drevnik {
namespace {

TEST(OctreePalette, FewerThan256ColoursComeBackExactAndTheRestStaysBlack) {
    TOctreePalette tree;
    std::set<std::tuple<int, int, int>> colours;
    // 200 colours, close together, each seen many times.
    for (int repeat = 0; repeat < 50; ++repeat)
        for (int i = 0; i < 200; ++i) {
            tree.AddColor(static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3), static_cast<uint8_t>(100 + i / 2));
            colours.insert({i, (i * 3) & 0xFF, 100 + i / 2});
        }
    TPngPalette table;
    ASSERT_EQ(tree.CollectPaletteColors(table), 200);
    std::set<std::tuple<int, int, int>> found;
    for (int i = 0; i < 200; ++i) found.insert({table[i].Red, table[i].Green, table[i].Blue});
    EXPECT_EQ(found, colours);
    for (int i = 200; i < 256; ++i) EXPECT_EQ(table[i], TPaletteEntry{});

    TNearestColorMap map(table, 200);
    for (int i = 0; i < 200; ++i) {
        const TPaletteEntry& e = table[map.IndexOf(static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3),
                                                  static_cast<uint8_t>(100 + i / 2))];
        EXPECT_EQ(std::make_tuple(int{e.Red}, int{e.Green}, int{e.Blue}),
                  std::make_tuple(i, (i * 3) & 0xFF, 100 + i / 2));
    }
}

TEST(OctreePalette, ManyColoursReduceTo256WithBoundedError) {
    TOctreePalette tree;
    std::mt19937 random(3);
    std::vector<std::array<uint8_t, 3>> pixels(200000);
    for (auto& p : pixels) {
        p = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())};
        tree.AddColor(p[0], p[1], p[2]);
        ASSERT_LE(tree.LeafCount(), 256);
    }
    TPngPalette table;
    const int count = tree.CollectPaletteColors(table);
    EXPECT_GT(count, 64);
    EXPECT_LE(count, 256);
    // Every pixel lies in its leaf's cube, of at most 64 a side here, and
    // the average of the cube is in it too; the nearest entry is no further.
    TNearestColorMap map(table, count);
    for (const auto& p : pixels) {
        const TPaletteEntry& e = table[map.IndexOf(p[0], p[1], p[2])];
        const int dr = int{e.Red} - p[0], dg = int{e.Green} - p[1], db = int{e.Blue} - p[2];
        EXPECT_LE(dr * dr + dg * dg + db * db, 3 * 64 * 64);
    }
}

TEST(OctreePalette, OneColourOverManyPixelsDoesNotOverflowItsSums) {
    TOctreePalette tree;
    // 17 million near-white pixels: their 8-bit sums pass 2^32.
    for (int i = 0; i < 17'000'000; ++i) tree.AddColor(255, 254, 253);
    TPngPalette table;
    ASSERT_EQ(tree.CollectPaletteColors(table), 1);
    EXPECT_EQ(table[0], (TPaletteEntry{253, 254, 255, 0}));
}

}  // namespace
}  // namespace drevnik
