#pragma once

#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"

namespace gfx {

// The adjustments read their mask one byte per pixel at the picture's coordinates, so a mask must
// be an 8-bit surface that covers the picture.
inline bool MaskCoversPicture(const Surface& mask, const Surface& picture) {
    return BitsPerPixel(mask.GetFormat()) == 8 && mask.GetWidth() >= picture.GetWidth() &&
           mask.GetHeight() >= picture.GetHeight();
}

}  // namespace gfx
