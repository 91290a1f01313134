#pragma once

#include <cstdint>

namespace gfx {

// The walk shared by the unscaled routines: blit pixel (i, j) is destination pixel
// (dx + j, dy + i) and source pixel (sx + j, sy + i), read from the other end of the rectangle
// along each mirrored axis. Rows are done first to last, pixels left to right.
struct UnscaledWalk {
    int32_t height;
    int32_t width;
    int32_t sy;
    int32_t sx;
    bool mirrorX;
    bool mirrorY;

    int32_t SourceRow(int32_t i) const { return mirrorY ? sy + height - 1 - i : sy + i; }
    int32_t SourceColumn(int32_t j) const { return mirrorX ? sx + width - 1 - j : sx + j; }
};

}  // namespace gfx
