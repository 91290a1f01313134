#include "graphics/blit/blit_routine.h"

namespace gfx {

bool BlitRoutine::IsAvailable() const {
    switch (shape_) {
        case Shape::None:
            return false;
        case Shape::Copy:
            return copy_ != nullptr;
        case Shape::Keyed:
            return keyed_ != nullptr;
        case Shape::Level:
            return level_ != nullptr;
        case Shape::Mask:
            return mask_ != nullptr;
        case Shape::ScaledKeyed:
            return scaledKeyed_ != nullptr;
        case Shape::ScaledLevel:
            return scaledLevel_ != nullptr;
        case Shape::ScaledMask:
            return scaledMask_ != nullptr;
        case Shape::ScaledSmooth:
            return scaledSmooth_ != nullptr;
    }
    return false;
}

int32_t BlitRoutine::Call(const BlitCall& c) const {
    if (!IsAvailable()) return 0;
    switch (shape_) {
        case Shape::None:
            return 0;
        case Shape::Copy:
            return copy_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                         c.sy);
        case Shape::Keyed:
            return keyed_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                          c.sy, c.flags, c.srcKey, c.dstKey);
        case Shape::Level:
            return level_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                          c.sy, c.flags, c.srcKey, c.dstKey, c.level);
        case Shape::Mask:
            return mask_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx,
                         c.sy, c.mask, c.maskPitch, c.flags);
        case Shape::ScaledKeyed:
            return scaledKeyed_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch,
                                c.sx, c.sy, c.sw, c.sh, c.flags, c.srcKey, c.dstKey);
        case Shape::ScaledLevel:
            return scaledLevel_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch,
                                c.sx, c.sy, c.sw, c.sh, c.flags, c.srcKey, c.dstKey, c.level);
        case Shape::ScaledMask:
            return scaledMask_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch,
                               c.sx, c.sy, c.sw, c.sh, c.mask, c.maskPitch, c.flags);
        case Shape::ScaledSmooth:
            return scaledSmooth_(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src,
                                 c.srcPitch, c.sx, c.sy, c.sw, c.sh, c.flags);
    }
    return 0;
}

}  // namespace gfx
