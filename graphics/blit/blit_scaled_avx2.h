#pragma once

// The AVX2 bodies of the scaled 16-bit mask blends, identical in result to the scalar ones: the
// SSE2 body gathers each fresh source and mask row as it does, and the gathered rows are blended
// sixteen pixels a register with the unscaled AVX2 body's mix; a row's last 0-15 pixels take the
// SSE2 blocks. Compiled for AVX2 by function attributes in a baseline build; only called where
// the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/blit/blend_lanes_avx2.h"
#include "graphics/blit/blit_mask_alpha_avx2.h"
#include "graphics/blit/blit_scaled_sse2.h"

namespace gfx {

namespace blend_avx2 {

// The whole registers of one gathered row: mask bytes 0 keep the destination, 255 take the
// source, others mix.
template <class C>
struct ScaledMaskBlocks {
    __attribute__((target("avx2"))) static size_t Blend(uint8_t* d, const uint8_t* pixels,
                                                        const uint8_t* maskRow, size_t rowBytes) {
        using M = MaskTableMix<C>;
        size_t k = 0;
        for (; k + 32 <= rowBytes; k += 32) {
            const __m128i bytes = WordPixels::ReadMask(maskRow + k / 2, false);
            if (WordPixels::AllEqual(bytes, M::kSkipped)) continue;
            const __m256i sv = Read256(pixels + k);
            if (WordPixels::AllEqual(bytes, M::kWhole)) {
                Write256(d + k, sv);
                continue;
            }
            Write256(d + k, M::Mix(sv, Read256(d + k), WordPixels::MaskValues(bytes)));
        }
        return k;
    }
};

}  // namespace blend_avx2

// Blt16ScaledMaskAlpha555 and Blt16ScaledMaskAlpha565.
template <class C>
int32_t ScaledMaskAlpha16Avx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                              int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                              int32_t sy, int32_t sw, int32_t sh, const uint8_t* mask,
                              int32_t maskPitch, uint32_t flags) {
    return ScaledMaskAlpha16Sse2<C, blend_avx2::ScaledMaskBlocks<C>>(
        dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, mask, maskPitch,
        flags);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
