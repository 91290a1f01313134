#pragma once

// The SSE2 bodies of FillRows8, 16, 24 and 32, identical in result to the scalar ones: each row
// is one run of bytes written with aligned 16-byte stores between an unaligned first and last
// store that overlap them. A run's bytes repeat with the pixel size, so the stores take their
// bytes from one pattern of the value laid out pixel after pixel, read at the store's phase in
// it; 24-bit runs rotate through three vectors, 48 bytes being whole pixels again.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "graphics/raster/fill_rows.h"

namespace gfx::sse2 {

// The value's bytes pixel after pixel from the first byte of a pixel on: long enough for three
// 32-byte vectors read at any phase of a pixel.
struct FillPattern {
    static constexpr size_t kLength = 128;
    alignas(32) uint8_t bytes[kLength];
};

template <int kBytes>
inline FillPattern MakeFillPattern(uint32_t value) {
    FillPattern pattern;
    __m128i* out = reinterpret_cast<__m128i*>(pattern.bytes);
    if constexpr (kBytes == 3) {
        // Four pixels as three words, and the 48 bytes of sixteen pixels as three vectors.
        const uint32_t c = value & 0xFFFFFFu;
        const int w0 = static_cast<int>(c | c << 24);
        const int w1 = static_cast<int>(c >> 8 | c << 16);
        const int w2 = static_cast<int>(c >> 16 | c << 8);
        const __m128i v[3] = {_mm_setr_epi32(w0, w1, w2, w0), _mm_setr_epi32(w1, w2, w0, w1),
                              _mm_setr_epi32(w2, w0, w1, w2)};
        for (size_t k = 0; k < FillPattern::kLength / 16; ++k) _mm_store_si128(out + k, v[k % 3]);
    } else {
        const uint32_t word = kBytes == 1   ? (value & 0xFFu) * 0x01010101u
                              : kBytes == 2 ? (value & 0xFFFFu) * 0x00010001u
                                            : value;
        const __m128i v = _mm_set1_epi32(static_cast<int>(word));
        for (size_t k = 0; k < FillPattern::kLength / 16; ++k) _mm_store_si128(out + k, v);
    }
    return pattern;
}

// The pattern's byte offset that a store `offset` bytes into a run starts at.
template <int kBytes>
inline size_t PhaseAt(size_t offset) {
    return offset % kBytes;
}

inline __m128i Load16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store16(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// A run shorter than 16 bytes: two overlapping 8 or 4-byte stores, or single bytes.
template <int kBytes>
inline void FillShortRun(uint8_t* p, size_t n, const FillPattern& pattern) {
    const uint8_t* bytes = pattern.bytes;
    if (n >= 8) {
        std::memcpy(p, bytes, 8);
        std::memcpy(p + n - 8, bytes + PhaseAt<kBytes>(n - 8), 8);
    } else if (n >= 4) {
        std::memcpy(p, bytes, 4);
        std::memcpy(p + n - 4, bytes + PhaseAt<kBytes>(n - 4), 4);
    } else {
        for (size_t k = 0; k < n; ++k) p[k] = bytes[k];
    }
}

// A run of at least 16 bytes.
template <int kBytes>
inline void FillLongRun(uint8_t* p, size_t n, const FillPattern& pattern) {
    const uint8_t* bytes = pattern.bytes;
    uint8_t* const end = p + n;
    uint8_t* a = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(p) + 15) & ~uintptr_t{15});
    const uint8_t* from = bytes + PhaseAt<kBytes>(static_cast<size_t>(a - p));
    const __m128i v0 = Load16(from), v1 = Load16(from + 16), v2 = Load16(from + 32);
    Store16(p, Load16(bytes));
    for (; end - a >= 48; a += 48) {
        _mm_store_si128(reinterpret_cast<__m128i*>(a), v0);
        _mm_store_si128(reinterpret_cast<__m128i*>(a + 16), v1);
        _mm_store_si128(reinterpret_cast<__m128i*>(a + 32), v2);
    }
    if (end - a >= 16) {
        _mm_store_si128(reinterpret_cast<__m128i*>(a), v0);
        if (end - a >= 32) _mm_store_si128(reinterpret_cast<__m128i*>(a + 16), v1);
    }
    Store16(end - 16, Load16(bytes + PhaseAt<kBytes>(n - 16)));
}

template <int kBytes>
inline void FillRun(uint8_t* p, size_t n, const FillPattern& pattern) {
    if (n >= 16) {
        FillLongRun<kBytes>(p, n, pattern);
    } else {
        FillShortRun<kBytes>(p, n, pattern);
    }
}

// The rows of `area` as runs of bytes, `count` of them `step` bytes apart. Rows that follow each
// other without a gap (the area spans the whole pitch) are one run.
struct FillRuns {
    uint8_t* first = nullptr;
    size_t length = 0;
    int32_t count = 0;
    ptrdiff_t step = 0;
};

template <int kBytes>
inline FillRuns RunsOf(uint8_t* base, int32_t pitch, const FillArea& area) {
    if (area.width <= 0 || area.height <= 0) return {};
    FillRuns runs;
    runs.first = base + static_cast<ptrdiff_t>(area.y) * pitch +
                 static_cast<ptrdiff_t>(area.x) * kBytes;
    runs.length = static_cast<size_t>(area.width) * kBytes;
    runs.count = area.height;
    runs.step = pitch;
    if (pitch > 0 && static_cast<size_t>(pitch) == runs.length) {
        runs.length *= static_cast<size_t>(area.height);
        runs.count = 1;
    }
    return runs;
}

}  // namespace gfx::sse2

namespace gfx {

template <int kBytes>
void FillRowsSse2(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value) {
    const sse2::FillPattern pattern = sse2::MakeFillPattern<kBytes>(value);
    const sse2::FillRuns runs = sse2::RunsOf<kBytes>(base, pitch, area);
    uint8_t* p = runs.first;
    for (int32_t i = 0; i < runs.count; ++i, p += runs.step) {
        sse2::FillRun<kBytes>(p, runs.length, pattern);
    }
}

}  // namespace gfx

#endif  // __SSE2__
