#pragma once

// The AVX2 form of the unscaled keyed, stipple and mask-stipple walk for 8, 16 and 32-bit pixels:
// the SSE2 walk's rule on 256-bit registers (32, 16 or 8 pixels), a lane written where the
// pattern or mask admits it and the keys allow it. A keyed register that is drawn whole is stored
// without reading the destination, one that is refused whole is not touched. The last
// 0 to kLanes - 1 pixels of a row take the scalar rule. Compiled for AVX2 by function attributes
// in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"
#include "graphics/core/stipple_thresholds.h"

namespace gfx::avx2 {

using sse2::Admission;

#define GFX_AVX2_FN __attribute__((target("avx2"))) static inline

__attribute__((target("avx2"))) inline __m256i Load(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
__attribute__((target("avx2"))) inline void Store(uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Sixteen bytes in reverse order.
__attribute__((target("avx2"))) inline __m128i ReverseBytes128(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0));
}

// One register as 32 pixels of 8 bits, 16 of 16 bits or 8 of 32 bits. `Widen` turns one byte
// per pixel (0 or 0xFF; the first kLanes bytes of a register, or all 32 for 8-bit pixels) into
// whole lanes; `MaskBytes` reads the kLanes mask bytes of the lanes, reversed for mirrored rows.
struct Lanes8 {
    using Pixel = Pixel8;
    using Bytes = __m256i;
    static constexpr int kLanes = 32;
    GFX_AVX2_FN __m256i Splat(uint32_t key) { return _mm256_set1_epi8(static_cast<char>(key)); }
    GFX_AVX2_FN __m256i Equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi8(a, b); }
    GFX_AVX2_FN __m256i Reverse(__m256i v) {
        const __m256i inLane = _mm256_shuffle_epi8(
            v, _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13,
                                12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0));
        return _mm256_permute4x64_epi64(inLane, _MM_SHUFFLE(1, 0, 3, 2));
    }
    GFX_AVX2_FN __m256i MaskBytes(const uint8_t* p, bool reversed) {
        const __m256i v = Load(p);
        return reversed ? Reverse(v) : v;
    }
    GFX_AVX2_FN __m256i Widen(__m256i bytes) { return bytes; }
    GFX_AVX2_FN __m256i Quarters(__m256i m) {
        return _mm256_and_si256(_mm256_srli_epi16(m, 2), _mm256_set1_epi8(0x3F));
    }
    GFX_AVX2_FN __m256i AtLeast(__m256i q, __m256i least) {
        return _mm256_cmpeq_epi8(_mm256_max_epu8(q, least), q);
    }
};

struct Lanes16 {
    using Pixel = Pixel16;
    using Bytes = __m128i;
    static constexpr int kLanes = 16;
    GFX_AVX2_FN __m256i Splat(uint32_t key) { return _mm256_set1_epi16(static_cast<short>(key)); }
    GFX_AVX2_FN __m256i Equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi16(a, b); }
    GFX_AVX2_FN __m256i Reverse(__m256i v) {
        const __m256i inLane = _mm256_shuffle_epi8(
            v, _mm256_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1, 14, 15, 12,
                                13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1));
        return _mm256_permute4x64_epi64(inLane, _MM_SHUFFLE(1, 0, 3, 2));
    }
    GFX_AVX2_FN __m128i MaskBytes(const uint8_t* p, bool reversed) {
        const __m128i v = sse2::Load(p);
        return reversed ? ReverseBytes128(v) : v;
    }
    GFX_AVX2_FN __m256i Widen(__m128i bytes) { return _mm256_cvtepi8_epi16(bytes); }
    GFX_AVX2_FN __m128i Quarters(__m128i m) {
        return _mm_and_si128(_mm_srli_epi16(m, 2), _mm_set1_epi8(0x3F));
    }
    GFX_AVX2_FN __m128i AtLeast(__m128i q, __m128i least) {
        return _mm_cmpeq_epi8(_mm_max_epu8(q, least), q);
    }
};

struct Lanes32 {
    using Pixel = Pixel32;
    using Bytes = __m128i;
    static constexpr int kLanes = 8;
    GFX_AVX2_FN __m256i Splat(uint32_t key) { return _mm256_set1_epi32(static_cast<int>(key)); }
    GFX_AVX2_FN __m256i Equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi32(a, b); }
    GFX_AVX2_FN __m256i Reverse(__m256i v) {
        return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    }
    GFX_AVX2_FN __m128i MaskBytes(const uint8_t* p, bool reversed) {
        uint64_t bytes;
        std::memcpy(&bytes, p, sizeof bytes);
        if (reversed) bytes = __builtin_bswap64(bytes);
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&bytes));
    }
    GFX_AVX2_FN __m256i Widen(__m128i bytes) { return _mm256_cvtepi8_epi32(bytes); }
    GFX_AVX2_FN __m128i Quarters(__m128i m) { return Lanes16::Quarters(m); }
    GFX_AVX2_FN __m128i AtLeast(__m128i q, __m128i least) { return Lanes16::AtLeast(q, least); }
};

#undef GFX_AVX2_FN

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

// Per blit row (i & 7): the lanes the stipple pattern admits, or for mask stipple the least
// admitted (mask byte >> 2) of each lane's column, max(1, threshold - 1). Registers start at
// multiples of kLanes columns, a multiple of 8, so the rows repeat from register to register.
template <class L>
struct Admitters {
    uint8_t pattern[8][32];
    uint8_t least[8][32];

    Admitters(const sse2::UnscaledRows& a, Admission admission) {
        constexpr int kBytes = L::Pixel::kBytes;
        for (int r = 0; r < 8; ++r) {
            for (int b = 0; b < 32; ++b) {
                if (admission == Admission::Pattern) {
                    pattern[r][b] = a.pattern->admit[r][(b / kBytes) & 7] ? 0xFF : 0;
                } else {
                    const uint8_t t = StippleThresholds[(a.dy + r) & 7][(a.dx + b) & 7];
                    least[r][b] = t > 1 ? static_cast<uint8_t>(t - 1) : 1;
                }
            }
        }
    }
};

// The source pixels of a row side by side from `s` on: a register of them from column on, and
// one of them. The scaled bodies give rows whose pixels are spaced out.
template <class P>
struct RowPixels {
    const uint8_t* s;
    __attribute__((target("avx2"))) __m256i Register(int32_t column) const {
        return Load(s + column * P::kBytes);
    }
    typename P::Value Pixel(int32_t column) const { return P::Load(s + column * P::kBytes); }
};

// Row i of a blit: d is its first destination pixel, `source` its source pixels from the first
// and m its first mask byte (mask stipple only); a mirrored row reads them from their far end.
template <class L, Admission kAdmission, bool kSrcKey, bool kDstKey, bool kMirrorX, class Source>
__attribute__((target("avx2"))) inline void WalkRow(const sse2::UnscaledRows& a,
                                                    const Admitters<L>* admitters, int32_t i,
                                                    uint8_t* d, const Source& source,
                                                    const uint8_t* m) {
    using P = typename L::Pixel;
    constexpr int kBytes = P::kBytes;
    constexpr int kLanes = L::kLanes;
    const __m256i srcKey = L::Splat(a.srcKey);
    const __m256i dstKey = L::Splat(a.dstKey);
    const int32_t w = a.width;
    // The row's admitters, read before the stores (which may alias anything).
    __m256i pattern = _mm256_setzero_si256();
    typename L::Bytes least{};
    if constexpr (kAdmission == Admission::Pattern) pattern = Load(admitters->pattern[i & 7]);
    if constexpr (kAdmission == Admission::Mask)
        least = L::MaskBytes(admitters->least[i & 7], false);
    int32_t j = 0;
    for (; j + kLanes <= w; j += kLanes) {
        const int32_t column = kMirrorX ? w - kLanes - j : j;
        __m256i v = source.Register(column);
        if constexpr (kMirrorX) v = L::Reverse(v);
        uint8_t* out = d + j * kBytes;
        if constexpr (kAdmission == Admission::All && !kSrcKey && !kDstKey) {
            Store(out, v);
            continue;
        }
        __m256i write = _mm256_set1_epi8(-1);
        if constexpr (kAdmission == Admission::Pattern) {
            write = pattern;
        } else if constexpr (kAdmission == Admission::Mask) {
            const auto q = L::Quarters(L::MaskBytes(m + column, kMirrorX));
            write = L::Widen(L::AtLeast(q, least));
        }
        if constexpr (kSrcKey) write = _mm256_andnot_si256(L::Equal(v, srcKey), write);
        __m256i old = _mm256_setzero_si256();
        if constexpr (kDstKey) {
            old = Load(out);
            write = _mm256_and_si256(write, L::Equal(old, dstKey));
        }
        // Wider pixels' keys come in runs (a sprite's inside, its surround), so these branches
        // are foreseen; a pattern or mask mixes lanes and always merges, and so do 8-bit pixels,
        // where the key is one value of 256 and scattered through a picture's dithering.
        if constexpr (kAdmission == Admission::All && kLanes != 32) {
            const uint32_t written = static_cast<uint32_t>(_mm256_movemask_epi8(write));
            if (written == 0) continue;
            if (written == 0xFFFFFFFFu) {
                Store(out, v);
                continue;
            }
        }
        if constexpr (!kDstKey) old = Load(out);
        Store(out, _mm256_blendv_epi8(old, v, write));
    }
    for (; j < w; ++j) {
        const int32_t column = kMirrorX ? w - 1 - j : j;
        uint8_t* target = d + j * kBytes;
        if constexpr (kAdmission == Admission::Pattern) {
            if (!a.pattern->Admits(i, j)) continue;
        } else if constexpr (kAdmission == Admission::Mask) {
            if (!MaskStippleAdmits(m[column], StippleThresholds[(a.dy + i) & 7][(a.dx + j) & 7]))
                continue;
        }
        const typename P::Value value = source.Pixel(column);
        if (kSrcKey && P::Equals(value, a.srcKey)) continue;
        if (kDstKey && !P::Equals(P::Load(target), a.dstKey)) continue;
        P::Store(target, value);
    }
}

template <class L, Admission kAdmission, bool kSrcKey, bool kDstKey, bool kMirrorX>
__attribute__((target("avx2"))) void WalkRows(const sse2::UnscaledRows& a,
                                              const Admitters<L>* admitters) {
    using P = typename L::Pixel;
    const bool mirrorY = (a.flags & BLIT_MIRROR_Y) != 0;
    for (int32_t i = 0; i < a.height; ++i) {
        uint8_t* d = PixelAt<P>(a.dst, a.dstPitch, a.dx, a.dy + i);
        const int32_t row = mirrorY ? a.sy + a.height - 1 - i : a.sy + i;
        const uint8_t* s = PixelAt<P>(a.src, a.srcPitch, a.sx, row);
        const uint8_t* m = nullptr;
        if constexpr (kAdmission == Admission::Mask) {
            m = PixelAt<Pixel8>(a.mask, a.maskPitch, a.sx, row);
        }
        WalkRow<L, kAdmission, kSrcKey, kDstKey, kMirrorX>(a, admitters, i, d, RowPixels<P>{s}, m);
    }
}

// Walks the rows of a blit by the instance of WalkRows for its key and mirror flags (the keys are
// off for mask stipple). Callers send plain and vertically flipped copies to the row copier.
template <class L, Admission kAdmission>
__attribute__((target("avx2"))) void Walk(const sse2::UnscaledRows& a) {
    const bool mirrorX = (a.flags & BLIT_MIRROR_X) != 0;
    const bool srcKey = kAdmission != Admission::Mask && (a.flags & BLIT_SRCKEY) != 0;
    const bool dstKey = kAdmission != Admission::Mask && (a.flags & BLIT_DESTKEY) != 0;
    using Rows = void (*)(const sse2::UnscaledRows&, const Admitters<L>*);
    static constexpr Rows kRows[8] = {
        WalkRows<L, kAdmission, false, false, false>, WalkRows<L, kAdmission, false, false, true>,
        WalkRows<L, kAdmission, false, true, false>,  WalkRows<L, kAdmission, false, true, true>,
        WalkRows<L, kAdmission, true, false, false>,  WalkRows<L, kAdmission, true, false, true>,
        WalkRows<L, kAdmission, true, true, false>,   WalkRows<L, kAdmission, true, true, true>,
    };
    const Rows rows = kRows[(srcKey ? 4 : 0) | (dstKey ? 2 : 0) | (mirrorX ? 1 : 0)];
    if constexpr (kAdmission == Admission::All) {
        rows(a, nullptr);
    } else {
        const Admitters<L> admitters(a, kAdmission);
        rows(a, &admitters);
    }
}

}  // namespace gfx::avx2

#endif  // GFX_HAVE_X86_TARGETS
