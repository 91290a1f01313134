#pragma once

// The SSSE3 body of the 24-bit mask-stipple routine, identical in result to
// MaskStippleScalar<Pixel24>, mirrored rows included. Only called where the processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/triplet_walk_ssse3.h"

namespace gfx {

// The 24-bit mask-stipple routine with the rows of the family `Row` (ssse3::TripletWalk).
template <template <sse2::Admission, bool, bool, bool> class Row>
int32_t MaskStipple24(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                      const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    const sse2::ByteRange target(dst, dstPitch, dx, dy, width, height, Pixel24::kBytes);
    if (target.Overlaps(sse2::ByteRange(src, srcPitch, sx, sy, width, height, Pixel24::kBytes)) ||
        target.Overlaps(sse2::ByteRange(mask, maskPitch, sx, sy, width, height, 1))) {
        return MaskStippleScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                          sy, mask, maskPitch, flags);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.mask = mask;
    rows.maskPitch = maskPitch;
    ssse3::TripletWalk<sse2::Admission::Mask, Row>(rows);
    return 0;
}

inline int32_t MaskStipple24Ssse3(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                  int32_t width, int32_t height, const uint8_t* src,
                                  int32_t srcPitch, int32_t sx, int32_t sy, const uint8_t* mask,
                                  int32_t maskPitch, uint32_t flags) {
    return MaskStipple24<ssse3::TripletRowSsse3>(dst, dstPitch, dx, dy, width, height, src,
                                                 srcPitch, sx, sy, mask, maskPitch, flags);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
