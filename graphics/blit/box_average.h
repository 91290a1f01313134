#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "graphics/blit/smooth_target.h"

namespace gfx {

// Box averages: each destination pixel is the coverage-weighted mean of the source area its cell
// covers. Cells are laid side by side from the rectangle's top-left corner; rounding of the cell
// size can carry the last cell of a row or column a little past the rectangle's edge, and the
// part beyond it is read from the edge pixel, so nothing outside the rectangle is read.

// 16.16 fixed point: 65536 is one source pixel.
inline constexpr uint32_t kBoxOne = 65536;

// Calls visit(index, weight) for the source pixels of the cell [start, start + length) along one
// axis: a partial first pixel, whole pixels, and a partial last one. Indexes past `last` are read
// as `last`.
template <class Visit>
inline void ForEachBoxTap(uint64_t start, uint32_t length, int32_t last, Visit&& visit) {
    int64_t index = static_cast<int64_t>(start >> 16);
    uint32_t remaining = length;
    const uint32_t fraction = static_cast<uint32_t>(start & (kBoxOne - 1));
    if (fraction != 0 && remaining > 0) {
        const uint32_t weight = std::min(kBoxOne - fraction, remaining);
        visit(static_cast<int32_t>(std::min<int64_t>(index, last)), weight);
        remaining -= weight;
        ++index;
    }
    for (; remaining >= kBoxOne; remaining -= kBoxOne, ++index) {
        visit(static_cast<int32_t>(std::min<int64_t>(index, last)), kBoxOne);
    }
    if (remaining > 0) visit(static_cast<int32_t>(std::min<int64_t>(index, last)), remaining);
}

// The cell sizes and area of a fixed-point average.
struct BoxSteps {
    uint32_t x, y, area;
    explicit BoxSteps(const SmoothRatios& r)
        : x(static_cast<uint32_t>(r.x * static_cast<float>(kBoxOne))),
          y(static_cast<uint32_t>(r.y * static_cast<float>(kBoxOne))),
          area(static_cast<uint32_t>(r.x * r.y * static_cast<float>(kBoxOne))) {}
};

// Fixed-point average for moderate reductions (area below 64 source pixels, which keeps the
// 32-bit sums from wrapping). A pixel's weight is the product of its row and column weights,
// truncated to 16 fraction bits.
template <int kBytes>
void BoxAverageFixed(const SmoothScaleCall& c, const SmoothRatios& ratios) {
    const BoxSteps steps(ratios);
    for (int32_t i = 0; i < c.height; ++i) {
        uint8_t* row = c.DestinationRow(i, kBytes);
        for (int32_t j = 0; j < c.width; ++j) {
            uint32_t sums[kBytes] = {};
            ForEachBoxTap(uint64_t{steps.y} * static_cast<uint32_t>(i), steps.y, c.sh - 1,
                          [&](int32_t r, uint32_t rowWeight) {
                const uint8_t* s = c.SourceRow(r, kBytes);
                ForEachBoxTap(uint64_t{steps.x} * static_cast<uint32_t>(j), steps.x, c.sw - 1,
                              [&](int32_t col, uint32_t columnWeight) {
                    const uint32_t weight =
                        static_cast<uint32_t>((uint64_t{rowWeight} * columnWeight) >> 16);
                    for (int b = 0; b < kBytes; ++b) sums[b] += s[col * kBytes + b] * weight;
                });
            });
            uint8_t* out = row + static_cast<ptrdiff_t>(c.DestinationColumn(j)) * kBytes;
            for (int b = 0; b < kBytes; ++b) {
                out[b] = static_cast<uint8_t>(std::min<uint32_t>(sums[b] / steps.area, 255));
            }
        }
    }
}

// Calls visit(index, coverage) for the source pixels that the cell [start, end) covers along one
// axis, in single precision. Indexes past `last` are read as `last`.
template <class Visit>
inline void ForEachCoveredPixel(float start, float end, int32_t last, Visit&& visit) {
    const int64_t first = static_cast<int64_t>(std::floor(start));
    const int64_t stop = static_cast<int64_t>(std::ceil(end));
    for (int64_t k = first; k < stop; ++k) {
        const float coverage =
            std::min(static_cast<float>(k + 1), end) - std::max(static_cast<float>(k), start);
        visit(static_cast<int32_t>(std::min<int64_t>(k, last)), coverage);
    }
}

// Floating-point average for strong reductions. Cell edges advance by adding the ratios, from the
// rectangle's corner.
template <int kBytes>
void BoxAverageFloat(const SmoothScaleCall& c, const SmoothRatios& ratios) {
    const float area = ratios.x * ratios.y;
    float top = 0.0f;
    for (int32_t i = 0; i < c.height; ++i) {
        const float bottom = top + ratios.y;
        uint8_t* row = c.DestinationRow(i, kBytes);
        float left = 0.0f;
        for (int32_t j = 0; j < c.width; ++j) {
            const float right = left + ratios.x;
            float sums[kBytes] = {};
            ForEachCoveredPixel(top, bottom, c.sh - 1, [&](int32_t r, float rowCoverage) {
                const uint8_t* s = c.SourceRow(r, kBytes);
                ForEachCoveredPixel(left, right, c.sw - 1, [&](int32_t col, float columnCoverage) {
                    const float coverage = rowCoverage * columnCoverage;
                    for (int b = 0; b < kBytes; ++b) {
                        sums[b] += static_cast<float>(s[col * kBytes + b]) * coverage;
                    }
                });
            });
            uint8_t* out = row + static_cast<ptrdiff_t>(c.DestinationColumn(j)) * kBytes;
            for (int b = 0; b < kBytes; ++b) {
                const float mean = sums[b] / area;
                out[b] = static_cast<uint8_t>(std::clamp(mean, 0.0f, 255.0f));
            }
            left = right;
        }
        top = bottom;
    }
}

}  // namespace gfx
