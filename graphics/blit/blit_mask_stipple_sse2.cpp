#include "graphics/blit/blit_mask_stipple_sse2.h"

#if defined(__SSE2__)

#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/unscaled_walk_sse2.h"

namespace gfx {

namespace {

template <class L>
int32_t MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    using P = typename L::Pixel;
    if (sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                           P::kBytes) ||
        sse2::Span(dst, dstPitch, dx, dy, width, height, P::kBytes)
            .Overlaps(sse2::Span(mask, maskPitch, sx, sy, width, height, 1))) {
        return MaskStippleScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    mask, maskPitch, flags);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.mask = mask;
    rows.maskPitch = maskPitch;
    sse2::Walk<L, sse2::Admission::Mask>(rows);
    return 0;
}

}  // namespace

int32_t Blt8MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                            int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                            int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return MaskStippleSse2<sse2::Lanes8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                         sy, mask, maskPitch, flags);
}

int32_t Blt16MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                             int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                             int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return MaskStippleSse2<sse2::Lanes16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                          sy, mask, maskPitch, flags);
}

int32_t Blt32MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                             int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                             int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return MaskStippleSse2<sse2::Lanes32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                          sy, mask, maskPitch, flags);
}

}  // namespace gfx

#endif  // __SSE2__
