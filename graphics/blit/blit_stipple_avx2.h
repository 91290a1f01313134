#pragma once

// The AVX2 body of the 8, 16 and 32-bit constant-stipple routines, identical in result to
// StippleScalar. Only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_stipple.h"
#include "graphics/blit/blit_stipple_ssse3.h"
#include "graphics/blit/triplet_walk_avx2.h"
#include "graphics/blit/unscaled_walk_avx2.h"

namespace gfx {

template <class P>
__attribute__((target("avx2"))) int32_t StippleAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx,
                                                    int32_t dy, int32_t width, int32_t height,
                                                    const uint8_t* src, int32_t srcPitch,
                                                    int32_t sx, int32_t sy, uint32_t flags,
                                                    uint32_t srcKey, uint32_t dstKey,
                                                    uint32_t level) {
    using L = typename avx2::LanesOf<P>::type;
    if (sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height, P::kBytes)) {
        return StippleScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey, level);
    }
    // The thresholds run from 1 to 64: below 1 nothing is admitted, from 64 everything.
    const uint32_t density = level >> 2;
    if (density == 0) return 0;
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    if (density >= 64) {
        avx2::Walk<L, sse2::Admission::All>(rows);
        return 0;
    }
    const StipplePattern pattern(dx, dy, level);
    rows.pattern = &pattern;
    avx2::Walk<L, sse2::Admission::Pattern>(rows);
    return 0;
}

// The 24-bit routine: the SSSE3 body's frame with rows of 32 pixels a block.
inline int32_t Stipple24Avx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                             int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                             int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                             uint32_t level) {
    return Stipple24<avx2::TripletRowAvx2>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                           sy, flags, srcKey, dstKey, level);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
