#pragma once

#include <algorithm>
#include <cstdint>

namespace gfx {

// The source columns of one destination row of a nearest-neighbour scaled blit, as signed pixel
// offsets from the row's first source pixel: offset j is floor(j * sw / width), negated when the
// row is read right to left. The column error accumulator of ScaledWalk starts at 0 on every
// row, so every row takes the same columns and the walk is run once per blit instead of once per
// row. A source width of 0 reads its first pixel throughout, as the walk does.
inline void FillScaledColumns(int32_t* offsets, int32_t width, int32_t sw, bool mirrorX) {
    if (width <= 0) return;
    const uint32_t sourceWidth = static_cast<uint32_t>(std::max(sw, 1));
    const uint32_t destWidth = static_cast<uint32_t>(width);
    const int32_t step = mirrorX ? -1 : 1;
    int32_t offset = 0;
    uint32_t error = 0;
    offsets[0] = 0;
    for (int32_t j = 1; j < width; ++j) {
        error += sourceWidth;
        while (error >= destWidth) {
            error -= destWidth;
            offset += step;
        }
        offsets[j] = offset;
    }
}

}  // namespace gfx
