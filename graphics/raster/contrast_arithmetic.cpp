#include "graphics/raster/contrast_arithmetic.h"

#include <algorithm>

namespace gfx {

namespace {

using Kind = ContrastArithmetic::Kind;

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

// The smallest factor that gives every entry of one side of an expansion: each entry's move q
// from x bounds the factor from below by q * 65536 / d and, unless the entry is clamped (where
// any larger q gives it too), from above by (q + 1) * 65536 / d. False when no factor is left.
bool ExpansionFactor(const ContrastTable& table, int32_t side, uint32_t* factor) {
    const uint8_t mean = static_cast<uint8_t>(table.mean);
    int64_t low = 0;
    int64_t high = ContrastArithmetic::kMaxFactor;
    for (int32_t x = side ? mean + 1 : 0; x <= (side ? 255 : mean); ++x) {
        const ExpansionDistances d = ExpansionDistancesOf(mean, static_cast<uint8_t>(x));
        const int64_t distance = side ? d.above : d.atOrBelow;
        const int32_t e = table.entry[x];
        const int64_t moved = side ? e - x : x - e;
        const bool clamped = side ? e == 255 : e == 0;
        if (moved < 0) return false;
        low = std::max(low, (moved * 65536 + distance - 1) / distance);
        if (!clamped) high = std::min(high, ((moved + 1) * 65536 - 1) / distance);
        if (low > high) return false;
    }
    *factor = static_cast<uint32_t>(low);
    return true;
}

}  // namespace

ExpansionDistances ExpansionDistancesOf(uint8_t mean, uint8_t x) {
    const auto saturated = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    return {saturated(x - mean + 20), saturated(mean + 21 - x)};
}

ExpansionConstants ExpansionConstantsOf(uint8_t mean) {
    const int32_t reach = mean + 21;
    return {
        static_cast<uint8_t>(std::max(0, 20 - mean)), static_cast<uint8_t>(std::max(0, mean - 20)),
        static_cast<uint8_t>(std::min(255, reach)), static_cast<uint8_t>(std::max(0, reach - 255))};
}

uint8_t ContrastEntry(const ContrastArithmetic& form, uint8_t x) {
    if (form.kind == Kind::Compress) {
        const bool above = x > form.mean;
        const uint32_t d = above ? x - form.mean : form.mean - x;
        const int32_t q = static_cast<int32_t>((d * form.factor[above ? 1 : 0]) >> 16);  // < 256
        return static_cast<uint8_t>(above ? form.mean + q : form.mean - q);
    }
    const ExpansionDistances d = ExpansionDistancesOf(form.mean, x);
    const bool above = d.above > d.atOrBelow;
    const uint64_t distance = above ? d.above : d.atOrBelow;
    const int64_t q = static_cast<int64_t>((distance * form.factor[above ? 1 : 0]) >> 16);
    return static_cast<uint8_t>(above ? std::min<int64_t>(255, x + q)
                                      : std::max<int64_t>(0, x - q));
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
        if (!ExpansionFactor(table, 0, &form.factor[0]) ||
            !ExpansionFactor(table, 1, &form.factor[1]))
            return lookup;
    }
    return Reproduces(form, table) ? form : lookup;
}

}  // namespace gfx
