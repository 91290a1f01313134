#include "graphics/raster/line_steps.h"

#include <cstddef>
#include <cstdlib>

#include "graphics/core/little_endian.h"

namespace gfx {

namespace {

template <int kBytes, class Store>
void Walk(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, Store store) {
    const int32_t dx = end.x - start.x;
    const int32_t dy = end.y - start.y;
    const ptrdiff_t xStep = dx > 0 ? kBytes : -kBytes;
    const ptrdiff_t yStep = dy > 0 ? pitch : -static_cast<ptrdiff_t>(pitch);
    const int32_t ax = std::abs(dx);
    const int32_t ay = std::abs(dy);
    // The major axis steps every pixel, the minor one when the error passes the major length.
    const bool xMajor = ax > ay;
    const int32_t major = xMajor ? ax : ay;
    const int32_t minor = xMajor ? ay : ax;
    const ptrdiff_t majorStep = xMajor ? xStep : yStep;
    const ptrdiff_t minorStep = xMajor ? yStep : xStep;

    uint8_t* p = base + static_cast<ptrdiff_t>(start.y) * pitch +
                 static_cast<ptrdiff_t>(start.x) * kBytes;
    int32_t error = 0;
    for (int32_t i = 0; i < major; ++i) {
        store(p);
        error += minor;
        p += majorStep;
        if (error > major) {
            p += minorStep;
            error -= major;
        }
    }
}

}  // namespace

void DrawLineSteps8(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value) {
    const auto byte = static_cast<uint8_t>(value);
    Walk<1>(base, pitch, start, end, [byte](uint8_t* p) { *p = byte; });
}

void DrawLineSteps16(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value) {
    Walk<2>(base, pitch, start, end, [value](uint8_t* p) { StoreLE16(p, value); });
}

void DrawLineSteps24(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value) {
    const auto first = static_cast<uint8_t>(value >> 16);
    const auto second = static_cast<uint8_t>(value >> 8);
    const auto third = static_cast<uint8_t>(value);
    Walk<3>(base, pitch, start, end, [=](uint8_t* p) {
        p[0] = first;
        p[1] = second;
        p[2] = third;
    });
}

void DrawLineSteps32(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value) {
    Walk<4>(base, pitch, start, end, [value](uint8_t* p) { StoreLE32(p, value); });
}

}  // namespace gfx
