#pragma once

// The AVX2 bodies of SumChannels and ApplyContrastRows, identical in result to the scalar ones.
// Sums: sixteen bytes at a time widened to 16-bit lanes by the load itself, each lane always
// holding one channel (24-bit rows repeat every 48 bytes, three registers), moved into the 64-bit
// sums before they could overflow. Applying: the arithmetic form on 32 bytes at a time, an
// expansion weighing every distance by both sides' factors; tables that have no arithmetic form,
// and masked rows, take the SSE2 body's lookups. Compiled for AVX2 by a function attribute in a
// baseline build and only called where the processor has AVX2.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/raster/contrast_arithmetic.h"
#include "graphics/raster/contrast_rows.h"
#include "graphics/raster/contrast_rows_sse2.h"

namespace gfx::avx2 {

// A block is three registers of 24-bit pixels (their channels repeat every 48 bytes) or four of
// 32-bit ones (four chains of additions rather than one). Word l of register j of a block is
// byte 16 * j + l, channel (16 * j + l) % bytes.
template <int kBytes>
inline constexpr int kSumRegisters = kBytes == 3 ? 3 : 4;

template <int kBytes>
__attribute__((target("avx2"))) inline void AddLanes(const __m256i* lanes, ChannelSums* sums) {
    for (int j = 0; j < kSumRegisters<kBytes>; ++j) {
        alignas(32) uint16_t words[16];
        _mm256_store_si256(reinterpret_cast<__m256i*>(words), lanes[j]);
        for (int l = 0; l < 16; ++l) {
            const int channel = (16 * j + l) % kBytes;
            if (channel < 3) sums->sum[channel] += words[l];
        }
    }
}

// The lanes add up in 16 bits for 257 blocks (255 * 257 = 65535).
template <int kBytes>
__attribute__((target("avx2"))) inline ChannelSums SumChannelsOf(const ContrastRows& rows) {
    constexpr int kRegisters = kSumRegisters<kBytes>;
    constexpr int kBlock = 16 * kRegisters;
    constexpr int kBlockPixels = kBlock / kBytes;
    constexpr int32_t kFlushBlocks = 257;
    ChannelSums sums{{0, 0, 0}};
    __m256i lanes[kRegisters];
    for (__m256i& l : lanes) l = _mm256_setzero_si256();
    int32_t pending = 0;
    for (int32_t y = 0; y < rows.height; ++y) {
        const uint8_t* p = rows.base + static_cast<ptrdiff_t>(y) * rows.pitch;
        int32_t blocks = rows.width / kBlockPixels;
        while (blocks > 0) {
            const int32_t run = blocks < kFlushBlocks - pending ? blocks : kFlushBlocks - pending;
            for (int32_t b = 0; b < run; ++b, p += kBlock) {
#pragma GCC unroll 4
                for (int j = 0; j < kRegisters; ++j) {
                    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
                    lanes[j] = _mm256_add_epi16(lanes[j], _mm256_cvtepu8_epi16(v));
                }
            }
            blocks -= run;
            pending += run;
            if (pending == kFlushBlocks) {
                AddLanes<kBytes>(lanes, &sums);
                for (__m256i& l : lanes) l = _mm256_setzero_si256();
                pending = 0;
            }
        }
        for (int32_t x = rows.width / kBlockPixels * kBlockPixels; x < rows.width;
             ++x, p += kBytes) {
            sums.sum[0] += p[0];
            sums.sum[1] += p[1];
            sums.sum[2] += p[2];
        }
    }
    AddLanes<kBytes>(lanes, &sums);
    return sums;
}

// The constants of a ContrastArithmetic in 16-bit lanes.
struct ContrastLanes {
    __m256i mean, factor[2], offset[2];
};

__attribute__((target("avx2"))) inline ContrastLanes LanesOf(const ContrastArithmetic& form) {
    ContrastLanes lanes;
    lanes.mean = _mm256_set1_epi8(static_cast<char>(form.mean));
    for (int side = 0; side < 2; ++side) {
        lanes.factor[side] = _mm256_set1_epi16(static_cast<short>(form.factor[side]));
        lanes.offset[side] = _mm256_set1_epi16(static_cast<short>(form.offset[side]));
    }
    return lanes;
}

// q of each byte's distance by one side's factor and offset, as bytes: the distances of the
// even bytes sit in the high byte of their words, the odd ones' where they are, and q is the
// high byte of each word of the sum, moved down for the even bytes.
template <bool kOffset>
__attribute__((target("avx2"))) inline __m256i Quotients(__m256i even, __m256i odd, __m256i factor,
                                                         __m256i offset) {
    __m256i qEven = _mm256_mulhi_epu16(even, factor);
    __m256i qOdd = _mm256_mulhi_epu16(odd, factor);
    if constexpr (kOffset) {
        qEven = _mm256_adds_epu16(qEven, offset);
        qOdd = _mm256_adds_epu16(qOdd, offset);
    }
    return _mm256_blendv_epi8(_mm256_srli_epi16(qEven, 8), qOdd,
                              _mm256_set1_epi16(static_cast<short>(0xFF00)));
}

// The form's entries of 32 bytes. Expanding, every distance is taken by both sides' factors and
// each byte keeps its own side's result: two more multiplies cost less than choosing a factor
// and an offset for every 16-bit lane.
template <ContrastArithmetic::Kind kKind>
__attribute__((target("avx2"))) inline __m256i ContrastBytes(const ContrastLanes& c, __m256i v) {
    const __m256i above = _mm256_subs_epu8(v, c.mean);
    const __m256i d = _mm256_or_si256(above, _mm256_subs_epu8(c.mean, v));
    const __m256i atOrBelow = _mm256_cmpeq_epi8(above, _mm256_setzero_si256());
    const __m256i even = _mm256_slli_epi16(d, 8);
    const __m256i odd = _mm256_and_si256(d, _mm256_set1_epi16(static_cast<short>(0xFF00)));
    if constexpr (kKind == ContrastArithmetic::Kind::Expand) {
        const __m256i up = Quotients<true>(even, odd, c.factor[1], c.offset[1]);
        const __m256i down = Quotients<true>(even, odd, c.factor[0], c.offset[0]);
        return _mm256_blendv_epi8(_mm256_adds_epu8(v, up), _mm256_subs_epu8(v, down), atOrBelow);
    } else {
        const __m256i q = Quotients<false>(even, odd, c.factor[1], c.offset[1]);
        return _mm256_blendv_epi8(_mm256_adds_epu8(c.mean, q), _mm256_subs_epu8(c.mean, q),
                                  atOrBelow);
    }
}

// Byte 3 of 32-bit pixels keeps its value.
template <ContrastArithmetic::Kind kKind, int kBytes>
__attribute__((target("avx2"))) inline void ApplyArithmeticRun(const ContrastLanes& lanes,
                                                               const uint8_t* t, uint8_t* p,
                                                               size_t pixels) {
    const size_t n = pixels * kBytes;
    const ContrastLanes c = lanes;  // kept in registers across the stores
    const __m256i kept = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    size_t k = 0;
    for (; k + 32 <= n; k += 32) {
        __m256i* at = reinterpret_cast<__m256i*>(p + k);
        const __m256i v = _mm256_loadu_si256(at);
        const __m256i out = ContrastBytes<kKind>(c, v);
        _mm256_storeu_si256(at, kBytes == 4 ? _mm256_blendv_epi8(out, v, kept) : out);
    }
    for (; k < n; ++k) {
        if (kBytes == 3 || k % 4 != 3) p[k] = t[p[k]];
    }
}

template <ContrastArithmetic::Kind kKind>
__attribute__((target("avx2"))) inline void ApplyArithmeticRun(const ContrastLanes& c,
                                                               const uint8_t* t, uint8_t* p,
                                                               size_t pixels, int32_t bytes) {
    if (bytes == 3) {
        ApplyArithmeticRun<kKind, 3>(c, t, p, pixels);
    } else {
        ApplyArithmeticRun<kKind, 4>(c, t, p, pixels);
    }
}

__attribute__((target("avx2"))) inline void ApplyArithmeticRows(const ContrastArithmetic& form,
                                                                const ContrastTable& table,
                                                                const ContrastRows& rows) {
    const ContrastLanes lanes = LanesOf(form);
    ForEachRun(
        rows, [&](uint8_t * p, size_t pixels) __attribute__((target("avx2"))) {
            if (form.kind == ContrastArithmetic::Kind::Compress) {
                ApplyArithmeticRun<ContrastArithmetic::Kind::Compress>(lanes, table.entry, p,
                                                                       pixels, rows.bytes);
            } else {
                ApplyArithmeticRun<ContrastArithmetic::Kind::Expand>(lanes, table.entry, p, pixels,
                                                                     rows.bytes);
            }
        });
}

}  // namespace gfx::avx2

namespace gfx {

__attribute__((target("avx2"))) inline ChannelSums SumChannelsAvx2(const ContrastRows& rows) {
    return rows.bytes == 3 ? avx2::SumChannelsOf<3>(rows) : avx2::SumChannelsOf<4>(rows);
}

__attribute__((target("avx2"))) inline void ApplyContrastRowsAvx2(const ContrastTable& table,
                                                                  const ContrastRows& rows) {
    if (rows.width <= 0 || rows.height <= 0) return;
    if (!rows.mask) {
        const ContrastArithmetic form = ContrastArithmeticOf(table);
        if (form.kind != ContrastArithmetic::Kind::Lookup) {
            avx2::ApplyArithmeticRows(form, table, rows);
            return;
        }
    }
    // Found no form: the SSE2 body would search again.
    sse2::ApplyByLookup(table, rows);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
