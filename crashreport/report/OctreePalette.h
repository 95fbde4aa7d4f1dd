// Octree colour quantisation (Gervautz and Purgathofer): every colour of a
// picture goes into an octree of eight levels; while more than 256 leaves
// exist, the deepest reducible node is folded into a leaf. The leaves give a
// palette of at most 256 colours, each the average of the colours it took.
// Memory stays bounded whatever the picture's size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace drevnik {

// One colour-table entry as a DIB stores it.
struct TPaletteEntry {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
    bool operator==(const TPaletteEntry&) const = default;
};
using TPngPalette = std::array<TPaletteEntry, 256>;

class TOctreePalette {
public:
    static constexpr int kMaxLeaves = 256;
    static constexpr int kLeafLevel = 8;

    TOctreePalette() = default;
    TOctreePalette(const TOctreePalette&) = delete;
    TOctreePalette& operator=(const TOctreePalette&) = delete;
    ~TOctreePalette() { FreeOctree(root_); }

    // Adds one pixel, then reduces while there are more than 256 leaves.
    void AddColor(uint8_t red, uint8_t green, uint8_t blue);
    // Adds a row of 24-bit pixels stored blue, green, red.
    void AddBgrRow(const uint8_t* row, std::size_t pixels);
    int LeafCount() const { return leaves_; }

    // The leaves in tree order (children 0 to 7, depth first), each the
    // average of its colours; entries without a leaf stay black. Returns the
    // number of entries filled.
    int CollectPaletteColors(TPngPalette& table) const;

private:
    struct TOctreeNode {
        bool Leaf = false;
        uint32_t Count = 0;
        // 64-bit: a 32-bit sum overflows past 16.8 million pixels of one colour.
        uint64_t Red = 0, Green = 0, Blue = 0;
        TOctreeNode* Next = nullptr;  // next reducible node of the same level
        std::array<TOctreeNode*, 8> Child{};
    };

    TOctreeNode* NewOctreeNode(int level);
    void AddOctreeColor(TOctreeNode*& node, uint8_t red, uint8_t green, uint8_t blue, int level);
    void ReduceOctree();
    static void FreeOctree(TOctreeNode* node);
    static void Collect(const TOctreeNode* node, TPngPalette& table, int& index);

    TOctreeNode* root_ = nullptr;
    std::array<TOctreeNode*, kLeafLevel> reducible_{};
    int leaves_ = 0;
};

// Maps colours to the nearest entry (squared distance in RGB) of the first
// `count` entries of a palette; an exact entry always wins. Answers are
// cached per colour, as a screen repeats few colours many times.
class TNearestColorMap {
public:
    TNearestColorMap(const TPngPalette& table, int count);
    uint8_t IndexOf(uint8_t red, uint8_t green, uint8_t blue);
    // A row of 24-bit pixels (blue, green, red) to palette indices.
    void MapBgrRow(const uint8_t* row, std::size_t pixels, uint8_t* indices);

private:
    static constexpr std::size_t kMaxCachedColors = 1u << 18;
    const TPngPalette& table_;
    int count_;
    std::unordered_map<uint32_t, uint8_t> cache_;
};

}  // namespace drevnik
