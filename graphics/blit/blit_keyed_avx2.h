#pragma once

// The AVX2 body of the 8, 16 and 32-bit keyed routines, identical in result to KeyedScalar: a
// register of pixels at a time, mirrored rows included. Compiled for AVX2 by a function
// attribute in a baseline build and only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_keyed_sse2.h"
#include "graphics/blit/blit_keyed_ssse3.h"
#include "graphics/blit/triplet_walk_avx2.h"
#include "graphics/blit/unscaled_walk_avx2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

template <class P>
__attribute__((target("avx2"))) int32_t KeyedAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx,
                                                  int32_t dy, int32_t width, int32_t height,
                                                  const uint8_t* src, int32_t srcPitch, int32_t sx,
                                                  int32_t sy, uint32_t flags, uint32_t srcKey,
                                                  uint32_t dstKey) {
    // Plain and vertically flipped copies (the SSE2 row copy is as fast) and a surface drawn onto
    // itself keep the SSE2 body's handling.
    if ((flags & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X)) == 0 ||
        sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height, P::kBytes)) {
        return KeyedSse2<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                            srcKey, dstKey);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    avx2::Walk<typename avx2::LanesOf<P>::type, sse2::Admission::All>(rows);
    return 0;
}

// The 24-bit routine: the SSSE3 body's frame with rows of 32 pixels a block.
inline int32_t Keyed24Avx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                           int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                           int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return Keyed24<avx2::TripletRowAvx2>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                         sy, flags, srcKey, dstKey);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
