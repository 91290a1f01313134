#pragma once

#include <cstdint>

namespace gfx {

// The lookup table of a contrast change by `amount` (-100..100, not 0) about the mean luminance
// `mean` (0..255), applied alike to the three colour bytes. A negative amount pulls every value
// towards the mean by (amount + 100) / 100, truncated toward zero; a positive one pushes values
// above the mean up by (255 - mean)^h and those at or below it down by mean^h, h = amount / 100,
// each grown by 5% per step away from the mean. Entries are clamped to 0..255.
struct ContrastTable {
    uint8_t entry[256];
};

ContrastTable MakeContrastTable(int32_t amount, int32_t mean);

}  // namespace gfx
