#pragma once

#include <cstddef>
#include <cstdint>
#include <variant>

namespace gfx {

// The call shapes of the per-depth blit routines. Every routine takes the destination row-0
// address, destination pitch, destination x, y, width and height, the source row-0 address,
// source pitch, source x and y; scaled routines then take the source width and height (the width
// and height before them being the destination's); then the mode arguments of its family.
// Pitches are in bytes, x and widths in pixels. Routines do no clipping or checking and return 0.

// Plain copies: no mode arguments.
using BlitCopyFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                               int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                               int32_t sx, int32_t sy);
// Colour-key routines: flags, source key, destination key.
using BlitKeyedFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                int32_t sx, int32_t sy, uint32_t flags, uint32_t srcKey,
                                uint32_t dstKey);
// Constant stipple and constant-alpha routines: flags, keys and the level.
using BlitLevelFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                int32_t sx, int32_t sy, uint32_t flags, uint32_t srcKey,
                                uint32_t dstKey, uint32_t level);
// Mask routines: the 8-bit mask's row-0 address and pitch, then flags.
using BlitMaskFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                               int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                               int32_t sx, int32_t sy, const uint8_t* mask, int32_t maskPitch,
                               uint32_t flags);
// Scaled forms of the above, with the source width and height after the source x and y.
using BlitScaledKeyedFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                      int32_t width, int32_t height, const uint8_t* src,
                                      int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw,
                                      int32_t sh, uint32_t flags, uint32_t srcKey, uint32_t dstKey);
using BlitScaledLevelFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                      int32_t width, int32_t height, const uint8_t* src,
                                      int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw,
                                      int32_t sh, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                                      uint32_t level);
using BlitScaledMaskFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                     int32_t width, int32_t height, const uint8_t* src,
                                     int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw,
                                     int32_t sh, const uint8_t* mask, int32_t maskPitch,
                                     uint32_t flags);
// Filtered scaling: flags only.
using BlitScaledSmoothFn = int32_t (*)(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                       int32_t width, int32_t height, const uint8_t* src,
                                       int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw,
                                       int32_t sh, uint32_t flags);

// The shapes by name, and the function type of each.
enum class CallShape : uint8_t {
    Copy,
    Keyed,
    Level,
    Mask,
    ScaledKeyed,
    ScaledLevel,
    ScaledMask,
    ScaledSmooth,
};

constexpr bool IsScaledShape(CallShape shape) { return shape >= CallShape::ScaledKeyed; }

// The function type of each shape, in the order of CallShape.
using CallShapeFns = std::variant<BlitCopyFn, BlitKeyedFn, BlitLevelFn, BlitMaskFn,
                                  BlitScaledKeyedFn, BlitScaledLevelFn, BlitScaledMaskFn,
                                  BlitScaledSmoothFn>;
template <CallShape S>
using CallShapeFn = std::variant_alternative_t<static_cast<size_t>(S), CallShapeFns>;

// Everything a routine of any shape may take, gathered by Blit once the rectangles are clipped
// and the surfaces locked.
struct BlitCall {
    uint8_t* dst = nullptr;
    int32_t dstPitch = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* src = nullptr;
    int32_t srcPitch = 0;
    int32_t sx = 0;
    int32_t sy = 0;
    int32_t sw = 0;
    int32_t sh = 0;
    uint32_t flags = 0;
    uint32_t srcKey = 0;
    uint32_t dstKey = 0;
    uint32_t level = 0;
    const uint8_t* mask = nullptr;
    int32_t maskPitch = 0;
};

// One body of a routine: a function of one of the shapes, or none (an empty body draws
// nothing). Call passes it the arguments of its shape from a BlitCall.
class BlitBody {
  public:
    constexpr BlitBody() = default;
    template <class Fn>
    constexpr BlitBody(Fn fn) : fn_(fn) {}

    // False for an empty body.
    bool IsAvailable() const;
    // Runs the body with the arguments of its shape; does nothing for an empty one.
    int32_t Call(const BlitCall& c) const;

  private:
    CallShapeFns fn_{BlitCopyFn{}};
};

}  // namespace gfx
