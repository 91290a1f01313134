#pragma once

// The SSSE3 body of the 24-bit keyed routine, identical in result to KeyedScalar<Pixel24>:
// keyed and mirrored rows sixteen pixels a block. Only called where the processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_keyed_sse2.h"
#include "graphics/blit/triplet_walk_ssse3.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

// The 24-bit keyed routine with the rows of the family `Row` (ssse3::TripletWalk).
template <template <sse2::Admission, bool, bool, bool> class Row>
int32_t Keyed24(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    // Plain and vertically flipped copies are row copies, and a surface drawn onto itself keeps
    // the scalar order: the SSE2 body does both.
    if ((flags & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X)) == 0 ||
        sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          Pixel24::kBytes)) {
        return KeyedSse2<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                  flags, srcKey, dstKey);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    ssse3::TripletWalk<sse2::Admission::All, Row>(rows);
    return 0;
}

inline int32_t Keyed24Ssse3(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                            int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                            int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return Keyed24<ssse3::TripletRowSsse3>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                           sy, flags, srcKey, dstKey);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
