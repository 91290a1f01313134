#pragma once

#include <cstdint>

namespace gfx {

// The size of a memory page of this system, in bytes (never 0).
uint32_t PageSize();

}  // namespace gfx
