#pragma once

// The channel mixes of the blend routines in SSE2, register by register. The table blends are
// done with 16-bit multiplies: a ChannelProductTable entry is 8 * v * w, so the sum of two entries
// is a product sum that 16-bit lanes hold exactly, and each mix keeps the same bits of it as the
// scalar blend keeps of the table sums. Weights come in 16-bit lanes, one per pixel (16-bit
// pixels) or repeated over the two lanes of a pixel (32-bit pixels); the weights of one lane never
// sum to more than 32 (table) or 256 (exact), which keeps every sum inside 16 bits.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

#include "graphics/core/channel_traits.h"

namespace gfx::sse2 {

// Per byte of s and d: ((s >> 3) * ws + (d >> 3) * wd) >> 2, a byte of at most 248 (the table
// blend of 8-8-8 channels). Each 16-bit lane's weights serve both of its bytes.
inline __m128i MixBytesByTable(__m128i s, __m128i d, __m128i ws, __m128i wd) {
    const __m128i top5 = _mm_set1_epi16(0x00F8);
    // 8 * (s >> 3) for the low and the high byte of each lane.
    const __m128i sLow = _mm_and_si128(s, top5);
    const __m128i sHigh = _mm_and_si128(_mm_srli_epi16(s, 8), top5);
    const __m128i dLow = _mm_and_si128(d, top5);
    const __m128i dHigh = _mm_and_si128(_mm_srli_epi16(d, 8), top5);
    // The two table entries' sum, at most 8 * 31 * 32 = 7936.
    const __m128i low = _mm_add_epi16(_mm_mullo_epi16(sLow, ws), _mm_mullo_epi16(dLow, wd));
    const __m128i high = _mm_add_epi16(_mm_mullo_epi16(sHigh, ws), _mm_mullo_epi16(dHigh, wd));
    // low >> 5 in the low byte, (high >> 5) << 8 in the high byte.
    return _mm_or_si128(_mm_srli_epi16(low, 5),
                        _mm_and_si128(_mm_slli_epi16(high, 3), _mm_set1_epi16(-256)));
}

// Per byte of s and d: (s * ws + d * wd) >> 8 with full 8-bit values (the exact blends).
inline __m128i MixBytesExact(__m128i s, __m128i d, __m128i ws, __m128i wd) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, lowBytes), ws),
                                      _mm_mullo_epi16(_mm_and_si128(d, lowBytes), wd));
    const __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 8), ws),
                                       _mm_mullo_epi16(_mm_srli_epi16(d, 8), wd));
    return _mm_or_si128(_mm_srli_epi16(low, 8), _mm_andnot_si128(lowBytes, high));
}

// Per byte of d: ((d >> 3) * w) >> 2, and d * w >> 8: the destination's share in premultiplied
// compositing.
inline __m128i ScaleBytesByTable(__m128i d, __m128i w) {
    return MixBytesByTable(_mm_setzero_si128(), d, _mm_setzero_si128(), w);
}
inline __m128i ScaleBytesExact(__m128i d, __m128i w) {
    return MixBytesExact(_mm_setzero_si128(), d, _mm_setzero_si128(), w);
}

// The table blend of eight 16-bit pixels in one of the 16-bit channel layouts: per channel
// floor((s_c * ws + d_c * wd) / 32), reassembled with every bit outside the channels 0. Each
// channel is multiplied where it lies, or moved down first where its product would not fit.
template <class C>
struct MixWords;

template <>
struct MixWords<Channels555> {
    static __m128i Mix(__m128i s, __m128i d, __m128i ws, __m128i wd) {
        // Bits 10-14: the high half of (c << 10) * (w << 6) is c * w.
        const __m128i hiMask = _mm_set1_epi16(0x7C00);
        const __m128i hi =
            _mm_add_epi16(_mm_mulhi_epu16(_mm_and_si128(s, hiMask), _mm_slli_epi16(ws, 6)),
                          _mm_mulhi_epu16(_mm_and_si128(d, hiMask), _mm_slli_epi16(wd, 6)));
        // Bits 5-9: (c << 5) * w fits, giving 32 * (c * w).
        const __m128i midMask = _mm_set1_epi16(0x03E0);
        const __m128i mid = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, midMask), ws),
                                          _mm_mullo_epi16(_mm_and_si128(d, midMask), wd));
        // Bits 0-4.
        const __m128i loMask = _mm_set1_epi16(0x001F);
        const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, loMask), ws),
                                         _mm_mullo_epi16(_mm_and_si128(d, loMask), wd));
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_slli_epi16(hi, 5), hiMask),
                                         _mm_and_si128(_mm_srli_epi16(mid, 5), midMask)),
                            _mm_srli_epi16(lo, 5));
    }
};

template <>
struct MixWords<Channels565> {
    static __m128i Mix(__m128i s, __m128i d, __m128i ws, __m128i wd) {
        // Bits 11-15, moved down to 0-4.
        const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 11), ws),
                                         _mm_mullo_epi16(_mm_srli_epi16(d, 11), wd));
        // Bits 6-10 (the top five of the 6-bit channel): (c << 6) * w fits, giving 64 * (c * w).
        const __m128i midMask = _mm_set1_epi16(0x07C0);
        const __m128i mid = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, midMask), ws),
                                          _mm_mullo_epi16(_mm_and_si128(d, midMask), wd));
        // Bits 0-4.
        const __m128i loMask = _mm_set1_epi16(0x001F);
        const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, loMask), ws),
                                         _mm_mullo_epi16(_mm_and_si128(d, loMask), wd));
        return _mm_or_si128(
            _mm_or_si128(_mm_and_si128(_mm_slli_epi16(hi, 6), _mm_set1_epi16(-2048)),
                         _mm_and_si128(_mm_srli_epi16(mid, 5), midMask)),
            _mm_srli_epi16(lo, 5));
    }
};

// Chooses a where `select` is set, b elsewhere.
inline __m128i Select(__m128i select, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(select, a), _mm_andnot_si128(select, b));
}

}  // namespace gfx::sse2

#endif  // __SSE2__
