#pragma once

// The AVX2 walk of the 24-bit keyed, constant-stipple and mask-stipple blits, mirrored rows
// included: the SSSE3 walk's rule on blocks of 32 pixels. Conditions are decided as one byte per
// pixel, and only a mixed block is spread to three bytes a pixel and merged with the destination.
// The last 0-31 pixels of a row take the SSSE3 row. Compiled for AVX2 by function attributes in a
// baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>

#include "graphics/blit/triplet_walk_ssse3.h"
#include "graphics/blit/triplets_avx2.h"
#include "graphics/blit/unscaled_walk_avx2.h"

namespace gfx::avx2 {

template <Admission kAdmission, bool kSrcKey, bool kDstKey, bool kMirrorX>
struct TripletRowAvx2 {
    // Destination row i of the blit at d, its source row at s (its mask row at m for mask
    // stipple).
    __attribute__((target("avx2"))) static void Draw(const sse2::UnscaledRows& a, int32_t i,
                                                     uint8_t* d, const uint8_t* s, const uint8_t* m,
                                                     const ssse3::BlockAdmitters* admitters) {
        const __m256i srcKey = _mm256_set1_epi32(static_cast<int>(a.srcKey & 0xFFFFFFu));
        const __m256i dstKey = _mm256_set1_epi32(static_cast<int>(a.dstKey & 0xFFFFFFu));
        const Triplets srcKeyBytes = KeyTriplets(a.srcKey);
        const Triplets dstKeyBytes = KeyTriplets(a.dstKey);
        const int32_t w = a.width;
        // The row's admitters repeat every eight pixels, so a block of 32 takes two of sixteen;
        // read before the stores, which may alias anything.
        __m256i admitted = _mm256_setzero_si256();
        Triplets patternBytes{};
        if constexpr (kAdmission != Admission::All) {
            admitted = _mm256_broadcastsi128_si256(admitters->lanes[i & 7][0]);
        }
        if constexpr (kAdmission == Admission::Pattern) patternBytes = Spread(admitted);
        int32_t j = 0;
        for (; j + 32 <= w; j += 32) {
            const int32_t column = kMirrorX ? w - 32 - j : j;
            const uint8_t* block = s + column * 3;
            uint8_t* out = d + j * 3;
            const Triplets inMemory = LoadTriplets(block);
            const Triplets v = kMirrorX ? Reverse(inMemory) : inMemory;
            if constexpr (kAdmission == Admission::All && !kSrcKey && !kDstKey) {
                StoreTriplets(out, v);
                continue;
            }
            __m256i write = _mm256_set1_epi8(-1);
            [[maybe_unused]] bool keyed = false;
            if constexpr (kAdmission == Admission::Pattern) {
                write = admitted;
            } else if constexpr (kAdmission == Admission::Mask) {
                const __m256i q = Lanes8::Quarters(Lanes8::MaskBytes(m + column, kMirrorX));
                write = Lanes8::AtLeast(q, admitted);
            }
            if (kSrcKey && MayHoldKey(inMemory, srcKeyBytes)) {
                __m256i equal = EqualPixelBytes(block, srcKey);
                if constexpr (kMirrorX) equal = Lanes8::Reverse(equal);
                keyed = !_mm256_testz_si256(equal, equal);
                write = _mm256_andnot_si256(equal, write);
            }
            if constexpr (kAdmission == Admission::Pattern && !kDstKey) {
                // Inside a sprite the pattern alone decides.
                if (!keyed) {
                    StoreTriplets(out, Select(patternBytes, v, LoadTriplets(out)));
                    continue;
                }
            }
            if constexpr (kDstKey) {
                // Only pixels over the key are drawn.
                if (!MayHoldKey(LoadTriplets(out), dstKeyBytes)) continue;
                write = _mm256_and_si256(write, EqualPixelBytes(out, dstKey));
            }
            const uint32_t written = static_cast<uint32_t>(_mm256_movemask_epi8(write));
            if (written == 0) continue;
            if (written == 0xFFFFFFFFu) {
                StoreTriplets(out, v);
                continue;
            }
            StoreTriplets(out, Select(Spread(write), v, LoadTriplets(out)));
        }
        ssse3::TripletRow<kAdmission, kSrcKey, kDstKey, kMirrorX>(a, i, d, s, m, admitters, j);
    }
};

}  // namespace gfx::avx2

#endif  // GFX_HAVE_X86_TARGETS
