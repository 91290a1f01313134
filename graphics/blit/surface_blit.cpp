// The blit operations of Surface: Blit on the source side, DrawFrom and DrawFrame on the
// destination side. Their bodies live with the dispatcher, so that the image layer needs none of
// the blit engine's headers.
#include "graphics/blit/blit.h"
#include "graphics/image/surface.h"

namespace gfx {

Result Surface::Blit(Surface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t flags,
                     BlitExtra extra) {
    return DispatchBlit(this, destination, dx, dy, dw, dh, sx, sy, sw, sh, flags, extra);
}

Result Surface::DrawFrom(int32_t dx, int32_t dy, int32_t dw, int32_t dh, Surface* source,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t flags,
                         BlitExtra extra) {
    if (!source) return ResultInvalid;
    return source->Blit(this, dx, dy, dw, dh, sx, sy, sw, sh, flags, extra);
}

Result Surface::DrawFrame(int32_t x, int32_t y, Surface* source, int32_t index, uint32_t flags,
                          BlitExtra extra) {
    if (!source || index < 0 || index >= source->GetFrameCount()) return ResultInvalid;
    const int32_t frameWidth = source->GetWidth();
    const int32_t frameHeight =
        static_cast<int32_t>(static_cast<uint32_t>(source->GetHeight()) /
                             static_cast<uint32_t>(source->GetFrameCount()));
    return DrawFrom(x, y, frameWidth, frameHeight, source, 0, frameHeight * index, frameWidth,
                    frameHeight, flags, extra);
}

}  // namespace gfx
