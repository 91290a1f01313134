#pragma once

#include <cstdint>

#include "graphics/raster/color_tree.h"

namespace gfx {

// A filled ColorTree laid out for its nearest descent: the inner nodes in one block, each with
// the set of its children and their places, and a table that gives, for every set of children
// and wanted slot, the slot the descent takes. Finds the very leaf ColorTree's nearest Lookup
// finds, in eight table steps with no search among the children. Built once the tree is filled;
// the tree may go afterwards.
class FlatColorTree {
  public:
    FlatColorTree() = default;
    ~FlatColorTree();
    FlatColorTree(const FlatColorTree&) = delete;
    FlatColorTree& operator=(const FlatColorTree&) = delete;

    // False when memory is short or the tree has no leaf; nothing can then be found.
    bool Build(const ColorTree& tree);

    // The palette index of the leaf the nearest descent reaches for the colour, and that leaf's
    // colour as (red << 16) | (green << 8) | blue in `colour` when not null. -1 when no leaf is
    // reached (an unbuilt index, or a tree left with a childless node by a failed Insert).
    int32_t Nearest(uint8_t red, uint8_t green, uint8_t blue, uint32_t* colour = nullptr) const;

  private:
    struct Node {
        uint8_t children = 0;   // bit j set: slot j holds a child
        uint16_t place[8] = {}; // the child's node, or at the last level its leaf
    };

    Node* nodes_ = nullptr;
    int32_t* leafIndex_ = nullptr;
    uint32_t* leafColour_ = nullptr;
};

}  // namespace gfx
