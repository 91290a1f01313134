#pragma once

// The AVX2 body of the 8, 16 and 32-bit mask-stipple routines, identical in result to
// MaskStippleScalar. Only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/blit_mask_stipple_ssse3.h"
#include "graphics/blit/triplet_walk_avx2.h"
#include "graphics/blit/unscaled_walk_avx2.h"

namespace gfx {

template <class P>
__attribute__((target("avx2"))) int32_t MaskStippleAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx,
                                                        int32_t dy, int32_t width, int32_t height,
                                                        const uint8_t* src, int32_t srcPitch,
                                                        int32_t sx, int32_t sy, const uint8_t* mask,
                                                        int32_t maskPitch, uint32_t flags) {
    const sse2::ByteRange target(dst, dstPitch, dx, dy, width, height, P::kBytes);
    if (target.Overlaps(sse2::ByteRange(src, srcPitch, sx, sy, width, height, P::kBytes)) ||
        target.Overlaps(sse2::ByteRange(mask, maskPitch, sx, sy, width, height, 1))) {
        return MaskStippleScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    mask, maskPitch, flags);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.mask = mask;
    rows.maskPitch = maskPitch;
    avx2::Walk<typename avx2::LanesOf<P>::type, sse2::Admission::Mask>(rows);
    return 0;
}

// The 24-bit routine: the SSSE3 body's frame with rows of 32 pixels a block.
inline int32_t MaskStipple24Avx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                 int32_t width, int32_t height, const uint8_t* src,
                                 int32_t srcPitch, int32_t sx, int32_t sy, const uint8_t* mask,
                                 int32_t maskPitch, uint32_t flags) {
    return MaskStipple24<avx2::TripletRowAvx2>(dst, dstPitch, dx, dy, width, height, src, srcPitch,
                                               sx, sy, mask, maskPitch, flags);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
