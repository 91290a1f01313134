#pragma once

// The SSE2 body of the plain copies, identical in result to CopyRowsScalar.
#if defined(__SSE2__)

#include <cstdint>

#include "graphics/blit/blit_copy.h"
#include "graphics/blit/sse2_lanes.h"

namespace gfx {

template <class P>
int32_t CopySse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    if (sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          P::kBytes)) {
        return CopyRowsScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
    }
    sse2::CopyRows(PixelAt<P>(dst, dstPitch, dx, dy), dstPitch, PixelAt<P>(src, srcPitch, sx, sy),
                   srcPitch, static_cast<size_t>(width) * P::kBytes, height);
    return 0;
}

}  // namespace gfx

#endif  // __SSE2__
