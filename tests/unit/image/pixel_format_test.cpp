#include "graphics/image/pixel_format.h"

#include <gtest/gtest.h>

using namespace gfx;

TEST(PixelFormat, RowBytesPadsToFourBytes) {
    EXPECT_EQ(RowBytes(FMT_INDEX1, 33), 8u);
    EXPECT_EQ(RowBytes(FMT_INDEX1, 32), 4u);
    EXPECT_EQ(RowBytes(FMT_INDEX2, 17), 8u);
    EXPECT_EQ(RowBytes(FMT_INDEX4, 3), 4u);
    EXPECT_EQ(RowBytes(FMT_INDEX8, 5), 8u);
    EXPECT_EQ(RowBytes(FMT_RGB565, 3), 8u);
    EXPECT_EQ(RowBytes(FMT_RGB24, 5), 16u);
    EXPECT_EQ(RowBytes(FMT_RGB24, 100), 300u);
    EXPECT_EQ(RowBytes(FMT_RGB32, 7), 28u);
    EXPECT_EQ(RowBytes(FMT_RGB32, 0), 0u);
    EXPECT_EQ(RowBytes(0, 100), 0u);
    EXPECT_EQ(RowBytes(FMT_RGB24, -1), 0u);
    // A width the 32-bit size cannot hold gives no row rather than a wrapped one.
    EXPECT_EQ(RowBytes(FMT_RGB32, INT32_MAX), 0u);
}

TEST(PixelFormat, CodesDecodeTheirDepthAndFamily) {
    const PixelFormat all[] = {FMT_INDEX1, FMT_INDEX2, FMT_INDEX4, FMT_INDEX8, FMT_RGB555,
                               FMT_BGR555, FMT_RGB565, FMT_BGR565, FMT_RGB24,  FMT_RGB32};
    const uint32_t depths[] = {1, 2, 4, 8, 16, 16, 16, 16, 24, 32};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(BitsPerPixel(all[i]), depths[i]);
        EXPECT_EQ(IsIndexedFormat(all[i]), i < 4);
        EXPECT_EQ(IsIndexedFormat(all[i]), (all[i] & 0x40000000u) != 0);
        EXPECT_TRUE(IsKnownFormat(all[i]));
    }
    EXPECT_TRUE(Is555Format(FMT_BGR555));
    EXPECT_FALSE(Is555Format(FMT_RGB565));
    EXPECT_FALSE(IsKnownFormat(0));
    EXPECT_FALSE(IsKnownFormat(0x10E40556));
}

TEST(PixelFormat, SurfaceSizeLimits) {
    // 16383 pixels of 32 bits fill the 65532-byte row exactly; one more does not fit.
    EXPECT_TRUE(SurfaceSizeSupported(16383, 10, FMT_RGB32));
    EXPECT_FALSE(SurfaceSizeSupported(16384, 10, FMT_RGB32));
    EXPECT_TRUE(SurfaceSizeSupported(21844, 1, FMT_RGB24));
    EXPECT_FALSE(SurfaceSizeSupported(21845, 1, FMT_RGB24));
    EXPECT_TRUE(SurfaceSizeSupported(65535, 65535, FMT_INDEX1));
    EXPECT_FALSE(SurfaceSizeSupported(65536, 1, FMT_INDEX1));
    EXPECT_FALSE(SurfaceSizeSupported(1, 65536, FMT_INDEX8));
    EXPECT_FALSE(SurfaceSizeSupported(-1, 1, FMT_INDEX8));
    EXPECT_FALSE(SurfaceSizeSupported(1, -1, FMT_INDEX8));
    EXPECT_FALSE(SurfaceSizeSupported(1, 1, 0x18000000));
    EXPECT_TRUE(SurfaceSizeSupported(0, 0, FMT_RGB565));
}
