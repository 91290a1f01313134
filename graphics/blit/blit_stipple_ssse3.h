#pragma once

// The SSSE3 body of the 24-bit constant-stipple routine, identical in result to
// StippleScalar<Pixel24>, mirrored rows included. Only called where the processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_stipple.h"
#include "graphics/blit/triplet_walk_ssse3.h"

namespace gfx {

// The 24-bit constant-stipple routine with the rows of the family `Row` (ssse3::TripletWalk).
template <template <sse2::Admission, bool, bool, bool> class Row>
int32_t Stipple24(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    if (sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          Pixel24::kBytes)) {
        return StippleScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      flags, srcKey, dstKey, level);
    }
    // The thresholds run from 1 to 64: below 1 nothing is admitted, from 64 everything.
    const uint32_t density = level >> 2;
    if (density == 0) return 0;
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    if (density >= 64) {
        ssse3::TripletWalk<sse2::Admission::All, Row>(rows);
        return 0;
    }
    const StipplePattern pattern(dx, dy, level);
    rows.pattern = &pattern;
    ssse3::TripletWalk<sse2::Admission::Pattern, Row>(rows);
    return 0;
}

inline int32_t Stipple24Ssse3(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                              int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                              int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                              uint32_t level) {
    return Stipple24<ssse3::TripletRowSsse3>(dst, dstPitch, dx, dy, width, height, src, srcPitch,
                                             sx, sy, flags, srcKey, dstKey, level);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
