#include <cstddef>

#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"

namespace gfx {

Result Surface::Invert() {
    if (GetFormat() == 0) return ResultNoImage;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result status = Lock(&rows, &pitch);
    if (status != ResultOk) return status;
    // Every byte that holds pixel bits, including the last partial byte of a packed row (its
    // padding bits carry nothing) and byte 3 of 32-bit pixels.
    const uint64_t rowBytes = (static_cast<uint64_t>(GetWidth()) * BitsPerPixel(GetFormat()) + 7) / 8;
    for (int32_t y = 0; y < GetHeight(); ++y) {
        uint8_t* p = rows + static_cast<ptrdiff_t>(y) * pitch;
        for (uint64_t k = 0; k < rowBytes; ++k) p[k] = static_cast<uint8_t>(~p[k]);
    }
    Unlock();
    return ResultOk;
}

}  // namespace gfx
