#include "graphics/platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace gfx {
namespace {

TEST(GlobalMemory, FixedBlockIsItsOwnAddressAndIsNotCounted) {
    GlobalHandle block = GlobalMemoryAlloc(100, true);
    ASSERT_NE(block, nullptr);
    EXPECT_GE(GlobalMemorySize(block), 100u);
    EXPECT_EQ(GlobalMemoryLock(block), block);
    EXPECT_EQ(GlobalMemoryLock(block), block);
    EXPECT_EQ(GlobalMemoryLockCount(block), 0u);
    EXPECT_TRUE(GlobalMemoryUnlock(block));
    std::memset(block, 0xAB, 100);
    GlobalMemoryFree(block);
}

TEST(GlobalMemory, MovableBlockLocksNestAndKeepTheirBytes) {
    GlobalHandle block = GlobalMemoryAlloc(64, false);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalMemoryLockCount(block), 0u);
    auto* first = static_cast<unsigned char*>(GlobalMemoryLock(block));
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 64; ++i) first[i] = static_cast<unsigned char>(i);
    auto* second = static_cast<unsigned char*>(GlobalMemoryLock(block));
    EXPECT_EQ(second, first);
    EXPECT_EQ(GlobalMemoryLockCount(block), 2u);
    EXPECT_TRUE(GlobalMemoryUnlock(block));
    EXPECT_FALSE(GlobalMemoryUnlock(block));
    EXPECT_EQ(GlobalMemoryLockCount(block), 0u);

    auto* again = static_cast<unsigned char*>(GlobalMemoryLock(block));
    ASSERT_NE(again, nullptr);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(again[i], i);
    GlobalMemoryUnlock(block);
    // Freeing a block that is still locked is allowed.
    GlobalMemoryLock(block);
    GlobalMemoryFree(block);
}

}  // namespace
}  // namespace gfx
