// The fast translucent fills multiply where the scalar body reads ChannelProductTable. These
// loops show that the multiplies give the table's results bit for bit for every weight a call
// can pass (and the clamped ones beyond 256), every pair of pixel and colour field values in
// every field, and every 16-bit pixel value.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/raster/raster_registry.h"

namespace {

using namespace gfx;

// One row of `pixels` blended by a body; rows start at an even, 16-byte aligned address and at
// one 2 bytes past it.
std::vector<uint16_t> Blend(BlendFillRowsBody body, const std::vector<uint16_t>& pixels,
                            int32_t shift, uint32_t colour, uint32_t weight) {
    std::vector<uint16_t> row(pixels.size() + 8, 0);
    std::memcpy(row.data() + shift, pixels.data(), pixels.size() * 2);
    const FillArea area{shift, 0, static_cast<int32_t>(pixels.size()), 1};
    body(reinterpret_cast<uint8_t*>(row.data()), static_cast<int32_t>(row.size() * 2), area,
         colour, weight);
    return row;
}

template <RasterRoutine R>
void CheckEveryFieldPair(int topShift, int middleShift) {
    const BlendFillRowsBody scalar = RasterBodyOf<R>(BodyKind::Scalar);
    // Pixel j holds j % 32 in the top field and other walks of 0..31 in the others, with the
    // spare bits varying, so that over 1024 pixels every field meets every value.
    std::vector<uint16_t> pixels(1024);
    for (uint32_t j = 0; j < pixels.size(); ++j) {
        pixels[j] = static_cast<uint16_t>((j % 32) << topShift | ((j * 7 + 3) % 32) << middleShift |
                                          ((j * 13 + 5) % 32) | (j & 32 ? 0x8020 : 0));
    }
    std::vector<uint16_t> every(65536);
    for (uint32_t v = 0; v < every.size(); ++v) every[v] = static_cast<uint16_t>(v);

    for (int k = 1; k < kBodyKindCount; ++k) {
        const BodyKind kind = static_cast<BodyKind>(k);
        if (!HasRunnableRasterBody(R, kind)) continue;
        const BlendFillRowsBody fast = RasterBodyOf<R>(kind);
        for (uint32_t weight = 0; weight <= 260; ++weight) {
            for (uint32_t c = 0; c < 32; ++c) {
                // The colour's fields walk 0..31 too; its spare and high bits must not count.
                const uint32_t colour = c << topShift | ((31 - c) << middleShift) | ((c * 5) % 32) |
                                        (c & 1 ? 0xFFFF8020u : 0);
                const int32_t shift = static_cast<int32_t>(c & 1);
                ASSERT_EQ(Blend(scalar, pixels, shift, colour, weight),
                          Blend(fast, pixels, shift, colour, weight))
                    << NameOf(R) << " " << BodyKindName(kind) << " weight " << weight
                    << " colour " << colour;
            }
            if (weight % 32 == 4) {
                ASSERT_EQ(Blend(scalar, every, 0, 0x5A5A, weight), Blend(fast, every, 0, 0x5A5A, weight))
                    << NameOf(R) << " " << BodyKindName(kind) << " weight " << weight;
            }
        }
    }
}

TEST(BlendFillMultiply, GivesTheTableResultForEveryInput) {
    CheckEveryFieldPair<RasterRoutine::BlendFillRows555>(10, 5);
    CheckEveryFieldPair<RasterRoutine::BlendFillRows565>(11, 6);
}

}  // namespace
