#include "graphics/raster/color_tree.h"

#include <new>

namespace gfx {

namespace {

constexpr int32_t kLevels = 8;
constexpr uint8_t kLevelBits[kLevels] = {128, 64, 32, 16, 8, 4, 2, 1};
// Number of set bits of 0 to 7: how many channels differ between two child slots.
constexpr uint8_t kSlotDifference[8] = {0, 1, 1, 2, 1, 2, 2, 3};

int32_t SlotOf(uint8_t red, uint8_t green, uint8_t blue, int32_t level) {
    const uint8_t bit = kLevelBits[level];
    return ((red & bit) ? 4 : 0) | ((green & bit) ? 2 : 0) | ((blue & bit) ? 1 : 0);
}

void FreeChildren(ColorTreeNode* node) {
    for (ColorTreeNode*& child : node->children) {
        if (!child) continue;
        FreeChildren(child);
        delete child;
        child = nullptr;
    }
}

// The bit a channel aims at on this level, given the bits wanted and taken one level up: once
// the path has left the colour's side, it keeps as close to that side as it can.
int32_t TargetBit(int32_t ownBit, int32_t targetAbove, int32_t chosenAbove) {
    if (chosenAbove == targetAbove) return ownBit;
    return chosenAbove ? 0 : 1;
}

}  // namespace

ColorTree::~ColorTree() { FreeChildren(&root); }

ColorTree::InsertResult ColorTree::Insert(uint8_t red, uint8_t green, uint8_t blue,
                                          int32_t paletteIndex) {
    ColorTreeNode* node = &root;
    bool made = false;
    for (int32_t level = 0; level < kLevels; ++level) {
        const int32_t slot = SlotOf(red, green, blue, level);
        if (!node->children[slot]) {
            auto* child = new (std::nothrow) ColorTreeNode;
            if (!child) return InsertResult::NoMemory;
            child->parent = node;
            child->indexInParent = slot;
            child->level = level + 1;
            node->children[slot] = child;
            made = true;
        }
        node = node->children[slot];
    }
    if (!made) return InsertResult::Present;
    node->colour = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    node->paletteIndex = paletteIndex;
    ++leafCount;
    return InsertResult::Added;
}

const ColorTreeNode* ColorTree::Lookup(uint8_t* red, uint8_t* green, uint8_t* blue,
                                       bool exact) const {
    if (leafCount == 0) return nullptr;
    if (exact) return FindExact(*red, *green, *blue);
    const ColorTreeNode* leaf = FindNearest(*red, *green, *blue);
    if (leaf) {
        *red = static_cast<uint8_t>(leaf->colour >> 16);
        *green = static_cast<uint8_t>(leaf->colour >> 8);
        *blue = static_cast<uint8_t>(leaf->colour);
    }
    return leaf;
}

const ColorTreeNode* ColorTree::FindExact(uint8_t red, uint8_t green, uint8_t blue) const {
    const ColorTreeNode* node = &root;
    for (int32_t level = 0; level < kLevels && node; ++level) {
        node = node->children[SlotOf(red, green, blue, level)];
    }
    return node;
}

const ColorTreeNode* ColorTree::FindNearest(uint8_t red, uint8_t green, uint8_t blue) const {
    const ColorTreeNode* node = &root;
    int32_t targetAbove = 0;
    int32_t chosenAbove = 0;
    for (int32_t level = 0; level < kLevels; ++level) {
        const int32_t own = SlotOf(red, green, blue, level);
        int32_t target = 0;
        for (int32_t shift = 2; shift >= 0; --shift) {
            const int32_t bit = TargetBit((own >> shift) & 1, (targetAbove >> shift) & 1,
                                          (chosenAbove >> shift) & 1);
            target |= bit << shift;
        }
        int32_t chosen = target;
        if (!node->children[target]) {
            chosen = -1;
            for (int32_t j = 0; j < 8; ++j) {
                if (!node->children[j]) continue;
                if (chosen < 0 || kSlotDifference[target ^ j] < kSlotDifference[target ^ chosen]) {
                    chosen = j;
                }
            }
            // A node without children lies on no path to a leaf; only a failed Insert leaves
            // one behind.
            if (chosen < 0) return nullptr;
        }
        node = node->children[chosen];
        targetAbove = target;
        chosenAbove = chosen;
    }
    return node;
}

}  // namespace gfx
