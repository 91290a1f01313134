#pragma once

// The AVX2 rows of the bilinear interpolation of 32-bit pixels, identical in result to
// BilinearRowScalar<4>: the SSSE3 rows' arithmetic on eight pixels at a time, pixel k in the low
// 128-bit lane and pixel k + 4 in the high one, so that each pixel's weights fill its lane and
// the packs leave the eight pixels in order. Where a group's eight columns lie within eight
// source pixels (always so when enlarging, but at a row's ends), one load brings them all and two
// permutes pick each column's pair; the strip prepares those permutes and the columns' weights
// once for all its rows. Compiled for AVX2 by function attributes in a baseline build; only
// called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graphics/blit/bilinear_scale.h"
#include "graphics/blit/bilinear_scale_ssse3.h"

namespace gfx {

namespace bilinear_avx2 {

__attribute__((target("avx2"))) inline __m256i Load256(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// A row's share of x weights (x * row) >> 14, 16-bit lane by lane, given row * 4: the high half of
// x * (row * 4) is exactly that, and row * 4 fits 16 bits because a row blended with another
// weighs 1 to 16383.
__attribute__((target("avx2"))) inline __m256i RowShare(__m256i x, __m256i rowTimes4) {
    return _mm256_mulhi_epu16(x, rowTimes4);
}

// Both rows' vertical weights, times 4, in every 16-bit lane.
struct RowWeights {
    __m256i top, bottom;
    __attribute__((target("avx2"))) explicit RowWeights(int32_t fy)
        : top(_mm256_set1_epi16(static_cast<short>((kBilinearOne - fy) * 4))),
          bottom(_mm256_set1_epi16(static_cast<short>(fy * 4))) {}
};

// The x weights (16384 - fx, fx) of columns t..t+7, one pair of 16-bit lanes per column. The
// eight columns are 24 words, three registers, whose fractions (words 2, 5, ..., 23) are picked
// out by a permute each: a gather of the eight, or inserting them one by one, takes longer.
__attribute__((target("avx2"))) inline __m256i ColumnWeights(const BilinearColumn* c) {
    static_assert(sizeof(BilinearColumn) == 12 && offsetof(BilinearColumn, fraction) == 8);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(c);
    const __m256i a =
        _mm256_permutevar8x32_epi32(Load256(bytes), _mm256_setr_epi32(2, 5, 0, 0, 0, 0, 0, 0));
    const __m256i b =
        _mm256_permutevar8x32_epi32(Load256(bytes + 32), _mm256_setr_epi32(0, 0, 0, 3, 6, 0, 0, 0));
    const __m256i d =
        _mm256_permutevar8x32_epi32(Load256(bytes + 64), _mm256_setr_epi32(0, 0, 0, 0, 0, 1, 4, 7));
    const __m256i f = _mm256_blend_epi32(_mm256_blend_epi32(a, b, 0x1C), d, 0xE0);
    return _mm256_or_si256(_mm256_slli_epi32(f, 16),
                           _mm256_sub_epi32(_mm256_set1_epi32(kBilinearOne), f));
}

// Whether the eight columns from c on may be read as adjacent pairs. A column whose two pixels
// are the same one (before the first pixel's centre or after the last one's) has the weight 0 for
// its second pixel, so reading the pixel after it gives the same sums, and is safe except after
// the last source pixel, where the row may end. Those columns come last along the axis, so they
// are at one end of a group (the right, or the left for a mirrored row); and where the first
// and the last column blend adjacent pixels, no column of the group is past the last pixel's
// centre. (A source of one pixel has no adjacent column at all.)
__attribute__((target("avx2"))) inline bool ReadsAsPairs(const BilinearColumn* c) {
    return c[0].second == c[0].first + 4 && c[7].second == c[7].first + 4;
}

// Channel c of a pair's first pixel and of its second in 16-bit lanes 2c and 2c + 1: the pair in
// bytes 0-7 of each lane (kHigh false) or in bytes 8-15.
template <bool kHigh>
__attribute__((target("avx2"))) inline __m256i SpreadPair(__m256i pairs) {
    constexpr char o = kHigh ? 8 : 0;
    return _mm256_shuffle_epi8(
        pairs,
        _mm256_setr_epi8(o + 0, -128, o + 4, -128, o + 1, -128, o + 5, -128, o + 2, -128, o + 6,
                         -128, o + 3, -128, o + 7, -128, o + 0, -128, o + 4, -128, o + 1, -128,
                         o + 5, -128, o + 2, -128, o + 6, -128, o + 3, -128, o + 7, -128));
}

// The adjacent pixel pairs of columns a (low lane) and b (high lane) of `row`, channel c of the
// first pixel and of the second in 16-bit lanes 2c and 2c + 1 of each lane.
__attribute__((target("avx2"))) inline __m256i SpreadPairs(const uint8_t* row, int32_t a,
                                                           int32_t b) {
    return SpreadPair<false>(_mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + a))),
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + b)), 1));
}

// Pixels k and k + 4 of a group, their four channel sums in each lane.
template <int kK, bool kTwoRows>
__attribute__((target("avx2"))) inline __m256i Pixels(const uint8_t* top, const uint8_t* bottom,
                                                      const BilinearColumn* c, __m256i topWeights,
                                                      __m256i bottomWeights) {
    const __m256i sum =
        _mm256_madd_epi16(SpreadPairs(top, c[kK].first, c[kK + 4].first),
                          _mm256_shuffle_epi32(topWeights, _MM_SHUFFLE(kK, kK, kK, kK)));
    if constexpr (!kTwoRows) return _mm256_srli_epi32(sum, kBilinearShift);
    const __m256i under =
        _mm256_madd_epi16(SpreadPairs(bottom, c[kK].first, c[kK + 4].first),
                          _mm256_shuffle_epi32(bottomWeights, _MM_SHUFFLE(kK, kK, kK, kK)));
    return _mm256_srli_epi32(_mm256_add_epi32(sum, under), kBilinearShift);
}

// Eight pixels from their columns as they are, each column's pair loaded on its own. Groups at a
// row's ends that ReadsAsPairs refuses take the SSSE3 groups of four.
template <bool kTwoRows>
__attribute__((target("avx2"))) inline void ColumnGroup(uint8_t* out, const uint8_t* top,
                                                        const uint8_t* bottom, int32_t fy,
                                                        const BilinearColumn* c,
                                                        const RowWeights& rows) {
    if (!ReadsAsPairs(c)) {
        bilinear_ssse3::PixelRuns<kTwoRows>(out, top, bottom, fy, c, 8);
        return;
    }
    const __m256i x = ColumnWeights(c);
    // With fy = 0 the top weights are the column weights themselves.
    const __m256i topWeights = kTwoRows ? RowShare(x, rows.top) : x;
    const __m256i bottomWeights = kTwoRows ? RowShare(x, rows.bottom) : _mm256_setzero_si256();
    const __m256i p04 = Pixels<0, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
    const __m256i p15 = Pixels<1, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
    const __m256i p26 = Pixels<2, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
    const __m256i p37 = Pixels<3, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
    // Each channel sum is at most 255: the packs keep it exactly, lane by lane.
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out),
        _mm256_packus_epi16(_mm256_packs_epi32(p04, p15), _mm256_packs_epi32(p26, p37)));
}

// A group of eight columns as a strip prepares it for its rows.
struct PreparedGroup {
    // The byte offset in a source row of eight pixels that hold every pixel the columns take, or
    // -1 where no eight do: then the group is drawn by ColumnGroup.
    int32_t base;
    // Permute indices into those eight pixels: the (first, second) pixels of columns 0, 1 | 4, 5,
    // then of columns 2, 3 | 6, 7.
    int32_t pairs[2][8];
    // The weights (16384 - fx, fx) of column k in each 32-bit lane of the low 128-bit lane of
    // weights[k] and of column k + 4 in each of the high one.
    uint32_t weights[4][8];
    // For rows of one source row: permute indices of the columns' first pixels and of their
    // second ones, in column order, and fx in the four 16-bit lanes of each column's channels,
    // laid out as the byte unpacks of those pixels leave them (columns 0, 1 | 4, 5, then 2, 3 |
    // 6, 7).
    int32_t firsts[8];
    int32_t seconds[8];
    int16_t fractions[2][16];
};

// Prepares the group of columns c..c+7 of a strip whose rows may be read for rowBytes bytes.
inline PreparedGroup PrepareGroup(const BilinearColumn* c, int32_t rowBytes) {
    PreparedGroup g{};
    int32_t low = c[0].first, high = c[0].second;
    for (int k = 1; k < 8; ++k) low = std::min(low, c[k].first), high = std::max(high, c[k].second);
    // Eight pixels from the lowest, or the row's last eight where those would run past its end.
    const int32_t base = std::min(low, rowBytes - 32);
    g.base = base >= 0 && high - base <= 28 ? base : -1;
    if (g.base < 0) return g;
    for (int k = 0; k < 8; ++k) {
        // Columns 0, 1 | 4, 5 go to the first register of pairs and of unpacked pixels, 2, 3 |
        // 6, 7 to the second, in these slots.
        const int32_t half = (k & 2) != 0 ? 1 : 0;
        const int32_t slot = (k & 1) + ((k & 4) != 0 ? 2 : 0);
        g.firsts[k] = (c[k].first - base) / 4;
        g.seconds[k] = (c[k].second - base) / 4;
        g.pairs[half][2 * slot] = g.firsts[k];
        g.pairs[half][2 * slot + 1] = g.seconds[k];
        for (int i = 0; i < 4; ++i)
            g.fractions[half][4 * slot + i] = static_cast<int16_t>(c[k].fraction);
        const uint32_t weights = static_cast<uint32_t>(kBilinearOne - c[k].fraction) |
                                 static_cast<uint32_t>(c[k].fraction) << 16;
        for (int i = 0; i < 4; ++i) g.weights[k & 3][(k & 4) + i] = weights;
    }
    return g;
}

// The pairs of a prepared group in one source row, spread for pmaddwd: columns 0 | 4, 1 | 5,
// 2 | 6 and 3 | 7.
struct SpreadRow {
    __m256i p04, p15, p26, p37;
    __attribute__((target("avx2"))) SpreadRow(const uint8_t* row, const PreparedGroup& g) {
        const __m256i pixels = Load256(row + g.base);
        const __m256i low = _mm256_permutevar8x32_epi32(
            pixels, Load256(reinterpret_cast<const uint8_t*>(g.pairs[0])));
        const __m256i high = _mm256_permutevar8x32_epi32(
            pixels, Load256(reinterpret_cast<const uint8_t*>(g.pairs[1])));
        p04 = SpreadPair<false>(low), p15 = SpreadPair<true>(low);
        p26 = SpreadPair<false>(high), p37 = SpreadPair<true>(high);
    }
};

// Column k's and k + 4's weights from a prepared group.
template <int kK>
__attribute__((target("avx2"))) inline __m256i ColumnPairWeights(const PreparedGroup& g) {
    return Load256(reinterpret_cast<const uint8_t*>(g.weights[kK]));
}

// The four channel sums of the pixels k and k + 4, shifted back to 8 bits.
template <int kK, bool kTwoRows>
__attribute__((target("avx2"))) inline __m256i PreparedPixels(__m256i topPairs, __m256i bottomPairs,
                                                              const PreparedGroup& g,
                                                              const RowWeights& rows) {
    const __m256i x = ColumnPairWeights<kK>(g);
    if constexpr (!kTwoRows)
        return _mm256_srli_epi32(_mm256_madd_epi16(topPairs, x), kBilinearShift);
    const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(topPairs, RowShare(x, rows.top)),
                                         _mm256_madd_epi16(bottomPairs, RowShare(x, rows.bottom)));
    return _mm256_srli_epi32(sum, kBilinearShift);
}

// first + ((second - first) * fx) >> 14 of the channels in 16-bit lanes, which is what the weights
// 16384 - fx and fx give: the high half of (second - first) * 4 * fx is the shifted product, its
// floor included where the difference is negative.
__attribute__((target("avx2"))) inline __m256i Between(__m256i first, __m256i second,
                                                       const int16_t* fractions) {
    const __m256i step = _mm256_slli_epi16(_mm256_sub_epi16(second, first), 2);
    return _mm256_add_epi16(
        first, _mm256_mulhi_epi16(step, Load256(reinterpret_cast<const uint8_t*>(fractions))));
}

// Eight pixels of a row that takes one source row (fy = 0).
__attribute__((target("avx2"))) inline void PreparedGroupPixelsOfOneRow(uint8_t* out,
                                                                        const uint8_t* row,
                                                                        const PreparedGroup& g) {
    const __m256i pixels = Load256(row + g.base);
    const __m256i first =
        _mm256_permutevar8x32_epi32(pixels, Load256(reinterpret_cast<const uint8_t*>(g.firsts)));
    const __m256i second =
        _mm256_permutevar8x32_epi32(pixels, Load256(reinterpret_cast<const uint8_t*>(g.seconds)));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = Between(_mm256_unpacklo_epi8(first, zero),
                                _mm256_unpacklo_epi8(second, zero), g.fractions[0]);
    const __m256i high = Between(_mm256_unpackhi_epi8(first, zero),
                                 _mm256_unpackhi_epi8(second, zero), g.fractions[1]);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_packus_epi16(low, high));
}

template <bool kTwoRows>
__attribute__((target("avx2"))) inline void PreparedGroupPixels(uint8_t* out, const uint8_t* top,
                                                                const uint8_t* bottom,
                                                                const PreparedGroup& g,
                                                                const RowWeights& rows) {
    const SpreadRow t(top, g);
    __m256i p04, p15, p26, p37;
    if constexpr (kTwoRows) {
        const SpreadRow b(bottom, g);
        p04 = PreparedPixels<0, true>(t.p04, b.p04, g, rows);
        p15 = PreparedPixels<1, true>(t.p15, b.p15, g, rows);
        p26 = PreparedPixels<2, true>(t.p26, b.p26, g, rows);
        p37 = PreparedPixels<3, true>(t.p37, b.p37, g, rows);
    } else {
        p04 = PreparedPixels<0, false>(t.p04, t.p04, g, rows);
        p15 = PreparedPixels<1, false>(t.p15, t.p15, g, rows);
        p26 = PreparedPixels<2, false>(t.p26, t.p26, g, rows);
        p37 = PreparedPixels<3, false>(t.p37, t.p37, g, rows);
    }
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out),
        _mm256_packus_epi16(_mm256_packs_epi32(p04, p15), _mm256_packs_epi32(p26, p37)));
}

}  // namespace bilinear_avx2

// The rows of a strip of the interpolation of 32-bit pixels: whole groups of eight, then the
// SSSE3 row.
class BilinearRows32Avx2 {
  public:
    void Prepare(const BilinearColumn* columns, int32_t count, int32_t rowBytes) {
        columns_ = columns;
        count_ = count;
        for (int32_t g = 0; g < count / 8; ++g)
            groups_[g] = bilinear_avx2::PrepareGroup(columns + 8 * g, rowBytes);
    }

    __attribute__((target("avx2"))) void Draw(uint8_t* out, const uint8_t* top,
                                              const uint8_t* bottom, int32_t fy) const {
        if (fy == 0) {
            Groups<false>(out, top, bottom, fy);
        } else {
            Groups<true>(out, top, bottom, fy);
        }
        const int32_t done = count_ / 8 * 8;
        BilinearRow32Ssse3(out + done * 4, top, bottom, fy, columns_ + done, count_ - done);
    }

  private:
    template <bool kTwoRows>
    __attribute__((target("avx2"))) void Groups(uint8_t* out, const uint8_t* top,
                                                const uint8_t* bottom, int32_t fy) const {
        const bilinear_avx2::RowWeights rows(fy);
        for (int32_t g = 0; g < count_ / 8; ++g, out += 32) {
            if (groups_[g].base >= 0) {
                if constexpr (kTwoRows) {
                    bilinear_avx2::PreparedGroupPixels<true>(out, top, bottom, groups_[g], rows);
                } else {
                    bilinear_avx2::PreparedGroupPixelsOfOneRow(out, top, groups_[g]);
                }
            } else {
                bilinear_avx2::ColumnGroup<kTwoRows>(out, top, bottom, fy, columns_ + 8 * g, rows);
            }
        }
    }

    const BilinearColumn* columns_ = nullptr;
    int32_t count_ = 0;
    bilinear_avx2::PreparedGroup groups_[kBilinearStrip / 8];
};

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
