#include "graphics/raster/contrast_table.h"

#include <cmath>

namespace gfx {

namespace {

uint8_t Clamped(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace

double ContrastPower(int32_t base, int32_t amount) {
    const double h = amount * 0.01;
    return base == 0 ? 0.0 : std::exp2(h * std::log2(static_cast<double>(base)));
}

ContrastTable MakeContrastTable(int32_t amount, int32_t mean) {
    ContrastTable table{};
    table.amount = amount;
    table.mean = mean;
    if (amount < 0) {
        for (int32_t i = 0; i < 256; ++i) {
            table.entry[i] = Clamped(mean + (i - mean) * (amount + 100) / 100);
        }
        return table;
    }
    const double above = ContrastPower(255 - mean, amount);
    const double below = ContrastPower(mean, amount);
    for (int32_t i = 0; i < 256; ++i) {
        const int32_t v =
            i > mean ? i + static_cast<int32_t>(above * (1 + 0.05 * (i - mean)))
                     : i - static_cast<int32_t>(below * (1 + 0.05 * (mean + 1 - i)));
        table.entry[i] = Clamped(v);
    }
    return table;
}

}  // namespace gfx
