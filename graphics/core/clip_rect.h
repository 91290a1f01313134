#pragma once

#include <cstdint>

namespace gfx {

// A rectangle by its edges; right and bottom are exclusive.
struct ClipRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

}  // namespace gfx
