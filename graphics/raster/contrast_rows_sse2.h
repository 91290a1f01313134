#pragma once

// The SSE2 bodies of SumChannels and ApplyContrastRows, identical in result to the scalar ones.
//
// Sums: bytes are widened to 16-bit lanes and added lane by lane, each lane always holding the
// same channel (a 24-bit row's channels repeat every 48 bytes, so it takes blocks of three
// registers); the lanes are moved into 64-bit sums before they could overflow. Pixels after the
// last whole block of a row are summed one by one.
//
// Applying the table: a 256-entry lookup has no SSE2 form. Tables that ContrastArithmeticOf can
// compute (those MakeContrastTable gives for the usual amounts) are computed sixteen bytes at a
// time: the distances by saturating byte operations, q by 16-bit multiplies of the even and of
// the odd bytes. Other tables halve the lookups instead: a pair table maps two adjacent bytes at
// once (entry b0 | b1 << 8 holds T[b0] | T[b1] << 8), built by SSE2 interleaves once per call.
// It pays on large pictures only; small ones, masked ones and a pair table that gets no memory
// take the scalar body.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "graphics/raster/contrast_arithmetic.h"
#include "graphics/raster/contrast_rows.h"

namespace gfx::sse2 {

// Byte i of register j of a block is channel (16 * j + i) % bytes: after widening to 16-bit
// lanes, lane l of half h of register j is byte 16 * j + 8 * h + l. The lanes add up in 16 bits
// for up to 257 blocks (255 * 257 = 65535) before they are moved into the 64-bit sums; the
// blocks between two moves are one loop, so that the lanes stay in registers.
template <int kBytes>
inline void AddLanes(const __m128i* lanes, ChannelSums* sums) {
    constexpr int kRegisters = kBytes == 3 ? 3 : 1;
    for (int r = 0; r < 2 * kRegisters; ++r) {
        alignas(16) uint16_t words[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(words), lanes[r]);
        for (int l = 0; l < 8; ++l) {
            const int channel = (8 * r + l) % kBytes;
            if (channel < 3) sums->sum[channel] += words[l];
        }
    }
}

template <int kBytes>
inline ChannelSums SumChannelsOf(const ContrastRows& rows) {
    constexpr int kRegisters = kBytes == 3 ? 3 : 1;
    constexpr int kBlock = 16 * kRegisters;
    constexpr int kBlockPixels = kBlock / kBytes;
    constexpr int32_t kFlushBlocks = 257;
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes[2 * kRegisters];
    for (__m128i& l : lanes) l = zero;
    int32_t pending = 0;
    ChannelSums sums{{0, 0, 0}};
    for (int32_t y = 0; y < rows.height; ++y) {
        const uint8_t* p = rows.base + static_cast<ptrdiff_t>(y) * rows.pitch;
        int32_t blocks = rows.width / kBlockPixels;
        while (blocks > 0) {
            const int32_t run = blocks < kFlushBlocks - pending ? blocks : kFlushBlocks - pending;
            for (int32_t b = 0; b < run; ++b, p += kBlock) {
#pragma GCC unroll 3
                for (int j = 0; j < kRegisters; ++j) {
                    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
                    lanes[2 * j] = _mm_add_epi16(lanes[2 * j], _mm_unpacklo_epi8(v, zero));
                    lanes[2 * j + 1] = _mm_add_epi16(lanes[2 * j + 1], _mm_unpackhi_epi8(v, zero));
                }
            }
            blocks -= run;
            pending += run;
            if (pending == kFlushBlocks) {
                AddLanes<kBytes>(lanes, &sums);
                for (__m128i& l : lanes) l = zero;
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

// T[b0] | T[b1] << 8 at b0 | b1 << 8.
struct ContrastPairTable {
    uint16_t entry[65536];
};

inline void BuildPairTable(const ContrastTable& table, ContrastPairTable* pairs) {
    __m128i low[16];
    for (int k = 0; k < 16; ++k) {
        low[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.entry + 16 * k));
    }
    __m128i* out = reinterpret_cast<__m128i*>(pairs->entry);
    for (int high = 0; high < 256; ++high) {
        const __m128i h = _mm_set1_epi8(static_cast<char>(table.entry[high]));
        for (int k = 0; k < 16; ++k, out += 2) {
            _mm_storeu_si128(out, _mm_unpacklo_epi8(low[k], h));
            _mm_storeu_si128(out + 1, _mm_unpackhi_epi8(low[k], h));
        }
    }
}

// Every byte of a 24-bit row is a colour byte: eight at a time as four pairs.
inline void ApplyPairsToBytes(const ContrastPairTable& pairs, const uint8_t* t, uint8_t* p,
                              size_t n) {
    const uint16_t* e = pairs.entry;
    size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        uint64_t v;
        std::memcpy(&v, p + k, 8);
        const uint64_t out = uint64_t{e[v & 0xFFFF]} | uint64_t{e[(v >> 16) & 0xFFFF]} << 16 |
                             uint64_t{e[(v >> 32) & 0xFFFF]} << 32 | uint64_t{e[v >> 48]} << 48;
        std::memcpy(p + k, &out, 8);
    }
    for (; k < n; ++k) p[k] = t[p[k]];
}

// 32-bit pixels, two at a time: bytes 0 and 1 as a pair, byte 2 by the table, byte 3 kept.
inline void ApplyPairsToPixels32(const ContrastPairTable& pairs, const uint8_t* t, uint8_t* p,
                                 size_t pixels) {
    const uint16_t* e = pairs.entry;
    size_t x = 0;
    for (; x + 2 <= pixels; x += 2, p += 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        const uint64_t out = uint64_t{e[v & 0xFFFF]} | uint64_t{t[(v >> 16) & 0xFF]} << 16 |
                             uint64_t{e[(v >> 32) & 0xFFFF]} << 32 |
                             uint64_t{t[(v >> 48) & 0xFF]} << 48 | (v & 0xFF000000FF000000u);
        std::memcpy(p, &out, 8);
    }
    if (x < pixels) {
        p[0] = t[p[0]];
        p[1] = t[p[1]];
        p[2] = t[p[2]];
    }
}

// The constants of a ContrastArithmetic in lanes: each factor's low 16 bits, and the whole part
// of a wide one.
struct ContrastLanes {
    __m128i mean, factor[2], whole[2];
    __m128i lift, drop, reach, overflow;  // of an expansion, as bytes
};

inline ContrastLanes LanesOf(const ContrastArithmetic& form) {
    const auto bytes = [](uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); };
    const ExpansionConstants e = ExpansionConstantsOf(form.mean);
    ContrastLanes lanes;
    lanes.mean = bytes(form.mean);
    for (int side = 0; side < 2; ++side) {
        lanes.factor[side] = _mm_set1_epi16(static_cast<short>(form.factor[side] & 0xFFFF));
        lanes.whole[side] = _mm_set1_epi16(static_cast<short>(form.factor[side] >> 16));
    }
    lanes.lift = bytes(e.lift);
    lanes.drop = bytes(e.drop);
    lanes.reach = bytes(e.reach);
    lanes.overflow = bytes(e.overflow);
    return lanes;
}

// q of each byte's distance by one factor, as bytes: the even bytes' distances stand alone in
// their words, so their q is the low byte of the product's high half; the odd ones keep their
// place in the high byte, and so does their q.
inline __m128i Quotients(__m128i even, __m128i odd, __m128i factor) {
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    return _mm_or_si128(_mm_mulhi_epu16(even, factor),
                        _mm_and_si128(_mm_mulhi_epu16(odd, factor), high));
}

// q of each byte's distance by a wide factor, as bytes saturated: the distances widened to words
// by halves, which packing puts back in their places.
inline __m128i WideQuotients(__m128i first, __m128i second, __m128i whole, __m128i fraction) {
    const auto q = [&](__m128i d) {
        return _mm_add_epi16(_mm_mullo_epi16(d, whole), _mm_mulhi_epu16(d, fraction));
    };
    return _mm_packus_epi16(q(first), q(second));
}

// The form's entries of sixteen bytes, as in the AVX2 body.
template <ContrastShape kShape>
inline __m128i ContrastBytes(const ContrastLanes& c, __m128i v) {
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    if constexpr (kShape.kind == ContrastArithmetic::Kind::Expand) {
        const __m128i lifted = kShape.nearEdge ? _mm_adds_epu8(v, c.lift) : v;
        const __m128i above = _mm_subs_epu8(lifted, c.drop);
        __m128i atOrBelow = _mm_subs_epu8(c.reach, v);
        if constexpr (kShape.nearEdge) atOrBelow = _mm_adds_epu8(atOrBelow, c.overflow);
        const __m128i d = _mm_max_epu8(above, atOrBelow);
        const __m128i down = _mm_cmpeq_epi8(d, atOrBelow);
        __m128i qUp, qDown;
        if constexpr (kShape.wide) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i first = _mm_unpacklo_epi8(d, zero);
            const __m128i second = _mm_unpackhi_epi8(d, zero);
            qUp = WideQuotients(first, second, c.whole[1], c.factor[1]);
            qDown = WideQuotients(first, second, c.whole[0], c.factor[0]);
        } else {
            const __m128i even = _mm_and_si128(d, low);
            const __m128i odd = _mm_and_si128(d, high);
            qUp = Quotients(even, odd, c.factor[1]);
            qDown = Quotients(even, odd, c.factor[0]);
        }
        const __m128i up = _mm_adds_epu8(v, qUp);
        const __m128i downValue = _mm_subs_epu8(v, qDown);
        return _mm_or_si128(_mm_and_si128(down, downValue), _mm_andnot_si128(down, up));
    } else {
        // q never passes the distance, so it is the distance's own side that moves the mean.
        const __m128i above = _mm_subs_epu8(v, c.mean);
        const __m128i below = _mm_subs_epu8(c.mean, v);
        const __m128i d = _mm_or_si128(above, below);
        const __m128i q = Quotients(_mm_and_si128(d, low), _mm_and_si128(d, high), c.factor[1]);
        return _mm_subs_epu8(_mm_adds_epu8(c.mean, _mm_min_epu8(q, above)), _mm_min_epu8(q, below));
    }
}

// A run of `pixels` pixels of `bytes` bytes through the form, byte 3 of 32-bit pixels kept; the
// bytes after the last whole block take the table.
template <ContrastShape kShape>
inline void ApplyArithmeticRun(const ContrastLanes& c, const uint8_t* t, uint8_t* p, size_t pixels,
                               int32_t bytes) {
    const size_t n = pixels * static_cast<size_t>(bytes);
    const __m128i keep = bytes == 4 ? _mm_set1_epi32(0x00FFFFFF) : _mm_set1_epi8(-1);
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        __m128i* at = reinterpret_cast<__m128i*>(p + k);
        const __m128i v = _mm_loadu_si128(at);
        const __m128i out = ContrastBytes<kShape>(c, v);
        _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(keep, out), _mm_andnot_si128(keep, v)));
    }
    ApplyToBytes(t, p, k, n, bytes);
}

// Pictures of fewer pixels than this apply the table directly: building the pair table costs
// about what a lookup walk over this many pixels does.
inline constexpr uint64_t kPairTablePixels = uint64_t{1} << 17;

// The rows through a form that is not Kind::Lookup.
inline void ApplyArithmeticRows(const ContrastArithmetic& form, const ContrastTable& table,
                                const ContrastRows& rows) {
    const ContrastLanes lanes = LanesOf(form);
    WithContrastShape(form, [&](auto shape) {
        ForEachRun(rows, [&](uint8_t* p, size_t pixels) {
            ApplyArithmeticRun<decltype(shape)::kValue>(lanes, table.entry, p, pixels, rows.bytes);
        });
    });
}

// The rows by lookups: through the pair table on large unmasked pictures, else the scalar body.
inline void ApplyByLookup(const ContrastTable& table, const ContrastRows& rows) {
    const uint64_t pixels = uint64_t(rows.width) * uint64_t(rows.height);
    std::unique_ptr<ContrastPairTable> pairs;
    if (!rows.mask && pixels >= kPairTablePixels) pairs.reset(new (std::nothrow) ContrastPairTable);
    if (!pairs) {
        ApplyContrastRows(table, rows);
        return;
    }
    BuildPairTable(table, pairs.get());
    ForEachRun(rows, [&](uint8_t* p, size_t runPixels) {
        if (rows.bytes == 3) {
            ApplyPairsToBytes(*pairs, table.entry, p, runPixels * 3);
        } else {
            ApplyPairsToPixels32(*pairs, table.entry, p, runPixels);
        }
    });
}

}  // namespace gfx::sse2

namespace gfx {

inline void ApplyContrastRowsSse2(const ContrastTable& table, const ContrastRows& rows) {
    if (rows.width <= 0 || rows.height <= 0) return;
    if (!rows.mask) {
        const ContrastArithmetic form = ContrastArithmeticOf(table);
        if (form.kind != ContrastArithmetic::Kind::Lookup) {
            sse2::ApplyArithmeticRows(form, table, rows);
            return;
        }
    }
    sse2::ApplyByLookup(table, rows);
}

inline ChannelSums SumChannelsSse2(const ContrastRows& rows) {
    return rows.bytes == 3 ? sse2::SumChannelsOf<3>(rows) : sse2::SumChannelsOf<4>(rows);
}

}  // namespace gfx

#endif  // __SSE2__
