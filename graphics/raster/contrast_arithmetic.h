#pragma once

#include <cstdint>

#include "graphics/raster/contrast_table.h"

namespace gfx {

// A contrast table as a few byte and 16-bit operations, for bodies that compute entries in
// vector registers instead of looking each one up. With d the distance of x from the mean
// (x - mean above it, mean - x at or below it) and q = (min(65535, floor(d * factor / 256) +
// offset)) >> 8, the factor and the offset being those of x's side:
//   compress: mean + q above the mean, mean - q at or below it (the offsets are 0);
//   expand:   min(255, x + q) above the mean, max(0, x - q) at or below it.
// These are the operations the vector bodies do lane by lane. `ContrastArithmeticOf` gives the
// form only when it reproduces all 256 entries of the table; otherwise the table is looked up.
struct ContrastArithmetic {
    enum class Kind : uint8_t { Lookup, Compress, Expand };
    Kind kind = Kind::Lookup;
    uint8_t mean = 0;
    uint16_t factor[2] = {0, 0};  // [0] at or below the mean, [1] above it
    uint16_t offset[2] = {0, 0};
};

ContrastArithmetic ContrastArithmeticOf(const ContrastTable& table);

// The entry of `x` by the form's operations (not for Kind::Lookup).
uint8_t ContrastEntry(const ContrastArithmetic& form, uint8_t x);

}  // namespace gfx
