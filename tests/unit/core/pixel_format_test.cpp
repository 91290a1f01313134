#include "graphics/core/pixel_format.h"

#include <gtest/gtest.h>

using namespace gfx;

TEST(PixelFormat, RowBytesPadsToFourBytes) {
    EXPECT_EQ(RowBytes(FMT_INDEX1, 33), 8u);
    EXPECT_EQ(RowBytes(FMT_INDEX2, 17), 8u);
    EXPECT_EQ(RowBytes(FMT_INDEX4, 3), 4u);
    EXPECT_EQ(RowBytes(FMT_RGB565, 3), 8u);
    EXPECT_EQ(RowBytes(FMT_RGB24, 5), 16u);
    EXPECT_EQ(RowBytes(FMT_RGB32, 0), 0u);
    EXPECT_EQ(RowBytes(0, 100), 0u);
    EXPECT_EQ(RowBytes(FMT_RGB24, -1), 0u);
    EXPECT_EQ(RowBytes(FMT_RGB32, INT32_MAX),
              0u);  // past 32 bits: no row rather than a wrapped one
}

TEST(PixelFormat, SurfaceSizeLimits) {
    EXPECT_TRUE(SurfaceSizeSupported(16383, 10, FMT_RGB32));  // 65532 bytes exactly
    EXPECT_FALSE(SurfaceSizeSupported(16384, 10, FMT_RGB32));
    EXPECT_FALSE(SurfaceSizeSupported(21845, 1, FMT_RGB24));
    EXPECT_TRUE(SurfaceSizeSupported(65535, 65535, FMT_INDEX1));
    EXPECT_FALSE(SurfaceSizeSupported(65536, 1, FMT_INDEX1));
    EXPECT_FALSE(SurfaceSizeSupported(1, 65536, FMT_INDEX8));
    EXPECT_FALSE(SurfaceSizeSupported(1, -1, FMT_INDEX8));
    EXPECT_FALSE(SurfaceSizeSupported(1, 1, 0x18000000));  // a depth without a format
}
