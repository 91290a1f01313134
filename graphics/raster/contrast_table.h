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
    // The change the entries were made for; 0 when they were set some other way.
    int32_t amount = 0;
    int32_t mean = 0;
};

ContrastTable MakeContrastTable(int32_t amount, int32_t mean);

// base^(amount / 100) as the table takes it, through 2^(h * log2(base)); a base of 0 gives 0.
double ContrastPower(int32_t base, int32_t amount);

}  // namespace gfx
