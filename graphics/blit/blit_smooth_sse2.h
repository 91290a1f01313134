#pragma once

// The SSE2 bodies of the 24 and 32-bit filtered scaling routines, identical in result to
// ScaledSmoothScalar: SSE2 rows for the interpolation and the fixed-point average; the
// floating-point average of strong reductions keeps the scalar code. (Gathering single bytes into
// registers costs the 8-bit routine more than it gains.)
#if defined(__SSE2__)

#include <cstdint>

#include "graphics/blit/bilinear_scale_sse2.h"
#include "graphics/blit/blit_smooth.h"
#include "graphics/blit/box_average_sse2.h"
#include "graphics/blit/sse2_lanes.h"

namespace gfx {

// The routine with the interpolation rows of `Rows`; the SSSE3 and AVX2 bodies differ only in
// those.
template <int kBytes, typename Rows>
int32_t ScaledSmoothRows(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, int32_t sw, int32_t sh, uint32_t flags) {
    if (width <= 0 || height <= 0) return 0;
    const SmoothScaleCall call(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh,
                               flags);
    // A surface drawn onto itself keeps the scalar order of reads and writes.
    if (sse2::ByteRange(dst, dstPitch, dx, dy, width, height, kBytes)
            .Overlaps(sse2::ByteRange(src, srcPitch, sx, sy, call.sw, call.sh, kBytes))) {
        return ScaledSmoothScalar<kBytes>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                          sy, sw, sh, flags);
    }
    const SmoothRatios ratios(call);
    if (ratios.Interpolates()) {
        BilinearScale<kBytes, Rows>(call, ratios);
    } else if (ratios.AveragesInFloat()) {
        BoxAverageFloat<kBytes>(call, ratios);
    } else {
        BoxAverageFixedSse2<kBytes>(call, ratios);
    }
    return 0;
}

template <int kBytes>
int32_t ScaledSmoothSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, int32_t sw, int32_t sh, uint32_t flags) {
    return ScaledSmoothRows<kBytes, BilinearColumnRows<BilinearRowSse2<kBytes>>>(
        dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, flags);
}

}  // namespace gfx

#endif  // __SSE2__
