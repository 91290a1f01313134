#include "graphics/core/result.h"

#include <gtest/gtest.h>

TEST(Result, CodesKeepTheirStoredValues) {
    EXPECT_EQ(gfx::ResultOk, 0u);
    EXPECT_EQ(gfx::ResultDCOut, 8u);
    EXPECT_EQ(gfx::ResultPaletteMismatch, 10u);
    EXPECT_EQ(gfx::ResultFailed, 18u);
    EXPECT_EQ(gfx::ResultNoSource, 20u);
}
