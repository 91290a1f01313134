#pragma once

// The AVX2 bodies of SumChannels and ApplyContrastRows, identical in result to the scalar ones.
// Sums: 32 bytes at a time added up in 16-bit lanes as words and as their high bytes, each
// lane's two bytes always of the same two channels (24-bit rows repeat every 96 bytes, three
// registers), moved into the 64-bit sums before they could overflow. Applying: the arithmetic
// form on 32 bytes at a time, masked rows keeping the pixels whose mask byte is 0; tables that
// have no arithmetic form take the SSE2 body's lookups. Compiled for AVX2 by a function attribute
// in a baseline build and only called where the processor has AVX2.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graphics/core/triplet_spread_avx2.h"
#include "graphics/raster/contrast_arithmetic.h"
#include "graphics/raster/contrast_rows.h"
#include "graphics/raster/contrast_rows_sse2.h"
#include "graphics/raster/convert_pixels_avx2.h"

namespace gfx::avx2 {

// A block is three registers of 24-bit pixels (their channels repeat every 96 bytes) or four of
// 32-bit ones (four chains of additions rather than one). Each register's 16-bit lanes add up
// its words as they are, and their high bytes apart: word l of register j holds bytes 32 * j +
// 2 * l and the one after it, so each lane's low and high bytes always belong to one channel
// each, and the low bytes' sum is the words' sum less 256 times the high bytes'. Blocks start
// at a 32-byte boundary, loads that straddle cache lines being slower; a run's blocks then
// start at some byte of a pixel, the phase, which turns the channels of all lanes alike.
template <int kBytes>
struct LaneSums {
    static constexpr int kRegisters = kBytes == 3 ? 3 : 4;
    __m256i words[kRegisters], highs[kRegisters];
    int32_t blocks;  // added since the lanes were last moved into the sums
    int32_t phase;
};

template <int kBytes>
__attribute__((target("avx2"))) inline void ClearLanes(LaneSums<kBytes>* lanes) {
    for (int j = 0; j < LaneSums<kBytes>::kRegisters; ++j)
        lanes->words[j] = lanes->highs[j] = _mm256_setzero_si256();
    lanes->blocks = 0;
}

// Moves the lanes into the sums: first by their byte offsets in a block, then by the channels
// those offsets have at the lanes' phase.
template <int kBytes>
__attribute__((target("avx2"))) inline void MoveLanes(LaneSums<kBytes>* lanes, ChannelSums* sums) {
    uint64_t atOffset[kBytes] = {};
    for (int j = 0; j < LaneSums<kBytes>::kRegisters; ++j) {
        alignas(32) uint16_t word[16], high[16];
        _mm256_store_si256(reinterpret_cast<__m256i*>(word), lanes->words[j]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(high), lanes->highs[j]);
#pragma GCC unroll 16
        for (int l = 0; l < 16; ++l) {
            const int low = (32 * j + 2 * l) % kBytes;
            atOffset[low] += static_cast<uint16_t>(word[l] - (high[l] << 8));
            atOffset[(low + 1) % kBytes] += high[l];
        }
    }
    for (int r = 0; r < kBytes; ++r) {
        const int channel = (r + lanes->phase) % kBytes;
        if (channel < 3) sums->sum[channel] += atOffset[r];
    }
    ClearLanes(lanes);
}

// One register's words and high bytes into its lanes.
__attribute__((target("avx2"))) inline void AddRegister(const uint8_t* p, __m256i* words,
                                                        __m256i* highs) {
    __m256i v = _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
    asm("" : "+x"(v));  // one load: folded into the addition, the compiler would load it twice
    *words = _mm256_add_epi16(*words, v);
    *highs = _mm256_add_epi16(*highs, _mm256_srli_epi16(v, 8));
}

// Bytes `from` to `to` of a run one by one.
template <int kBytes>
inline void AddBytes(const uint8_t* p, size_t from, size_t to, ChannelSums* sums) {
    for (size_t k = from; k < to; ++k) {
        const size_t channel = k % kBytes;
        if (channel < 3) sums->sum[channel] += p[k];
    }
}

// Each byte sum of a lane stays exact in 16 bits for 257 blocks (255 * 257 = 65535); the words'
// sum may wrap, as only its low 16 bits are taken.
template <int kBytes>
__attribute__((target("avx2"))) inline ChannelSums SumChannelsOf(const ContrastRows& rows) {
    constexpr int kRegisters = LaneSums<kBytes>::kRegisters;
    constexpr size_t kBlock = 32 * kRegisters;
    constexpr int32_t kFlushBlocks = 257;
    ChannelSums sums{{0, 0, 0}};
    LaneSums<kBytes> lanes;
    ClearLanes(&lanes);
    lanes.phase = 0;
    ForEachRun(
        rows, [&](uint8_t * run, size_t pixels) __attribute__((target("avx2"))) {
            const size_t n = pixels * kBytes;
            const size_t head = std::min(n, (32 - reinterpret_cast<uintptr_t>(run) % 32) % 32);
            size_t blocks = (n - head) / kBlock;
            AddBytes<kBytes>(run, 0, head, &sums);
            AddBytes<kBytes>(run, head + blocks * kBlock, n, &sums);
            if (blocks == 0) return;
            const int32_t phase = static_cast<int32_t>(head % kBytes);
            if (phase != lanes.phase) {
                MoveLanes(&lanes, &sums);
                lanes.phase = phase;
            }
            const uint8_t* p = run + head;
            while (blocks > 0) {
                const size_t room = static_cast<size_t>(kFlushBlocks - lanes.blocks);
                const size_t count = blocks < room ? blocks : room;
                // Named registers for the loop: the compiler keeps the captured lanes in memory,
                // and an array of them in registers it copies at every block.
                __m256i w0 = lanes.words[0], w1 = lanes.words[1], w2 = lanes.words[2];
                __m256i h0 = lanes.highs[0], h1 = lanes.highs[1], h2 = lanes.highs[2];
                __m256i w3 = lanes.words[kRegisters - 1],
                        h3 = lanes.highs[kRegisters - 1];  // 32-bit
                for (size_t b = 0; b < count; ++b, p += kBlock) {
                    AddRegister(p, &w0, &h0);
                    AddRegister(p + 32, &w1, &h1);
                    AddRegister(p + 64, &w2, &h2);
                    if constexpr (kRegisters == 4) AddRegister(p + 96, &w3, &h3);
                }
                lanes.words[0] = w0;
                lanes.words[1] = w1;
                lanes.words[2] = w2;
                lanes.highs[0] = h0;
                lanes.highs[1] = h1;
                lanes.highs[2] = h2;
                if constexpr (kRegisters == 4) {
                    lanes.words[3] = w3;
                    lanes.highs[3] = h3;
                }
                blocks -= count;
                lanes.blocks += static_cast<int32_t>(count);
                if (lanes.blocks == kFlushBlocks) MoveLanes(&lanes, &sums);
            }
        });
    MoveLanes(&lanes, &sums);
    return sums;
}

// The masked sums of eight pixels at a time, one pixel in each 32-bit lane (three-byte pixels
// widened as the conversions widen them): the even bytes' 16-bit words (bytes 0 and 2) and the
// odd ones' (bytes 1 and 3) are multiplied by the mask byte's word in the low or the high half
// of the lane and added in pairs by one instruction, so that each product keeps its byte. A
// product is at most 65025, so a lane's sums stay exact in 32 bits for 65536 steps.
struct MaskedLanes {
    __m256i weight, sum[3];
};

__attribute__((target("avx2"))) inline void ClearLanes(MaskedLanes* lanes) {
    lanes->weight = lanes->sum[0] = lanes->sum[1] = lanes->sum[2] = _mm256_setzero_si256();
}

__attribute__((target("avx2"))) inline uint64_t LaneTotal(__m256i v) {
    alignas(32) uint32_t lane[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lane), v);
    uint64_t total = 0;
    for (uint32_t l : lane) total += l;
    return total;
}

__attribute__((target("avx2"))) inline void MoveLanes(MaskedLanes* lanes, MaskedChannelSums* sums) {
    sums->weight += LaneTotal(lanes->weight);
    for (int k = 0; k < 3; ++k) sums->sum[k] += LaneTotal(lanes->sum[k]);
    ClearLanes(lanes);
}

template <int kBytes>
__attribute__((target("avx2"))) inline MaskedChannelSums SumMaskedChannelsOf(
    const ContrastRows& rows) {
    constexpr int32_t kFlushSteps = 65536;
    // Three-byte pixels are read sixteen bytes at a time: two pixels after the eight must follow.
    constexpr int32_t kSpare = kBytes == 3 ? 2 : 0;
    const int32_t wide = rows.width >= 8 + kSpare ? (rows.width - kSpare) / 8 * 8 : 0;
    const __m256i evenBytes = _mm256_set1_epi32(0x00FF00FF);
    MaskedChannelSums sums{0, {0, 0, 0}};
    MaskedLanes lanes;
    ClearLanes(&lanes);
    int32_t steps = 0;
    for (int32_t y = 0; y < rows.height; ++y) {
        const uint8_t* p = rows.base + static_cast<ptrdiff_t>(y) * rows.pitch;
        const uint8_t* m = rows.mask + static_cast<ptrdiff_t>(y) * rows.maskPitch;
        int32_t x = 0;
        while (x < wide) {
            const int32_t run = std::min((wide - x) / 8, kFlushSteps - steps);
            __m256i weight = lanes.weight, s0 = lanes.sum[0], s1 = lanes.sum[1], s2 = lanes.sum[2];
            for (int32_t step = 0; step < run; ++step, x += 8) {
                const __m256i pixels = LoadPixels8<kBytes>(p + static_cast<ptrdiff_t>(x) * kBytes);
                const __m256i low =
                    _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m + x)));
                const __m256i high = _mm256_slli_epi32(low, 16);
                const __m256i even = _mm256_and_si256(pixels, evenBytes);
                const __m256i odd = _mm256_srli_epi16(pixels, 8);
                weight = _mm256_add_epi32(weight, low);
                s0 = _mm256_add_epi32(s0, _mm256_madd_epi16(even, low));
                s1 = _mm256_add_epi32(s1, _mm256_madd_epi16(odd, low));
                s2 = _mm256_add_epi32(s2, _mm256_madd_epi16(even, high));
            }
            lanes.weight = weight;
            lanes.sum[0] = s0;
            lanes.sum[1] = s1;
            lanes.sum[2] = s2;
            steps += run;
            if (steps == kFlushSteps) {
                MoveLanes(&lanes, &sums);
                steps = 0;
            }
        }
        AddMaskedPixels(p, m, x, rows.width, kBytes, &sums);
    }
    MoveLanes(&lanes, &sums);
    return sums;
}

// The constants of a ContrastArithmetic in lanes: each factor's low 16 bits, and the whole part
// of a wide one.
struct ContrastLanes {
    __m256i mean, factor[2], whole[2];
    __m256i lift, drop, reach, overflow;  // of an expansion, as bytes
};

__attribute__((target("avx2"))) inline ContrastLanes LanesOf(const ContrastArithmetic& form) {
    const ExpansionConstants e = ExpansionConstantsOf(form.mean);
    ContrastLanes lanes;
    lanes.mean = _mm256_set1_epi8(static_cast<char>(form.mean));
    for (int side = 0; side < 2; ++side) {
        lanes.factor[side] = _mm256_set1_epi16(static_cast<short>(form.factor[side] & 0xFFFF));
        lanes.whole[side] = _mm256_set1_epi16(static_cast<short>(form.factor[side] >> 16));
    }
    lanes.lift = _mm256_set1_epi8(static_cast<char>(e.lift));
    lanes.drop = _mm256_set1_epi8(static_cast<char>(e.drop));
    lanes.reach = _mm256_set1_epi8(static_cast<char>(e.reach));
    lanes.overflow = _mm256_set1_epi8(static_cast<char>(e.overflow));
    return lanes;
}

// q of each byte's distance by one factor, as bytes: the even bytes' distances stand alone in
// their words, so their q is the low byte of the product's high half; the odd ones keep their
// place in the high byte, and so does their q.
__attribute__((target("avx2"))) inline __m256i Quotients(__m256i even, __m256i odd,
                                                         __m256i factor) {
    return _mm256_blendv_epi8(_mm256_mulhi_epu16(even, factor), _mm256_mulhi_epu16(odd, factor),
                              _mm256_set1_epi16(static_cast<short>(0xFF00)));
}

// q of one half of each lane's distances, widened to words, by a wide factor.
__attribute__((target("avx2"))) inline __m256i WideQuotients(__m256i d, __m256i whole,
                                                             __m256i fraction) {
    return _mm256_add_epi16(_mm256_mullo_epi16(d, whole), _mm256_mulhi_epu16(d, fraction));
}

// The form's entries of 32 bytes. Expanding, every distance is taken by both sides' factors and
// each byte keeps its own side's result: two more multiplies cost less than choosing a factor
// for every 16-bit lane. Wide factors take the distances widened by lane halves, which packing
// the quotients back to bytes, saturated, puts in their places again.
template <ContrastShape kShape>
__attribute__((target("avx2"))) inline __m256i ContrastBytes(const ContrastLanes& c, __m256i v) {
    const __m256i low = _mm256_set1_epi16(0x00FF);
    const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
    if constexpr (kShape.kind == ContrastArithmetic::Kind::Expand) {
        const __m256i lifted = kShape.nearEdge ? _mm256_adds_epu8(v, c.lift) : v;
        const __m256i above = _mm256_subs_epu8(lifted, c.drop);
        __m256i atOrBelow = _mm256_subs_epu8(c.reach, v);
        if constexpr (kShape.nearEdge) atOrBelow = _mm256_adds_epu8(atOrBelow, c.overflow);
        const __m256i d = _mm256_max_epu8(above, atOrBelow);
        const __m256i down = _mm256_cmpeq_epi8(d, atOrBelow);
        __m256i qUp, qDown;
        if constexpr (kShape.wide) {
            const __m256i zero = _mm256_setzero_si256();
            const __m256i first = _mm256_unpacklo_epi8(d, zero);
            const __m256i second = _mm256_unpackhi_epi8(d, zero);
            qUp = _mm256_packus_epi16(WideQuotients(first, c.whole[1], c.factor[1]),
                                      WideQuotients(second, c.whole[1], c.factor[1]));
            qDown = _mm256_packus_epi16(WideQuotients(first, c.whole[0], c.factor[0]),
                                        WideQuotients(second, c.whole[0], c.factor[0]));
        } else {
            const __m256i even = _mm256_and_si256(d, low);
            const __m256i odd = _mm256_and_si256(d, high);
            qUp = Quotients(even, odd, c.factor[1]);
            qDown = Quotients(even, odd, c.factor[0]);
        }
        return _mm256_blendv_epi8(_mm256_adds_epu8(v, qUp), _mm256_subs_epu8(v, qDown), down);
    } else {
        // q never passes the distance, so it is the distance's own side that moves the mean.
        const __m256i above = _mm256_subs_epu8(v, c.mean);
        const __m256i below = _mm256_subs_epu8(c.mean, v);
        const __m256i d = _mm256_or_si256(above, below);
        const __m256i q =
            Quotients(_mm256_and_si256(d, low), _mm256_and_si256(d, high), c.factor[1]);
        return _mm256_subs_epu8(_mm256_adds_epu8(c.mean, _mm256_min_epu8(q, above)),
                                _mm256_min_epu8(q, below));
    }
}

// Byte 3 of 32-bit pixels keeps its value. The registers start at a 32-byte boundary, the bytes
// before it taking the table: loads and stores that straddle cache lines would cost a quarter of
// the time.
template <ContrastShape kShape, int kBytes>
__attribute__((target("avx2"))) inline void ApplyArithmeticRun(const ContrastLanes& lanes,
                                                               const uint8_t* t, uint8_t* p,
                                                               size_t pixels) {
    const size_t n = pixels * kBytes;
    const ContrastLanes c = lanes;  // kept in registers across the stores
    size_t k = std::min(n, (32 - reinterpret_cast<uintptr_t>(p) % 32) % 32);
    ApplyToBytes(t, p, 0, k, kBytes);
    // Byte 3 of each pixel, as it falls in registers that start at byte k of the run.
    const __m256i kept = _mm256_set1_epi32(static_cast<int>(0xFF000000u >> (8 * (k % 4))));
#pragma GCC unroll 2
    for (; k + 32 <= n; k += 32) {
        __m256i* at = reinterpret_cast<__m256i*>(p + k);
        const __m256i v = _mm256_load_si256(at);
        const __m256i out = ContrastBytes<kShape>(c, v);
        _mm256_store_si256(at, kBytes == 4 ? _mm256_blendv_epi8(out, v, kept) : out);
    }
    ApplyToBytes(t, p, k, n, kBytes);
}

template <ContrastShape kShape>
__attribute__((target("avx2"))) inline void ApplyArithmeticRows(const ContrastLanes& lanes,
                                                                const ContrastTable& table,
                                                                const ContrastRows& rows) {
    ForEachRun(
        rows, [&](uint8_t * p, size_t pixels) __attribute__((target("avx2"))) {
            if (rows.bytes == 3) {
                ApplyArithmeticRun<kShape, 3>(lanes, table.entry, p, pixels);
            } else {
                ApplyArithmeticRun<kShape, 4>(lanes, table.entry, p, pixels);
            }
        });
}

// A masked row: the form's entries of every byte, each pixel whose mask byte is 0 keeping its
// own; 32 pixels of three bytes at a time (the mask's 32 bytes spread to three each), or eight of
// four bytes (byte 3 kept too).
template <ContrastShape kShape, int kBytes>
__attribute__((target("avx2"))) inline void ApplyMaskedRow(const ContrastLanes& lanes,
                                                           const uint8_t* t, uint8_t* row,
                                                           const uint8_t* mask, int32_t width) {
    const ContrastLanes c = lanes;  // kept in registers across the stores
    const __m256i zero = _mm256_setzero_si256();
    int32_t x = 0;
    uint8_t* p = row;
    if constexpr (kBytes == 3) {
        for (; x + 32 <= width; x += 32, p += 96) {
            const __m256i unmasked = _mm256_cmpeq_epi8(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + x)), zero);
            const Triplets kept = Spread(unmasked);
            for (int j = 0; j < 3; ++j) {
                __m256i* at = reinterpret_cast<__m256i*>(p + 32 * j);
                const __m256i v = _mm256_loadu_si256(at);
                _mm256_storeu_si256(at,
                                    _mm256_blendv_epi8(ContrastBytes<kShape>(c, v), v, kept.r[j]));
            }
        }
    } else {
        const __m256i byte3 = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
        for (; x + 8 <= width; x += 8, p += 32) {
            const __m256i pixelMask =
                _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(mask + x)));
            const __m256i kept = _mm256_or_si256(_mm256_cmpeq_epi32(pixelMask, zero), byte3);
            __m256i* at = reinterpret_cast<__m256i*>(p);
            const __m256i v = _mm256_loadu_si256(at);
            _mm256_storeu_si256(at, _mm256_blendv_epi8(ContrastBytes<kShape>(c, v), v, kept));
        }
    }
    ApplyToMaskedPixels(t, row, mask, x, width, kBytes);
}

template <ContrastShape kShape>
__attribute__((target("avx2"))) inline void ApplyMaskedRows(const ContrastLanes& lanes,
                                                            const ContrastTable& table,
                                                            const ContrastRows& rows) {
    for (int32_t y = 0; y < rows.height; ++y) {
        uint8_t* p = rows.base + static_cast<ptrdiff_t>(y) * rows.pitch;
        const uint8_t* m = rows.mask + static_cast<ptrdiff_t>(y) * rows.maskPitch;
        if (rows.bytes == 3) {
            ApplyMaskedRow<kShape, 3>(lanes, table.entry, p, m, rows.width);
        } else {
            ApplyMaskedRow<kShape, 4>(lanes, table.entry, p, m, rows.width);
        }
    }
}

__attribute__((target("avx2"))) inline void ApplyArithmeticRows(const ContrastArithmetic& form,
                                                                const ContrastTable& table,
                                                                const ContrastRows& rows) {
    const ContrastLanes lanes = LanesOf(form);
    if (rows.mask) {
        WithContrastShape(
            form, [&](auto shape) __attribute__((target("avx2"))) {
                ApplyMaskedRows<decltype(shape)::kValue>(lanes, table, rows);
            });
        return;
    }
    WithContrastShape(
        form, [&](auto shape) __attribute__((target("avx2"))) {
            ApplyArithmeticRows<decltype(shape)::kValue>(lanes, table, rows);
        });
}

}  // namespace gfx::avx2

namespace gfx {

__attribute__((target("avx2"))) inline ChannelSums SumChannelsAvx2(const ContrastRows& rows) {
    return rows.bytes == 3 ? avx2::SumChannelsOf<3>(rows) : avx2::SumChannelsOf<4>(rows);
}

__attribute__((target("avx2"))) inline MaskedChannelSums SumMaskedChannelsAvx2(
    const ContrastRows& rows) {
    return rows.bytes == 3 ? avx2::SumMaskedChannelsOf<3>(rows)
                           : avx2::SumMaskedChannelsOf<4>(rows);
}

__attribute__((target("avx2"))) inline void ApplyContrastRowsAvx2(const ContrastTable& table,
                                                                  const ContrastRows& rows) {
    if (rows.width <= 0 || rows.height <= 0) return;
    const ContrastArithmetic form = ContrastArithmeticOf(table);
    if (form.kind != ContrastArithmetic::Kind::Lookup) {
        avx2::ApplyArithmeticRows(form, table, rows);
        return;
    }
    // Found no form: the SSE2 body would search again.
    sse2::ApplyByLookup(table, rows);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
