#include "graphics/raster/hsi_adjustment.h"

#include <cmath>

namespace gfx {

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kTwoThirdsPi = 2.0943952f;
constexpr float kFourThirdsPi = 4.1887903f;
constexpr float kThirdPi = 1.0471976f;

constexpr int64_t kUnit = 16384;
constexpr int64_t kFixedTwoPi = 102944;
constexpr int64_t kFixedTwoThirdsPi = 34314;
constexpr int64_t kFixedFourThirdsPi = 68629;
constexpr int64_t kFixedThirdPi = 17157;
constexpr int64_t kFixedDegree = 286;

// Clamped to a byte, truncating toward zero; a value that is not a number becomes 0.
uint8_t FloatToByte(float v) {
    if (!(v >= 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(v);
}

uint8_t IntToByte(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Rounding may carry the cosine a hair past +-1, where the arc cosine has no value.
float ClampCosine(float c) { return c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c); }
double ClampCosine(double c) { return c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c); }

}  // namespace

FloatHsiAmounts MakeFloatHsiAmounts(int32_t hue, int32_t saturation, int32_t lightness) {
    FloatHsiAmounts a;
    a.turn = static_cast<float>(hue % 360) * 0.017453292f;
    a.satScale = static_cast<float>(static_cast<int64_t>(saturation) + 100) * 0.01f;
    a.offset = static_cast<float>(lightness) * 0.01f * 255.0f;
    return a;
}

FixedHsiAmounts MakeFixedHsiAmounts(int32_t hue, int32_t saturation, int32_t lightness) {
    FixedHsiAmounts a;
    a.turn = static_cast<int64_t>(hue % 360) * kFixedDegree;
    a.satScale = ((static_cast<int64_t>(saturation) + 100) * kUnit) / 100;
    a.offset = (static_cast<int64_t>(lightness) * 255) / 100;
    return a;
}

void AdjustHsiFloat(uint8_t* pixel, const FloatHsiAmounts& amounts) {
    const float inv255 = 1.0f / 255.0f;
    const float third = 1.0f / 3.0f;
    const float r = static_cast<float>(pixel[2]) * inv255;
    const float g = static_cast<float>(pixel[1]) * inv255;
    const float b = static_cast<float>(pixel[0]) * inv255;
    const float sum = b + g + r;
    const float intensity = sum * third;

    const bool grey = r == g && g == b;
    float hue = 0.0f;
    float sat = 0.0f;
    if (!grey) {
        const float least = (r <= g && r <= b) ? r : ((g <= r && g <= b) ? g : b);
        sat = 1.0f - (3.0f / sum) * least;
        const float den = std::sqrt((r - g) * (r - g) + (r - b) * (g - b));
        hue = std::acos(ClampCosine(((r - g) + (r - b)) * 0.5f / den));
        if (hue < 0.0f) hue = 0.0f;
        if (b > g) hue = kTwoPi - hue;
    }
    hue += amounts.turn;
    if (hue >= kTwoPi) {
        hue -= kTwoPi;
    } else if (hue < 0.0f) {
        hue += kTwoPi;
    }
    if (!grey) {
        sat *= amounts.satScale;
        sat = sat < 0.0f ? 0.0f : (sat > 1.0f ? 1.0f : sat);
    }

    float red, green, blue;
    if (intensity == 0.0f) {
        red = green = blue = 0.0f;
    } else if (sat == 0.0f) {
        red = green = blue = intensity * 255.0f;
    } else {
        float rr, gg, bb;
        if (hue <= kTwoThirdsPi) {
            bb = (1.0f - sat) / 3.0f;
            rr = (1.0f + sat * std::cos(hue) / std::cos(kThirdPi - hue)) / 3.0f;
            gg = 1.0f - rr - bb;
        } else if (hue <= kFourThirdsPi) {
            const float h = hue - kTwoThirdsPi;
            rr = (1.0f - sat) / 3.0f;
            gg = (1.0f + sat * std::cos(h) / std::cos(kThirdPi - h)) / 3.0f;
            bb = 1.0f - rr - gg;
        } else {
            const float h = hue - kFourThirdsPi;
            gg = (1.0f - sat) / 3.0f;
            bb = (1.0f + sat * std::cos(h) / std::cos(kThirdPi - h)) / 3.0f;
            rr = 1.0f - gg - bb;
        }
        red = rr * sum * 255.0f;
        green = gg * sum * 255.0f;
        blue = bb * sum * 255.0f;
    }
    pixel[0] = FloatToByte(blue + amounts.offset);
    pixel[1] = FloatToByte(green + amounts.offset);
    pixel[2] = FloatToByte(red + amounts.offset);
}

void AdjustHsiFixed(uint8_t* pixel, const FixedHsiAmounts& amounts) {
    const int64_t r = static_cast<int64_t>(static_cast<uint32_t>(pixel[2]) * 16384u / 255u);
    const int64_t g = static_cast<int64_t>(static_cast<uint32_t>(pixel[1]) * 16384u / 255u);
    const int64_t b = static_cast<int64_t>(static_cast<uint32_t>(pixel[0]) * 16384u / 255u);
    const int64_t v = r + g + b;

    const bool grey = r == g && g == b;
    int64_t hue = 0;
    int64_t sat = 0;
    if (!grey) {
        const int64_t least = (r <= g && r <= b) ? r : ((g <= r && g <= b) ? g : b);
        sat = kUnit - ((((int64_t{3} << 28) / v) * least) >> 14);
        const double spread = static_cast<double>((r - b) * (g - b) + (g - r) * (g - r));
        int64_t den = static_cast<int64_t>(std::sqrt(spread * 0x1p-28) * 16384.0);
        if (den < 1) den = 1;  // not reached for a coloured pixel, whose spread is at least 1
        const int64_t cosine = ((2 * r - g - b) * 8192) / den;
        hue = static_cast<int64_t>(std::acos(ClampCosine(static_cast<double>(cosine) * 0x1p-14)) *
                                   16384.0);
        if (hue < 0) hue = 0;
        if (g < b) hue = kFixedTwoPi - hue;
    }
    hue += amounts.turn;
    if (hue >= kFixedTwoPi) {
        hue -= kFixedTwoPi;
    } else if (hue < 0) {
        hue += kFixedTwoPi;
    }
    if (!grey) {
        sat = (sat * amounts.satScale) >> 14;
        sat = sat < 0 ? 0 : (sat > kUnit ? kUnit : sat);
    }

    int64_t red, green, blue;
    if (v / 3 == 0) {
        red = green = blue = 0;
    } else if (sat == 0) {
        red = green = blue = (v / 3) >> 6;
    } else {
        const int64_t h = hue <= kFixedTwoThirdsPi    ? hue
                          : hue <= kFixedFourThirdsPi ? hue - kFixedTwoThirdsPi
                                                      : hue - kFixedFourThirdsPi;
        const int64_t cn = static_cast<int64_t>(std::cos(static_cast<double>(h) * 0x1p-14) * -16384.0);
        const int64_t cd =
            static_cast<int64_t>(std::cos(static_cast<double>(kFixedThirdPi - h) * 0x1p-14) * 16384.0);
        const int64_t low = (kUnit - sat) / 3;
        const int64_t rising = (kUnit - (cn * sat) / cd) / 3;
        const int64_t rest = kUnit - low - rising;
        int64_t rr, gg, bb;
        if (hue <= kFixedTwoThirdsPi) {
            bb = low, rr = rising, gg = rest;
        } else if (hue <= kFixedFourThirdsPi) {
            rr = low, gg = rising, bb = rest;
        } else {
            gg = low, bb = rising, rr = rest;
        }
        red = (rr * v) >> 20;
        green = (gg * v) >> 20;
        blue = (bb * v) >> 20;
    }
    pixel[0] = IntToByte(blue + amounts.offset);
    pixel[1] = IntToByte(green + amounts.offset);
    pixel[2] = IntToByte(red + amounts.offset);
}

}  // namespace gfx
