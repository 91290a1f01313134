#pragma once

#include <cstdint>

namespace gfx {

// One node of a ColorTree. Level k branches on bit 7 - k of red, green and blue; the leaves at
// level 8 carry a colour and the palette index it was inserted with.
struct ColorTreeNode {
    ColorTreeNode* parent = nullptr;
    int32_t indexInParent = 0;
    // Child slot = (red bit ? 4 : 0) | (green bit ? 2 : 0) | (blue bit ? 1 : 0).
    ColorTreeNode* children[8] = {};
    int32_t level = 0;
    // Leaves only: (red << 16) | (green << 8) | blue.
    uint32_t colour = 0;
    int32_t paletteIndex = 0;
};

// Finds a palette entry of a given colour, or of a colour near it, in eight steps whatever the
// number of entries. The nearest search is a greedy descent over the bits, not an exhaustive
// distance search: in a sparse tree its answer need not be the nearest by any metric.
class ColorTree {
  public:
    enum class InsertResult { Added, Present, NoMemory };

    ColorTree() = default;
    ~ColorTree();
    ColorTree(const ColorTree&) = delete;
    ColorTree& operator=(const ColorTree&) = delete;

    // Adds a leaf for the colour; a colour already present keeps the index it was first given.
    // NoMemory leaves the nodes made so far in place, with no leaf.
    InsertResult Insert(uint8_t red, uint8_t green, uint8_t blue, int32_t paletteIndex);

    // With `exact`, the leaf of exactly this colour, or null. Otherwise the leaf the nearest
    // descent reaches, whose colour is written back into the three values; null only when the
    // tree has no leaves.
    const ColorTreeNode* Lookup(uint8_t* red, uint8_t* green, uint8_t* blue, bool exact) const;

    int32_t LeafCount() const { return leafCount; }
    // The empty root of a new tree; every node below it was made by Insert.
    const ColorTreeNode& Root() const { return root; }

  private:
    const ColorTreeNode* FindExact(uint8_t red, uint8_t green, uint8_t blue) const;
    const ColorTreeNode* FindNearest(uint8_t red, uint8_t green, uint8_t blue) const;

    ColorTreeNode root;
    int32_t leafCount = 0;
};

}  // namespace gfx
