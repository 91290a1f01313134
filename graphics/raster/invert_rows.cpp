#include "graphics/raster/invert_rows.h"

namespace gfx {

void InvertRows(uint8_t* base, int32_t pitch, int32_t height, size_t rowBytes) {
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* p = base + static_cast<ptrdiff_t>(y) * pitch;
        for (size_t k = 0; k < rowBytes; ++k) p[k] = static_cast<uint8_t>(~p[k]);
    }
}

}  // namespace gfx
