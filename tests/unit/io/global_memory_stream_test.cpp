#include "graphics/io/global_memory_stream.h"

#include <gtest/gtest.h>

#include "graphics/io/buffer_stream.h"
#include "graphics/platform/global_memory.h"

namespace gfx {
namespace {

TEST(GlobalMemoryStream, FixedBlockKeepsItsAddressThroughEveryLockPair) {
    GlobalMemoryStream stream(256, true);
    ASSERT_EQ(stream.kind, STREAM_GLOBAL_MEMORY);
    EXPECT_EQ(stream.size, 256u);
    EXPECT_EQ(stream.lockCount, 1);
    EXPECT_EQ(stream.readOnly, 0u);
    EXPECT_NE(stream.extra, 0u);
    uint8_t* address = stream.data;
    ASSERT_NE(address, nullptr);
    stream.Unlock();
    EXPECT_EQ(stream.lockCount, 0);
    EXPECT_EQ(stream.data, address);
    stream.Lock();
    stream.Lock();
    EXPECT_EQ(stream.lockCount, 2);
    EXPECT_EQ(stream.data, address);
}

TEST(GlobalMemoryStream, MovableBlockHasNoAddressWhileUnlockedAndKeepsItsBytes) {
    GlobalMemoryStream stream(100, false);
    ASSERT_EQ(stream.kind, STREAM_GLOBAL_MEMORY);
    EXPECT_EQ(stream.extra, 0u);
    ASSERT_NE(stream.data, nullptr);
    auto block = reinterpret_cast<GlobalHandle>(stream.owner);
    EXPECT_EQ(GlobalMemoryLockCount(block), 1u);
    for (int i = 0; i < 100; ++i) stream.data[i] = static_cast<uint8_t>(i * 3);

    stream.Lock();
    EXPECT_EQ(GlobalMemoryLockCount(block), 1u);  // the outer lock holds the platform lock
    stream.Unlock();
    EXPECT_NE(stream.data, nullptr);
    stream.Unlock();
    EXPECT_EQ(stream.data, nullptr);
    EXPECT_EQ(GlobalMemoryLockCount(block), 0u);

    // An unpaired Unlock changes nothing, so the next Lock really maps the block again.
    stream.Unlock();
    EXPECT_EQ(stream.lockCount, 0);
    stream.Lock();
    ASSERT_NE(stream.data, nullptr);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(stream.data[i], static_cast<uint8_t>(i * 3));
}

TEST(GlobalMemoryStream, DestroyingWithSurplusLocksFreesTheBlock) {
    // Leak detection of the sanitized build shows a block left behind.
    auto* movable = new GlobalMemoryStream(64, false);
    movable->Lock();
    movable->Lock();
    EXPECT_EQ(movable->lockCount, 3);
    delete movable;
    auto* fixed = new GlobalMemoryStream(64, true);
    fixed->Lock();
    delete fixed;
}

TEST(BufferStream, OwnedBlockIsFreedAndForeignMemoryIsLeftAlone) {
    auto* block = static_cast<uint8_t*>(GlobalMemoryAlloc(32, true));
    ASSERT_NE(block, nullptr);
    auto* owned = new BufferStream(block, 32, true, false);
    EXPECT_EQ(owned->kind, STREAM_BUFFER);
    EXPECT_EQ(owned->lockCount, 1);
    EXPECT_EQ(owned->data, block);
    EXPECT_EQ(owned->readOnly, 0u);
    delete owned;

    uint8_t local[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    {
        BufferStream borrowed(local, sizeof local, false, true);
        EXPECT_EQ(borrowed.readOnly, 1u);
        borrowed.Lock();
        borrowed.Unlock();
        EXPECT_EQ(borrowed.data, local);
    }
    EXPECT_EQ(local[7], 8);
}

}  // namespace
}  // namespace gfx
