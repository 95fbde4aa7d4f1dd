#include "crashreport/report/OctreePalette.h"

#include <limits>

namespace drevnik {

TOctreePalette::TOctreeNode* TOctreePalette::NewOctreeNode(int level) {
    auto* node = new TOctreeNode;
    if (level == kLeafLevel) {
        node->Leaf = true;
        ++leaves_;
    } else {
        node->Next = reducible_[static_cast<std::size_t>(level)];
        reducible_[static_cast<std::size_t>(level)] = node;
    }
    return node;
}

void TOctreePalette::AddOctreeColor(TOctreeNode*& node, uint8_t red, uint8_t green, uint8_t blue, int level) {
    // Iterative: the path is at most eight nodes deep.
    TOctreeNode** slot = &node;
    for (;;) {
        if (*slot == nullptr) *slot = NewOctreeNode(level);
        TOctreeNode* n = *slot;
        if (n->Leaf) {
            ++n->Count;
            n->Red += red;
            n->Green += green;
            n->Blue += blue;
            return;
        }
        const unsigned mask = 0x80u >> level;
        const int shift = 7 - level;
        const unsigned index = (((red & mask) >> shift) << 2) | (((green & mask) >> shift) << 1) |
                               ((blue & mask) >> shift);
        slot = &n->Child[index];
        ++level;
    }
}

void TOctreePalette::ReduceOctree() {
    int level = kLeafLevel - 1;
    while (level > 0 && reducible_[static_cast<std::size_t>(level)] == nullptr) --level;
    TOctreeNode* node = reducible_[static_cast<std::size_t>(level)];
    if (node == nullptr) return;
    reducible_[static_cast<std::size_t>(level)] = node->Next;
    int children = 0;
    for (TOctreeNode*& child : node->Child) {
        if (child == nullptr) continue;
        node->Count += child->Count;
        node->Red += child->Red;
        node->Green += child->Green;
        node->Blue += child->Blue;
        FreeOctree(child);
        child = nullptr;
        ++children;
    }
    node->Leaf = true;
    leaves_ -= children - 1;
}

void TOctreePalette::FreeOctree(TOctreeNode* node) {
    if (node == nullptr) return;
    for (TOctreeNode* child : node->Child) FreeOctree(child);
    delete node;
}

void TOctreePalette::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
    AddOctreeColor(root_, red, green, blue, 0);
    while (leaves_ > kMaxLeaves) ReduceOctree();
}

void TOctreePalette::AddBgrRow(const uint8_t* row, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, row += 3) AddColor(row[2], row[1], row[0]);
}

void TOctreePalette::Collect(const TOctreeNode* node, TPngPalette& table, int& index) {
    if (node == nullptr || index >= kMaxLeaves) return;
    if (node->Leaf) {
        if (node->Count > 0) {
            TPaletteEntry& e = table[static_cast<std::size_t>(index)];
            e.Blue = static_cast<uint8_t>(node->Blue / node->Count);
            e.Green = static_cast<uint8_t>(node->Green / node->Count);
            e.Red = static_cast<uint8_t>(node->Red / node->Count);
            e.Reserved = 0;
            ++index;
        }
        return;
    }
    for (const TOctreeNode* child : node->Child) Collect(child, table, index);
}

int TOctreePalette::CollectPaletteColors(TPngPalette& table) const {
    table.fill(TPaletteEntry{});
    int index = 0;
    Collect(root_, table, index);
    return index;
}

// ---- Nearest colour ----------------------------------------------------------------------

TNearestColorMap::TNearestColorMap(const TPngPalette& table, int count) : table_(table), count_(count) {}

uint8_t TNearestColorMap::IndexOf(uint8_t red, uint8_t green, uint8_t blue) {
    const uint32_t key = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    if (const auto found = cache_.find(key); found != cache_.end()) return found->second;
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < count_ && bestDistance > 0; ++i) {
        const TPaletteEntry& e = table_[static_cast<std::size_t>(i)];
        const int dr = int{e.Red} - red, dg = int{e.Green} - green, db = int{e.Blue} - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    const auto index = static_cast<uint8_t>(best);
    if (cache_.size() >= kMaxCachedColors) cache_.clear();
    cache_.emplace(key, index);
    return index;
}

void TNearestColorMap::MapBgrRow(const uint8_t* row, std::size_t pixels, uint8_t* indices) {
    for (std::size_t i = 0; i < pixels; ++i, row += 3) indices[i] = IndexOf(row[2], row[1], row[0]);
}

}  // namespace drevnik
