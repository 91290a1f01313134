#include "graphics/io/sub_stream.h"

#include <gtest/gtest.h>

#include "graphics/io/buffer_stream.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/io/resource_stream.h"

namespace gfx {
namespace {

// Counts its destruction, so that ownership of the parent can be seen.
class CountedStream : public BufferStream {
  public:
    CountedStream(uint8_t* bytes, uint32_t length, int* destroyed)
        : BufferStream(bytes, length, false, false), destroyed_(destroyed) {}
    ~CountedStream() override { ++*destroyed_; }

  private:
    int* destroyed_;
};

TEST(SubStream, WindowPointsIntoTheParentAndOwnsItOnlyWhenAsked) {
    uint8_t bytes[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    int destroyed = 0;
    auto* parent = new CountedStream(bytes, 16, &destroyed);
    {
        SubStream window(parent, 4, 12, false);
        EXPECT_EQ(window.kind, STREAM_SUB);
        EXPECT_EQ(window.size, 12u);
        EXPECT_EQ(window.data, bytes + 4);
        EXPECT_EQ(window.lockCount, 0);
        EXPECT_EQ(window.owner, reinterpret_cast<uintptr_t>(parent));
        EXPECT_EQ(window.extra, 0u);
    }
    EXPECT_EQ(destroyed, 0);
    delete new SubStream(parent, 0, 0, true);
    EXPECT_EQ(destroyed, 1);
}

TEST(SubStream, WindowOutsideTheParentIsRefusedButTheParentIsStillOwned) {
    uint8_t bytes[16] = {};
    int destroyed = 0;
    auto* parent = new CountedStream(bytes, 16, &destroyed);
    for (auto [offset, length] :
         {std::pair<uint32_t, uint32_t>{4, 13}, {17, 0}, {1, 0xFFFFFFFFu}, {0xFFFFFFF0u, 0x20}}) {
        SubStream window(parent, offset, length, false);
        EXPECT_EQ(window.kind, STREAM_NONE) << offset << "+" << length;
        EXPECT_EQ(window.data, nullptr);
        EXPECT_EQ(window.size, 0u);
    }
    delete new SubStream(parent, 10, 10, true);
    EXPECT_EQ(destroyed, 1);

    SubStream orphan(nullptr, 0, 0, true);
    EXPECT_EQ(orphan.kind, STREAM_NONE);
}

TEST(SubStream, ParentWithoutAccessibleBytesGivesNoWindow) {
    GlobalMemoryStream movable(32, false);
    movable.Unlock();
    SubStream window(&movable, 0, 8, false);
    EXPECT_EQ(window.kind, STREAM_NONE);
    EXPECT_EQ(window.data, nullptr);
}

TEST(SubStream, WindowOfAReadOnlyBlockIsReadOnly) {
    uint8_t bytes[4] = {};
    BufferStream parent(bytes, 4, false, true);
    SubStream window(&parent, 1, 2, false);
    EXPECT_EQ(window.readOnly, 1u);
}

TEST(ResourceStream, FoundResourceIsReadOnlyAndMissingOneHasKindZero) {
    ResourceStream found(nullptr, "Greeting", "testdata");
    EXPECT_EQ(found.kind, STREAM_RESOURCE);
    EXPECT_EQ(found.readOnly, 1u);
    EXPECT_EQ(found.lockCount, 0);
    EXPECT_EQ(found.size, 25u);
    ASSERT_NE(found.data, nullptr);
    EXPECT_EQ(found.data[0], 'E');
    found.Lock();
    found.Unlock();
    EXPECT_EQ(found.lockCount, 0);

    ResourceStream missing(nullptr, "NOPE", MakeIntResource(2));
    EXPECT_EQ(missing.kind, STREAM_NONE);
    EXPECT_EQ(missing.readOnly, 1u);
    EXPECT_EQ(missing.data, nullptr);
    EXPECT_EQ(missing.size, 0u);
}

}  // namespace
}  // namespace gfx
