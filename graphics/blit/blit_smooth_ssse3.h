#pragma once

// The SSSE3 body of the 32-bit filtered scaling routine, identical in result to
// ScaledSmoothScalar<4>: the SSE2 body with SSSE3 interpolation rows. Only called where the
// processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/bilinear_scale_ssse3.h"
#include "graphics/blit/blit_smooth_sse2.h"

namespace gfx {

inline int32_t ScaledSmooth32Ssse3(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                   int32_t width, int32_t height, const uint8_t* src,
                                   int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                                   uint32_t flags) {
    return ScaledSmoothRows<4, BilinearColumnRows<BilinearRow32Ssse3>>(
        dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, flags);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
