#pragma once

// Building blocks of the SSE2 blit bodies: pixel lanes of one 128-bit register, row copies and
// the overlap test that sends same-surface blits back to the scalar walks. Only compiled where
// SSE2 is available (every x86-64 build; 32-bit builds use -msse2).
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "graphics/core/pixel_traits.h"

namespace gfx::sse2 {

inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Reverses the order of the 16-bit words of a register.
inline __m128i ReverseWords(__m128i v) {
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
    return _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2));
}

// Swaps the two bytes of every 16-bit word.
inline __m128i SwapBytePairs(__m128i v) {
    return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}

// One register as 16 pixels of 8 bits, 8 of 16 bits or 4 of 32 bits. `Mask` widens a byte mask
// (0 or 0xFF in each of the first kLanes bytes) to whole lanes; `LoadMaskBytes` reads the kLanes
// mask bytes that belong to the lanes, reversed for mirrored rows, without reading past them.
struct Lanes8 {
    using Pixel = Pixel8;
    static constexpr int kLanes = 16;
    static __m128i Splat(uint32_t key) { return _mm_set1_epi8(static_cast<char>(key)); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
    static __m128i Reverse(__m128i v) { return ReverseWords(SwapBytePairs(v)); }
    static __m128i Widen(__m128i bytes) { return bytes; }
    static __m128i LoadMaskBytes(const uint8_t* p, bool reversed) {
        const __m128i v = Load(p);
        return reversed ? Reverse(v) : v;
    }
};

struct Lanes16 {
    using Pixel = Pixel16;
    static constexpr int kLanes = 8;
    static __m128i Splat(uint32_t key) { return _mm_set1_epi16(static_cast<short>(key)); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi16(a, b); }
    static __m128i Reverse(__m128i v) { return ReverseWords(v); }
    static __m128i Widen(__m128i bytes) { return _mm_unpacklo_epi8(bytes, bytes); }
    static __m128i LoadMaskBytes(const uint8_t* p, bool reversed) {
        uint64_t bytes;
        std::memcpy(&bytes, p, sizeof bytes);
        if (reversed) bytes = __builtin_bswap64(bytes);
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&bytes));
    }
};

struct Lanes32 {
    using Pixel = Pixel32;
    static constexpr int kLanes = 4;
    static __m128i Splat(uint32_t key) { return _mm_set1_epi32(static_cast<int>(key)); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }
    static __m128i Reverse(__m128i v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)); }
    static __m128i Widen(__m128i bytes) {
        const __m128i words = _mm_unpacklo_epi8(bytes, bytes);
        return _mm_unpacklo_epi16(words, words);
    }
    static __m128i LoadMaskBytes(const uint8_t* p, bool reversed) {
        uint32_t bytes;
        std::memcpy(&bytes, p, sizeof bytes);
        if (reversed) bytes = __builtin_bswap32(bytes);
        return _mm_cvtsi32_si128(static_cast<int>(bytes));
    }
};

// The register lanes of each pixel size that fills whole lanes.
template <class P>
struct LanesOf;
template <>
struct LanesOf<Pixel8> {
    using type = Lanes8;
};
template <>
struct LanesOf<Pixel16> {
    using type = Lanes16;
};
template <>
struct LanesOf<Pixel32> {
    using type = Lanes32;
};

// Copies n bytes; the blocks never reach outside [s, s + n) or [d, d + n), and the two ranges
// must not overlap. Short rows move in a few overlapping scalar pieces, long rows in 16-byte
// blocks with the stores aligned after the first.
inline void CopyBytes(uint8_t* d, const uint8_t* s, size_t n) {
    if (n < 16) {
        if (n >= 8) {
            uint64_t a, b;
            std::memcpy(&a, s, 8);
            std::memcpy(&b, s + n - 8, 8);
            std::memcpy(d, &a, 8);
            std::memcpy(d + n - 8, &b, 8);
        } else if (n >= 4) {
            uint32_t a, b;
            std::memcpy(&a, s, 4);
            std::memcpy(&b, s + n - 4, 4);
            std::memcpy(d, &a, 4);
            std::memcpy(d + n - 4, &b, 4);
        } else {
            for (size_t k = 0; k < n; ++k) d[k] = s[k];
        }
        return;
    }
    const __m128i last = Load(s + n - 16);
    const size_t head = (16 - (reinterpret_cast<uintptr_t>(d) & 15)) & 15;
    Store(d, Load(s));
    size_t k = head;
    for (; k + 64 <= n; k += 64) {
        const __m128i a = Load(s + k);
        const __m128i b = Load(s + k + 16);
        const __m128i c = Load(s + k + 32);
        const __m128i e = Load(s + k + 48);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + k), a);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + k + 16), b);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + k + 32), c);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + k + 48), e);
    }
    for (; k + 16 <= n; k += 16) {
        _mm_store_si128(reinterpret_cast<__m128i*>(d + k), Load(s + k));
    }
    Store(d + n - 16, last);
}

// Copies `height` rows of `rowBytes` bytes each.
inline void CopyRows(uint8_t* dst, int32_t dstPitch, const uint8_t* src, int32_t srcPitch,
                     size_t rowBytes, int32_t height) {
    for (int32_t i = 0; i < height; ++i) {
        CopyBytes(dst + static_cast<ptrdiff_t>(i) * dstPitch,
                  src + static_cast<ptrdiff_t>(i) * srcPitch, rowBytes);
    }
}

// The addresses from the first pixel of a block of rows to the last, whichever way the pitch
// runs: [lo, hi).
struct ByteRange {
    uintptr_t lo;
    uintptr_t hi;

    ByteRange(const uint8_t* base, int32_t pitch, int32_t x, int32_t y, int32_t width,
              int32_t height, int bytesPerPixel) {
        const uintptr_t first = reinterpret_cast<uintptr_t>(base) +
                                static_cast<ptrdiff_t>(y) * pitch +
                                static_cast<ptrdiff_t>(x) * bytesPerPixel;
        const ptrdiff_t rows = static_cast<ptrdiff_t>(height - 1) * pitch;
        const uintptr_t rowBytes = static_cast<uintptr_t>(width) * bytesPerPixel;
        lo = rows < 0 ? first + rows : first;
        hi = (rows < 0 ? first : first + rows) + rowBytes;
    }
    bool Overlaps(const ByteRange& other) const { return lo < other.hi && other.lo < hi; }
};

// Whether the destination rows and the source rows of a blit share memory. The vector bodies
// read and write whole registers ahead of the scalar order, so such blits (one surface onto
// itself) take the scalar walk and its defined left-to-right result.
inline bool RowsOverlap(const uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                        const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                        int32_t width, int32_t height, int bytesPerPixel) {
    return ByteRange(dst, dstPitch, dx, dy, width, height, bytesPerPixel)
        .Overlaps(ByteRange(src, srcPitch, sx, sy, width, height, bytesPerPixel));
}

}  // namespace gfx::sse2

#endif  // __SSE2__
