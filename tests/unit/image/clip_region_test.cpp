#include "graphics/image/clip_region.h"

#include <gtest/gtest.h>

#include "graphics/platform/region_handle.h"

using namespace gfx;

namespace {

class CountedRegion : public ClipRegion {
  public:
    static inline int destroyed = 0;
    ~CountedRegion() override { ++destroyed; }
};

ClipRect Bounds(const ClipRegion& region) {
    ClipRect out{-1, -1, -1, -1};
    EXPECT_EQ(region.GetBounds(&out), ResultOk);
    return out;
}

bool operator==(const ClipRect& a, const ClipRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(ClipRegion, LastReleaseDestroys) {
    CountedRegion::destroyed = 0;
    auto* region = new CountedRegion;
    region->AddRef();
    EXPECT_EQ(region->Release(), 1);
    EXPECT_EQ(CountedRegion::destroyed, 0);
    EXPECT_EQ(region->Release(), 0);
    EXPECT_EQ(CountedRegion::destroyed, 1);
}

TEST(ClipRegion, EachRectangleReplacesTheLastInBoundsAndPlatformRegion) {
    ClipRegion region;
    ClipRect out{7, 7, 7, 7};
    EXPECT_EQ(region.GetBounds(&out), ResultUnsupported);
    EXPECT_TRUE(out == (ClipRect{7, 7, 7, 7}));

    region.SetRect(10, 20, 30, 40);
    EXPECT_TRUE(Bounds(region) == (ClipRect{10, 20, 40, 60}));
    const RegionHandle handle = region.GetHandle();
    region.SetRect(0, 0, 5, 5);
    EXPECT_TRUE(Bounds(region) == (ClipRect{0, 0, 5, 5}));
    EXPECT_EQ(region.GetHandle(), handle);
    ClipRect box{};
    ASSERT_TRUE(GetRegionBox(handle, &box));
    EXPECT_TRUE(box == (ClipRect{0, 0, 5, 5}));

    // Edges past the 32-bit range are held at its limits; a negative size stays as given.
    region.SetRect(INT32_MAX - 5, INT32_MIN + 5, 100, -100);
    EXPECT_TRUE(Bounds(region) == (ClipRect{INT32_MAX - 5, INT32_MIN + 5, INT32_MAX, INT32_MIN}));
    region.SetRect(10, 10, -4, 3);
    EXPECT_TRUE(Bounds(region) == (ClipRect{10, 10, 6, 13}));
}

TEST(ClipRegion, CopyAndCloneTakeTheRectangleButNotTheUserValue) {
    ClipRegion source;
    ClipRegion target;
    EXPECT_EQ(target.CopyFrom(nullptr), ResultInvalid);
    EXPECT_EQ(target.CopyFrom(&source), ResultInvalid);
    ClipRect out{};
    EXPECT_EQ(target.GetBounds(&out), ResultUnsupported);

    source.SetRect(10, 20, 30, 40);
    source.SetUserValue(0xABCD);
    ASSERT_EQ(target.CopyFrom(&source), ResultOk);
    EXPECT_TRUE(Bounds(target) == (ClipRect{10, 20, 40, 60}));
    EXPECT_EQ(target.GetUserValue(), 0u);

    ClipRegion* clone = source.Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetUserValue(), 0u);
    EXPECT_TRUE(Bounds(*clone) == (ClipRect{10, 20, 40, 60}));
    clone->Release();
}
