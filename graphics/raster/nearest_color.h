#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>

#include "graphics/core/palette_entry.h"
#include "graphics/raster/color_tree.h"
#include "graphics/raster/flat_color_tree.h"

namespace gfx {

// A palette entry whose flags byte is this is reserved: it is never chosen as a nearest colour.
inline constexpr uint8_t kReservedEntryFlags = 1;

// The nearest usable entry of a target palette to a wanted colour: through a ColorTree of the
// usable entries, or by scoring every usable entry with the sum of the three channel distances
// (the first of equal scores wins).
class NearestColor {
  public:
    // `entries` stays the caller's and must outlive this object. Only the first `count` entries
    // (at most 256) are candidates.
    NearestColor(const PaletteEntry* entries, uint32_t count)
        : entries_(entries), count_(count < 256 ? count : 256) {}

    // Builds the tree when `useTree`. False when no entry is usable or memory is short: no
    // colour can then be matched.
    bool Prepare(bool useTree) {
        bool anyUsable = false;
        for (uint32_t i = 0; i < count_; ++i) anyUsable |= entries_[i].flags != kReservedEntryFlags;
        if (!anyUsable) return false;
        if (!useTree) return true;
        // The tree is filled as the palette lists its entries and then flattened for the
        // lookups, which find the leaves its own nearest descent finds.
        ColorTree tree;
        for (uint32_t i = 0; i < count_; ++i) {
            const PaletteEntry& e = entries_[i];
            if (e.flags == kReservedEntryFlags) continue;
            if (tree.Insert(e.red, e.green, e.blue, static_cast<int32_t>(i)) ==
                ColorTree::InsertResult::NoMemory) {
                return false;
            }
        }
        tree_ = new (std::nothrow) FlatColorTree;
        return tree_ && tree_->Build(tree);
    }

    ~NearestColor() { delete tree_; }
    NearestColor(const NearestColor&) = delete;
    NearestColor& operator=(const NearestColor&) = delete;

    // The palette index for the colour; Prepare must have succeeded.
    uint8_t Find(uint32_t red, uint32_t green, uint32_t blue) const {
        if (tree_) {
            return static_cast<uint8_t>(tree_->Nearest(static_cast<uint8_t>(red),
                                                       static_cast<uint8_t>(green),
                                                       static_cast<uint8_t>(blue)));
        }
        uint32_t best = 0;
        int32_t bestScore = 1 << 30;
        for (uint32_t i = 0; i < count_; ++i) {
            const PaletteEntry& e = entries_[i];
            if (e.flags == kReservedEntryFlags) continue;
            const int32_t score = std::abs(static_cast<int32_t>(red) - e.red) +
                                  std::abs(static_cast<int32_t>(green) - e.green) +
                                  std::abs(static_cast<int32_t>(blue) - e.blue);
            if (score < bestScore) {
                bestScore = score;
                best = i;
            }
        }
        return static_cast<uint8_t>(best);
    }

    const PaletteEntry& Entry(uint8_t index) const { return entries_[index]; }

  private:
    const PaletteEntry* entries_;
    uint32_t count_;
    FlatColorTree* tree_ = nullptr;
};

}  // namespace gfx
