#include "graphics/raster/contrast_arithmetic.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

using Kind = ContrastArithmetic::Kind;

uint32_t Step(uint32_t d, uint32_t factor, uint32_t offset) {
    return std::min<uint32_t>(65535, d * factor / 256 + offset) >> 8;
}

// Whether the form gives every entry of the table.
bool Reproduces(const ContrastArithmetic& form, const ContrastTable& table) {
    for (int32_t x = 0; x < 256; ++x) {
        if (ContrastEntry(form, static_cast<uint8_t>(x)) != table.entry[x]) return false;
    }
    return true;
}

// Compressing by k / 100: q = floor(d * k / 100) for every d up to 255 when the factor is
// k * 65536 / 100 rounded up, as the error it adds stays below the 0.01 by which d * k / 100
// falls short of the next integer.
ContrastArithmetic CompressionOf(const ContrastTable& table) {
    ContrastArithmetic form;
    form.kind = Kind::Compress;
    form.mean = static_cast<uint8_t>(table.mean);
    const uint32_t k = static_cast<uint32_t>(table.amount + 100);
    form.factor[0] = form.factor[1] = static_cast<uint16_t>((k * 65536 + 99) / 100);
    return form;
}

// The bounds on a side's offset that the entries of that side set for a given factor: q must be
// the entry's distance from x exactly, or at least the distance to the clamp where the entry is
// clamped. False when none is left.
bool OffsetFor(const ContrastTable& table, int32_t side, uint32_t factor, uint16_t* offset) {
    const int32_t mean = table.mean;
    int64_t low = 0;
    int64_t high = 65535;
    for (int32_t x = side ? mean + 1 : 0; x <= (side ? 255 : mean); ++x) {
        const int32_t e = table.entry[x];
        const int32_t d = side ? x - mean : mean - x;
        const int32_t moved = side ? e - x : x - e;  // q as the entry has it
        const bool clamped = side ? e == 255 : e == 0;
        if (moved < 0) return false;
        const int64_t h = int64_t(d) * factor / 256;
        low = std::max(low, 256 * int64_t(moved) - h);
        if (!clamped) high = std::min(high, 256 * int64_t(moved) + 255 - h);
        if (low > high) return false;
    }
    *offset = static_cast<uint16_t>(low);
    return true;
}

// Expanding: each side's q grows by 5% of the side's power per step, so its factor is near
// 0.05 * power * 65536; the factors around that one are tried for one whose offsets fit.
bool ExpansionSide(const ContrastTable& table, int32_t side, ContrastArithmetic* form) {
    const double power = ContrastPower(side ? 255 - table.mean : table.mean, table.amount);
    const double guess = std::round(0.05 * power * 65536);
    if (guess > 65535 - 32) return false;
    constexpr int32_t kTries = 32;
    for (int32_t i = 0; i <= 2 * kTries; ++i) {
        const int64_t factor = int64_t(guess) + (i % 2 ? (i + 1) / 2 : -(i / 2));
        if (factor < 0) continue;
        uint16_t offset = 0;
        if (OffsetFor(table, side, static_cast<uint32_t>(factor), &offset)) {
            form->factor[side] = static_cast<uint16_t>(factor);
            form->offset[side] = offset;
            return true;
        }
    }
    return false;
}

}  // namespace

uint8_t ContrastEntry(const ContrastArithmetic& form, uint8_t x) {
    const bool above = x > form.mean;
    const int32_t side = above ? 1 : 0;
    const uint32_t d = above ? x - form.mean : form.mean - x;
    const int32_t q = static_cast<int32_t>(Step(d, form.factor[side], form.offset[side]));
    if (form.kind == Kind::Compress)
        return static_cast<uint8_t>(above ? form.mean + q : form.mean - q);
    return static_cast<uint8_t>(above ? std::min(255, x + q) : std::max(0, x - q));
}

ContrastArithmetic ContrastArithmeticOf(const ContrastTable& table) {
    const ContrastArithmetic lookup;
    if (table.amount < -100 || table.amount > 100 || table.amount == 0) return lookup;
    if (table.mean < 0 || table.mean > 255) return lookup;
    ContrastArithmetic form;
    if (table.amount < 0) {
        form = CompressionOf(table);
    } else {
        form.kind = Kind::Expand;
        form.mean = static_cast<uint8_t>(table.mean);
        if (!ExpansionSide(table, 0, &form) || !ExpansionSide(table, 1, &form)) return lookup;
    }
    return Reproduces(form, table) ? form : lookup;
}

}  // namespace gfx
