#pragma once

#include <cstdint>

namespace gfx {

// Which class a surface is; values 3 to 6 are not used.
enum SurfaceKind : uint32_t {
    KIND_BASE = 0,
    KIND_MEMORY_DIB = 1,
    KIND_DIB = 2,
    KIND_CONTAINER = 7,
};

}  // namespace gfx
