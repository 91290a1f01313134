#pragma once

// The per-pixel hue, saturation and lightness change in the hue-saturation-intensity model, in
// single-precision floating point and in 2^14 fixed point. Bytes 0, 1, 2 of a pixel are blue,
// green, red; nothing else of the pixel is touched.

#include <cstdint>

namespace gfx {

struct FloatHsiAmounts {
    float turn;      // radians
    float satScale;  // factor of the saturation
    float offset;    // added to each colour byte
};

struct FixedHsiAmounts {
    int64_t turn;      // 2^-14 radian units
    int64_t satScale;  // 2^14 = keep
    int64_t offset;    // added to each colour byte
};

// Turns that differ by whole circles are the same turn: the hue is reduced to (-360, 360) so that
// one wrap of the angle always brings it back into [0, 2 pi).
FloatHsiAmounts MakeFloatHsiAmounts(int32_t hue, int32_t saturation, int32_t lightness);
FixedHsiAmounts MakeFixedHsiAmounts(int32_t hue, int32_t saturation, int32_t lightness);

void AdjustHsiFloat(uint8_t* pixel, const FloatHsiAmounts& amounts);
void AdjustHsiFixed(uint8_t* pixel, const FixedHsiAmounts& amounts);

}  // namespace gfx
