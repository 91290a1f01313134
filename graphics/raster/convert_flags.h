#pragma once

#include <cstdint>

namespace gfx {

// Flags of ConvertFormat; other bits are ignored.
// Match colours through a ColorTree of the target palette instead of scoring every entry.
inline constexpr uint32_t CONVERT_TREE_MATCH = 1;
// Spread each pixel's rounding error to its neighbours.
inline constexpr uint32_t CONVERT_DITHER = 2;

}  // namespace gfx
