#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graphics/blit/smooth_target.h"

namespace gfx {

// Bilinear interpolation in 18.14 fixed point (16384 = one source pixel). Along each axis the
// position starts half a pixel before the first source pixel and advances by the step; while it is
// before the first pixel's centre the first pixel is used alone, while it is before the last
// pixel's centre it blends the pixel at its integer part with the next, and after that the last
// pixel is used alone.
//
// The pixel pair is taken from the integer part of the position itself, so a reduced axis (a step
// above one pixel) reads the pixels it passes over and reaches the last one; on an enlarged axis
// this is the pair that stepping from the first pixel would reach.
inline constexpr int32_t kBilinearOne = 16384;
inline constexpr int kBilinearShift = 14;

// One destination column or row: the two source pixels (from the rectangle's first) and the
// weight of the second, 0 to 16383.
struct BilinearTap {
    int32_t first;
    int32_t second;
    int32_t fraction;
};

// The taps of one axis, in destination order.
class BilinearAxis {
  public:
    BilinearAxis(int32_t sourceCount, float ratio)
        : step_(static_cast<int64_t>(ratio * static_cast<float>(kBilinearOne))),
          limit_(int64_t{sourceCount - 1} * kBilinearOne),
          last_(sourceCount - 1) {}

    BilinearTap Next() {
        if (phase_ == Phase::Lead) {
            Advance();
            return {0, 0, 0};
        }
        if (phase_ == Phase::Middle) {
            const int32_t base = static_cast<int32_t>(position_ >> kBilinearShift);
            const int32_t fraction = static_cast<int32_t>(position_ & (kBilinearOne - 1));
            Advance();
            return {base, base + 1, fraction};
        }
        return {last_, last_, 0};
    }

  private:
    enum class Phase { Lead, Middle, Tail };

    void Advance() {
        position_ += step_;
        if (position_ >= 0) phase_ = position_ < limit_ ? Phase::Middle : Phase::Tail;
    }

    // Wide enough that no step or limit of 32-bit sizes overflows.
    int64_t position_ = -kBilinearOne / 2;
    int64_t step_;
    int64_t limit_;
    int32_t last_;
    Phase phase_ = Phase::Lead;
};

// The four weights of one destination pixel, each product of an x and a y weight truncated to 14
// fraction bits, so that they sum to 16384 or a little less.
struct BilinearWeights {
    int32_t topLeft, topRight, bottomLeft, bottomRight;
    BilinearWeights(int32_t fx, int32_t fy)
        : topLeft(((kBilinearOne - fy) * (kBilinearOne - fx)) >> kBilinearShift),
          topRight(((kBilinearOne - fy) * fx) >> kBilinearShift),
          bottomLeft(((kBilinearOne - fx) * fy) >> kBilinearShift),
          bottomRight((fy * fx) >> kBilinearShift) {}
};

// A destination column of a strip: the byte offsets of its two source pixels in a source row and
// the weight of the second.
struct BilinearColumn {
    int32_t first;
    int32_t second;
    int32_t fraction;
};

// Columns are prepared for strips of this many destination pixels at a time.
inline constexpr int32_t kBilinearStrip = 256;

// Writes `count` pixels of kBytes channels from left to right, blending the columns of the rows
// `top` and `bottom` (which may be the same row) with the vertical weight fy.
template <int kBytes>
void BilinearRowScalar(uint8_t* out, const uint8_t* top, const uint8_t* bottom, int32_t fy,
                       const BilinearColumn* columns, int32_t count) {
    for (int32_t t = 0; t < count; ++t, out += kBytes) {
        const BilinearColumn& c = columns[t];
        const BilinearWeights w(c.fraction, fy);
        for (int b = 0; b < kBytes; ++b) {
            const int32_t sum = w.topRight * top[c.second + b] +
                                w.bottomRight * bottom[c.second + b] +
                                w.bottomLeft * bottom[c.first + b] + w.topLeft * top[c.first + b];
            out[b] = static_cast<uint8_t>(sum >> kBilinearShift);
        }
    }
}

// The rows of a strip drawn by Row(out, top, bottom, fy, columns, count) from the strip's columns
// as they are. Row bodies that prepare more of the columns once per strip are classes with the
// same two members.
template <auto Row>
class BilinearColumnRows {
  public:
    // The strip's columns in destination address order, and the bytes of a source row that they
    // may read (from the rectangle's first pixel).
    void Prepare(const BilinearColumn* columns, int32_t count, int32_t /*rowBytes*/) {
        columns_ = columns;
        count_ = count;
    }
    // One row of the strip, blending the rows `top` and `bottom` (which may be the same row) with
    // the vertical weight fy.
    void Draw(uint8_t* out, const uint8_t* top, const uint8_t* bottom, int32_t fy) const {
        Row(out, top, bottom, fy, columns_, count_);
    }

  private:
    const BilinearColumn* columns_ = nullptr;
    int32_t count_ = 0;
};

// The whole interpolation, one strip of destination columns at a time, each row of a strip drawn
// by Rows.
template <int kBytes, typename Rows = BilinearColumnRows<BilinearRowScalar<kBytes>>>
void BilinearScale(const SmoothScaleCall& c, const SmoothRatios& ratios) {
    BilinearColumn columns[kBilinearStrip];
    Rows rows;
    BilinearAxis columnAxis(c.sw, ratios.x);
    for (int32_t j0 = 0; j0 < c.width; j0 += kBilinearStrip) {
        const int32_t count = std::min(kBilinearStrip, c.width - j0);
        for (int32_t t = 0; t < count; ++t) {
            const BilinearTap tap = columnAxis.Next();
            columns[c.mirrorX ? count - 1 - t : t] = {tap.first * kBytes, tap.second * kBytes,
                                                      tap.fraction};
        }
        rows.Prepare(columns, count, c.sw * kBytes);
        // The strip's leftmost destination column.
        const int32_t left = c.mirrorX ? c.width - j0 - count : j0;
        BilinearAxis rowAxis(c.sh, ratios.y);
        for (int32_t i = 0; i < c.height; ++i) {
            const BilinearTap tap = rowAxis.Next();
            rows.Draw(c.DestinationRow(i, kBytes) + static_cast<ptrdiff_t>(left) * kBytes,
                      c.SourceRow(tap.first, kBytes), c.SourceRow(tap.second, kBytes),
                      tap.fraction);
        }
    }
}

}  // namespace gfx
