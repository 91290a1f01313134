#include "graphics/blit/blit_call_shapes.h"

namespace gfx {

bool BlitBody::IsAvailable() const {
    switch (shape_) {
        case CallShape::Copy:
            return copy_ != nullptr;
        case CallShape::Keyed:
            return keyed_ != nullptr;
        case CallShape::Level:
            return level_ != nullptr;
        case CallShape::Mask:
            return mask_ != nullptr;
        case CallShape::ScaledKeyed:
            return scaledKeyed_ != nullptr;
        case CallShape::ScaledLevel:
            return scaledLevel_ != nullptr;
        case CallShape::ScaledMask:
            return scaledMask_ != nullptr;
        case CallShape::ScaledSmooth:
            return scaledSmooth_ != nullptr;
    }
    return false;
}

int32_t BlitBody::Call(const BlitCall& c) const {
    if (!IsAvailable()) return 0;
    switch (shape_) {
        case CallShape::Copy:
            return copy_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                         c.sy);
        case CallShape::Keyed:
            return keyed_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                          c.sy, c.flags, c.srcKey, c.dstKey);
        case CallShape::Level:
            return level_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                          c.sy, c.flags, c.srcKey, c.dstKey, c.level);
        case CallShape::Mask:
            return mask_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                         c.sy, c.mask, c.maskPitch, c.flags);
        case CallShape::ScaledKeyed:
            return scaledKeyed_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch,
                                c.sx, c.sy, c.sw, c.sh, c.flags, c.srcKey, c.dstKey);
        case CallShape::ScaledLevel:
            return scaledLevel_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch,
                                c.sx, c.sy, c.sw, c.sh, c.flags, c.srcKey, c.dstKey, c.level);
        case CallShape::ScaledMask:
            return scaledMask_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch,
                               c.sx, c.sy, c.sw, c.sh, c.mask, c.maskPitch, c.flags);
        case CallShape::ScaledSmooth:
            return scaledSmooth_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src,
                                 c.srcPitch, c.sx, c.sy, c.sw, c.sh, c.flags);
    }
    return 0;
}

}  // namespace gfx
