#pragma once

// The channel mixes of channel_mix_sse2.h on 256-bit registers, lane for lane the same
// arithmetic (every operation works within 16-bit lanes), so the same exhaustive proof covers
// them. Compiled for AVX2 by function attributes in a baseline build; only called where the
// processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>

#include "graphics/core/channel_traits.h"

namespace gfx::blend_avx2 {

#define GFX_BLEND_AVX2 __attribute__((target("avx2"))) inline

GFX_BLEND_AVX2 __m256i MixBytesByTable(__m256i s, __m256i d, __m256i ws, __m256i wd) {
    const __m256i top5 = _mm256_set1_epi16(0x00F8);
    const __m256i sLow = _mm256_and_si256(s, top5);
    const __m256i sHigh = _mm256_and_si256(_mm256_srli_epi16(s, 8), top5);
    const __m256i dLow = _mm256_and_si256(d, top5);
    const __m256i dHigh = _mm256_and_si256(_mm256_srli_epi16(d, 8), top5);
    const __m256i low =
        _mm256_add_epi16(_mm256_mullo_epi16(sLow, ws), _mm256_mullo_epi16(dLow, wd));
    const __m256i high =
        _mm256_add_epi16(_mm256_mullo_epi16(sHigh, ws), _mm256_mullo_epi16(dHigh, wd));
    return _mm256_or_si256(_mm256_srli_epi16(low, 5),
                           _mm256_and_si256(_mm256_slli_epi16(high, 3), _mm256_set1_epi16(-256)));
}

GFX_BLEND_AVX2 __m256i MixBytesExact(__m256i s, __m256i d, __m256i ws, __m256i wd) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i low = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), ws),
                                         _mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), wd));
    const __m256i high = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 8), ws),
                                          _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), wd));
    return _mm256_or_si256(_mm256_srli_epi16(low, 8), _mm256_andnot_si256(lowBytes, high));
}

GFX_BLEND_AVX2 __m256i ScaleBytesByTable(__m256i d, __m256i w) {
    return MixBytesByTable(_mm256_setzero_si256(), d, _mm256_setzero_si256(), w);
}
GFX_BLEND_AVX2 __m256i ScaleBytesExact(__m256i d, __m256i w) {
    return MixBytesExact(_mm256_setzero_si256(), d, _mm256_setzero_si256(), w);
}

template <class C>
struct MixWords;

template <>
struct MixWords<Channels555> {
    GFX_BLEND_AVX2 static __m256i Mix(__m256i s, __m256i d, __m256i ws, __m256i wd) {
        const __m256i hiMask = _mm256_set1_epi16(0x7C00);
        const __m256i hi = _mm256_add_epi16(
            _mm256_mulhi_epu16(_mm256_and_si256(s, hiMask), _mm256_slli_epi16(ws, 6)),
            _mm256_mulhi_epu16(_mm256_and_si256(d, hiMask), _mm256_slli_epi16(wd, 6)));
        const __m256i midMask = _mm256_set1_epi16(0x03E0);
        const __m256i mid = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, midMask), ws),
                                             _mm256_mullo_epi16(_mm256_and_si256(d, midMask), wd));
        const __m256i loMask = _mm256_set1_epi16(0x001F);
        const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, loMask), ws),
                                            _mm256_mullo_epi16(_mm256_and_si256(d, loMask), wd));
        return _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(hi, 5), hiMask),
                            _mm256_and_si256(_mm256_srli_epi16(mid, 5), midMask)),
            _mm256_srli_epi16(lo, 5));
    }
};

template <>
struct MixWords<Channels565> {
    GFX_BLEND_AVX2 static __m256i Mix(__m256i s, __m256i d, __m256i ws, __m256i wd) {
        const __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 11), ws),
                                            _mm256_mullo_epi16(_mm256_srli_epi16(d, 11), wd));
        const __m256i midMask = _mm256_set1_epi16(0x07C0);
        const __m256i mid = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, midMask), ws),
                                             _mm256_mullo_epi16(_mm256_and_si256(d, midMask), wd));
        const __m256i loMask = _mm256_set1_epi16(0x001F);
        const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, loMask), ws),
                                            _mm256_mullo_epi16(_mm256_and_si256(d, loMask), wd));
        return _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(hi, 6), _mm256_set1_epi16(-2048)),
                            _mm256_and_si256(_mm256_srli_epi16(mid, 5), midMask)),
            _mm256_srli_epi16(lo, 5));
    }
};

}  // namespace gfx::blend_avx2

#endif  // GFX_HAVE_X86_TARGETS
