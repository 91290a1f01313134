#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "tests/unit/raster/raster_surfaces.h"

using namespace gfx;

// Random writes read back as the value's low bytes, stored least significant first in the
// memory row of the image line (line 0 of a bottom-up surface is its last memory row).
TEST(PixelAccess, RoundTripsInImageCoordinates) {
    std::mt19937 rng(21);
    for (RasterKind kind : kRasterKinds) {
        for (PixelFormat format : {FMT_INDEX8, FMT_RGB565, FMT_RGB24, FMT_RGB32}) {
            SCOPED_TRACE(Describe(kind, format));
            const uint32_t bytes = BitsPerPixel(format) / 8;
            SurfacePtr s = MakeSurface(kind, 9, 10, format);
            RowImage model = PaintRows(*s, &rng);
            for (int trial = 0; trial < 50; ++trial) {
                const int32_t x = rng() % 9, y = rng() % 10;
                const uint32_t value = rng();
                s->SetPixelValue(x, y, value);
                for (uint32_t k = 0; k < bytes; ++k)
                    model.Row(s->IsBottomUp() ? 9 - y : y)[x * bytes + k] = uint8_t(value >> (8 * k));
                ASSERT_EQ(ReadRows(*s), model);
                EXPECT_EQ(s->GetPixelValue(x, y), bytes == 4 ? value : value & ((1u << (8 * bytes)) - 1));
            }
        }
    }
    SurfacePtr triplets = MakeSurface(RasterKind::DibSection, 2, 1, FMT_RGB24);
    RowImage rows = PaintRows(*triplets, nullptr);
    rows.bytes[0] = 0x10, rows.bytes[1] = 0x20, rows.bytes[2] = 0x30;
    MoveRows(*triplets, rows, true);
    EXPECT_EQ(triplets->GetPixelValue(0, 0), 0x302010u);
}

// Pixels outside the image, packed pixels and refused locks read 0 and write nothing.
TEST(PixelAccess, UnreachablePixels) {
    std::mt19937 rng(8);
    SurfacePtr s = MakeSurface(RasterKind::Buffer, 6, 4, FMT_RGB32);
    const RowImage before = PaintRows(*s, &rng);
    const int32_t outside[][2] = {{6, 0}, {0, 4}, {-1, 0}, {0, -1}, {INT32_MIN, INT32_MAX}};
    for (const auto& p : outside) {
        EXPECT_EQ(s->GetPixelValue(p[0], p[1]), 0u);
        s->SetPixelValue(p[0], p[1], 0x12345678);
    }
    static_cast<BufferSurface&>(*s).refuseLock = true;
    EXPECT_EQ(s->GetPixelValue(1, 1), 0u);
    s->SetPixelValue(1, 1, 0);
    static_cast<BufferSurface&>(*s).refuseLock = false;
    EXPECT_EQ(ReadRows(*s), before);

    for (PixelFormat format : {FMT_INDEX1, FMT_INDEX2, FMT_INDEX4}) {
        SurfacePtr packed = MakeSurface(RasterKind::MemoryDib, 8, 2, format);
        const RowImage packedBefore = PaintRows(*packed, &rng);
        packed->SetPixelValue(1, 1, 0xFF);
        EXPECT_EQ(packed->GetPixelValue(1, 1), 0u);
        EXPECT_EQ(ReadRows(*packed), packedBefore);
    }
    MemoryDibSurface empty;
    EXPECT_EQ(empty.GetPixelValue(0, 0), 0u);
}
