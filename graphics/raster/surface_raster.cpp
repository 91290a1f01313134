// The raster operations of Surface. Until they are built the base kind offers none of them;
// each moves into a file of its own in this folder as it is written.
#include "graphics/image/surface.h"

namespace gfx {

Result Surface::FillRect(int32_t, int32_t, int32_t, int32_t, uint32_t) { return ResultUnsupported; }

Result Surface::DrawLine(int32_t, int32_t, int32_t, int32_t, uint32_t) { return ResultUnsupported; }

Result Surface::BlendFillRect(int32_t, int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t) {
    return ResultUnsupported;
}

uint32_t Surface::GetPixelValue(int32_t, int32_t) { return 0; }

void Surface::SetPixelValue(int32_t, int32_t, uint32_t) {}

Result Surface::AdjustContrast(int32_t, Surface*) { return ResultUnsupported; }

Result Surface::Invert() { return ResultUnsupported; }

}  // namespace gfx
