#include "graphics/raster/flat_color_tree.h"

#include <array>
#include <cstddef>
#include <new>

namespace gfx {

namespace {

constexpr int kLevels = 8;
constexpr uint8_t kNoChild = 0xFF;

constexpr int Ones(int v) { return (v & 1) + ((v >> 1) & 1) + ((v >> 2) & 1); }

// The slot the descent takes under a node whose children are `present` when it wants `target`:
// the target itself, else the child differing from it in fewest channels, the lowest on a tie.
constexpr std::array<std::array<uint8_t, 8>, 256> MakeChoices() {
    std::array<std::array<uint8_t, 8>, 256> choices{};
    for (int present = 0; present < 256; ++present) {
        for (int target = 0; target < 8; ++target) {
            int chosen = -1;
            for (int j = 0; j < 8; ++j) {
                if (!(present >> j & 1)) continue;
                if (chosen < 0 || Ones(target ^ j) < Ones(target ^ chosen)) chosen = j;
            }
            if (present >> target & 1) chosen = target;
            choices[present][target] = chosen < 0 ? kNoChild : uint8_t(chosen);
        }
    }
    return choices;
}
constexpr std::array<std::array<uint8_t, 8>, 256> kChoices = MakeChoices();

// Bit i of a byte moved to bit 3i: three spread channels interleave into the eight 3-bit slots
// of a colour's path, level 0 in the top three bits.
constexpr std::array<uint32_t, 256> MakeSpread() {
    std::array<uint32_t, 256> spread{};
    for (uint32_t v = 0; v < 256; ++v) {
        for (uint32_t i = 0; i < 8; ++i) spread[v] |= ((v >> i) & 1u) << (3 * i);
    }
    return spread;
}
constexpr std::array<uint32_t, 256> kSpread = MakeSpread();

void CountNodes(const ColorTreeNode& node, int level, int32_t* inner, int32_t* leaves) {
    if (level == kLevels) {
        ++*leaves;
        return;
    }
    ++*inner;
    for (const ColorTreeNode* child : node.children) {
        if (child) CountNodes(*child, level + 1, inner, leaves);
    }
}

}  // namespace

FlatColorTree::~FlatColorTree() {
    delete[] nodes_;
    delete[] leafIndex_;
    delete[] leafColour_;
}

bool FlatColorTree::Build(const ColorTree& tree) {
    delete[] nodes_;
    delete[] leafIndex_;
    delete[] leafColour_;
    nodes_ = nullptr;
    leafIndex_ = nullptr;
    leafColour_ = nullptr;
    if (tree.LeafCount() == 0) return false;

    int32_t inner = 0;
    int32_t leaves = 0;
    CountNodes(tree.Root(), 0, &inner, &leaves);
    // At most 1 + 8 + ... inner nodes over 256 leaves: places fit 16 bits by far; a tree filled
    // with more colours than that is left to the pointer tree.
    if (inner > 0xFFFF || leaves > 0xFFFF) return false;
    nodes_ = new (std::nothrow) Node[static_cast<size_t>(inner)];
    leafIndex_ = new (std::nothrow) int32_t[static_cast<size_t>(leaves)];
    leafColour_ = new (std::nothrow) uint32_t[static_cast<size_t>(leaves)];
    if (!nodes_ || !leafIndex_ || !leafColour_) return false;

    // Depth first, each inner node numbered before its children.
    struct Pending {
        const ColorTreeNode* node;
        int32_t level;
        int32_t number;
    };
    Pending stack[kLevels * 8 + 1];
    int depth = 0;
    int32_t nextNode = 1;
    int32_t nextLeaf = 0;
    stack[depth++] = Pending{&tree.Root(), 0, 0};
    while (depth > 0) {
        const Pending p = stack[--depth];
        Node& out = nodes_[p.number];
        out = Node{};
        for (int j = 0; j < 8; ++j) {
            const ColorTreeNode* child = p.node->children[j];
            if (!child) continue;
            out.children = static_cast<uint8_t>(out.children | (1u << j));
            if (p.level + 1 == kLevels) {
                leafIndex_[nextLeaf] = child->paletteIndex;
                leafColour_[nextLeaf] = child->colour;
                out.place[j] = static_cast<uint16_t>(nextLeaf++);
            } else {
                out.place[j] = static_cast<uint16_t>(nextNode);
                stack[depth++] = Pending{child, p.level + 1, nextNode++};
            }
        }
    }
    return true;
}

int32_t FlatColorTree::Nearest(uint8_t red, uint8_t green, uint8_t blue, uint32_t* colour) const {
    if (!nodes_) return -1;
    const uint32_t path = (kSpread[red] << 2) | (kSpread[green] << 1) | kSpread[blue];
    uint32_t place = 0;
    // The slots wanted and taken one level up, as three channel bits each (both start equal).
    uint32_t targetAbove = 0;
    uint32_t chosenAbove = 0;
    for (int level = 0; level < kLevels; ++level) {
        const uint32_t own = (path >> (3 * (kLevels - 1 - level))) & 7u;
        // A channel still on the colour's side follows its own bit; one that has left it keeps
        // as close as it can: 0 once above the colour, 1 once below.
        const uint32_t same = ~(targetAbove ^ chosenAbove) & 7u;
        const uint32_t target = (own & same) | (~chosenAbove & ~same & 7u);
        const Node& node = nodes_[place];
        const uint8_t chosen = kChoices[node.children][target];
        if (chosen == kNoChild) return -1;
        place = node.place[chosen];
        targetAbove = target;
        chosenAbove = chosen;
    }
    if (colour) *colour = leafColour_[place];
    return leafIndex_[place];
}

}  // namespace gfx
