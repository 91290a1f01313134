#include "graphics/image/clip_region.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/platform/region_handle.h"

using namespace gfx;

namespace {

class CountedRegion : public ClipRegion {
  public:
    static inline int destroyed = 0;
    ~CountedRegion() override { ++destroyed; }
};

void ExpectRect(const ClipRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

}  // namespace

TEST(ClipRegion, LastReleaseDestroys) {
    CountedRegion::destroyed = 0;
    auto* region = new CountedRegion;
    region->SetRect(0, 0, 4, 4);
    region->AddRef();
    EXPECT_EQ(region->Release(), 1);
    EXPECT_EQ(CountedRegion::destroyed, 0);
    EXPECT_EQ(region->Release(), 0);
    EXPECT_EQ(CountedRegion::destroyed, 1);
}

TEST(ClipRegion, BoundsFollowTheLastRectangleAndThePlatformRegionToo) {
    ClipRegion region;
    ClipRect out{7, 7, 7, 7};
    EXPECT_EQ(region.GetBounds(&out), ResultUnsupported);
    ExpectRect(out, 7, 7, 7, 7);
    EXPECT_EQ(region.GetHandle(), nullptr);

    ASSERT_EQ(region.SetRect(10, 20, 30, 40), ResultOk);
    ASSERT_EQ(region.GetBounds(&out), ResultOk);
    ExpectRect(out, 10, 20, 40, 60);
    const RegionHandle handle = region.GetHandle();
    ASSERT_NE(handle, nullptr);

    ASSERT_EQ(region.SetRect(0, 0, 5, 5), ResultOk);
    ASSERT_EQ(region.GetBounds(&out), ResultOk);
    ExpectRect(out, 0, 0, 5, 5);
    EXPECT_EQ(region.GetHandle(), handle);  // replaced in place
    ClipRect box{};
    ASSERT_TRUE(GetRegionBox(handle, &box));
    ExpectRect(box, 0, 0, 5, 5);

    EXPECT_EQ(region.GetBounds(nullptr), ResultInvalid);
}

TEST(ClipRegion, EdgesBeyondTheIntegerRangeAreHeldAtItsLimits) {
    ClipRegion region;
    region.SetRect(INT32_MAX - 5, INT32_MIN + 5, 100, -100);
    ClipRect out{};
    ASSERT_EQ(region.GetBounds(&out), ResultOk);
    ExpectRect(out, INT32_MAX - 5, INT32_MIN + 5, INT32_MAX, INT32_MIN);

    // A negative size keeps its edges where they fall: the area is empty to the blit engine.
    region.SetRect(10, 10, -4, 3);
    ASSERT_EQ(region.GetBounds(&out), ResultOk);
    ExpectRect(out, 10, 10, 6, 13);

    // A copy keeps the clamped edges.
    region.SetRect(INT32_MIN, 0, -1, 1);
    ClipRegion copy;
    ASSERT_EQ(copy.CopyFrom(&region), ResultOk);
    ASSERT_EQ(copy.GetBounds(&out), ResultOk);
    ExpectRect(out, INT32_MIN, 0, INT32_MIN, 1);
}

TEST(ClipRegion, CopyAndCloneTakeTheRectangleButNotTheUserValue) {
    ClipRegion source;
    ClipRegion target;
    EXPECT_EQ(target.CopyFrom(nullptr), ResultInvalid);
    EXPECT_EQ(target.CopyFrom(&source), ResultInvalid);  // no rectangle yet
    ClipRect out{};
    EXPECT_EQ(target.GetBounds(&out), ResultUnsupported);

    source.SetRect(10, 20, 30, 40);
    source.SetUserValue(0xABCD);
    EXPECT_EQ(source.GetUserValue(), 0xABCDu);
    ASSERT_EQ(target.CopyFrom(&source), ResultOk);
    ASSERT_EQ(target.GetBounds(&out), ResultOk);
    ExpectRect(out, 10, 20, 40, 60);
    EXPECT_EQ(target.GetUserValue(), 0u);
    EXPECT_NE(target.GetHandle(), source.GetHandle());

    ClipRegion* clone = source.Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetRefCount(), 1);
    EXPECT_EQ(clone->GetUserValue(), 0u);
    ASSERT_EQ(clone->GetBounds(&out), ResultOk);
    ExpectRect(out, 10, 20, 40, 60);
    clone->Release();

    ClipRegion bare;
    ClipRegion* bareClone = bare.Clone();
    ASSERT_NE(bareClone, nullptr);
    EXPECT_EQ(bareClone->GetBounds(&out), ResultUnsupported);
    bareClone->Release();
}
