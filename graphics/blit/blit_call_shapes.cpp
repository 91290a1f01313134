#include "graphics/blit/blit_call_shapes.h"

namespace gfx {

namespace {

// The arguments of each shape, taken from a BlitCall.
int32_t Invoke(BlitCopyFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy);
}
int32_t Invoke(BlitKeyedFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.flags, c.srcKey, c.dstKey);
}
int32_t Invoke(BlitLevelFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.flags, c.srcKey, c.dstKey, c.level);
}
int32_t Invoke(BlitMaskFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.mask, c.maskPitch, c.flags);
}
int32_t Invoke(BlitScaledKeyedFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.sw, c.sh, c.flags, c.srcKey, c.dstKey);
}
int32_t Invoke(BlitScaledLevelFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.sw, c.sh, c.flags, c.srcKey, c.dstKey, c.level);
}
int32_t Invoke(BlitScaledMaskFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.sw, c.sh, c.mask, c.maskPitch, c.flags);
}
int32_t Invoke(BlitScaledSmoothFn fn, const BlitCall& c) {
    return fn(c.dst, c.dstPitch, c.dx, c.dy, c.width, c.height, c.src, c.srcPitch, c.sx, c.sy,
              c.sw, c.sh, c.flags);
}

}  // namespace

bool BlitBody::IsAvailable() const {
    return std::visit([](auto fn) { return fn != nullptr; }, fn_);
}

int32_t BlitBody::Call(const BlitCall& c) const {
    return std::visit([&c](auto fn) { return fn ? Invoke(fn, c) : 0; }, fn_);
}

}  // namespace gfx
