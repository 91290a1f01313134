#include "graphics/core/clip_rule.h"

#include <gtest/gtest.h>

#include <climits>

using namespace gfx;

namespace {

bool operator==(const ClipRect& a, const ClipRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult SpanIs(PixelSpan span, int64_t start, int64_t length) {
    if (span.start == start && span.length == length) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "span {" << span.start << ", " << span.length << "}";
}

}  // namespace

// Each region below reaches past the 64 x 48 surface on one side only, so each case fails when
// that one side is not cut to the surface.
TEST(ClipRule, RegionBoundsAreCutToTheSurfaceOnEachSide) {
    const struct {
        ClipRect region;
        ClipRect want;
    } cases[] = {
        {{-5, 3, 20, 30}, {0, 3, 20, 30}},
        {{2, -7, 20, 30}, {2, 0, 20, 30}},
        {{2, 3, 65, 30}, {2, 3, 64, 30}},
        {{2, 3, 20, 49}, {2, 3, 20, 48}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 64, 48}},
        {{2, 3, 20, 30}, {2, 3, 20, 30}},
    };
    for (const auto& c : cases) {
        const ClipRect got = ClipRectWithin(&c.region, 64, 48);
        EXPECT_TRUE(got == c.want)
            << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom;
    }
    EXPECT_TRUE(ClipRectWithin(nullptr, 64, 48) == (ClipRect{0, 0, 64, 48}));
    EXPECT_FALSE(IsEmpty(ClipRectWithin(nullptr, 1, 1)));
}

TEST(ClipRule, RegionsThatMissTheSurfaceOrAreInvertedLeaveNothing) {
    const ClipRect regions[] = {
        {64, 0, 100, 48}, {0, 48, 64, 60}, {-10, 0, 0, 48},  {0, -10, 64, 0},
        {10, 10, 6, 13},  {10, 10, 13, 6}, {30, 20, 30, 40},
    };
    for (const ClipRect& region : regions) {
        EXPECT_TRUE(IsEmpty(ClipRectWithin(&region, 64, 48))) << region.left << ", " << region.top;
    }
    EXPECT_TRUE(IsEmpty(ClipRectWithin(nullptr, 0, 48)));
    EXPECT_TRUE(IsEmpty(ClipRectWithin(nullptr, 64, 0)));
}

TEST(ClipRule, SpansAreCutInSixtyFourBits) {
    EXPECT_TRUE(SpanIs(ClipSpan({-10, 100}, 0, 640), 0, 90));
    EXPECT_TRUE(SpanIs(ClipSpan({600, 100}, 0, 640), 600, 40));
    EXPECT_TRUE(SpanIs(ClipSpan({-10, 1000}, 5, 20), 5, 15));
    EXPECT_TRUE(SpanIs(ClipSpan({5, -3}, 0, 640), 5, -3));
    // Ends beyond 32 bits: from near the top of the range, nothing is left; from the bottom of
    // the range with the largest length, the end is just inside.
    EXPECT_LE(ClipSpan({INT_MAX - 4, 100}, 0, 640).length, 0);
    EXPECT_TRUE(SpanIs(ClipSpan({INT_MIN + 10, INT_MAX}, 0, 640), 0, 9));

    // Nothing to draw when the span ends at or before the low edge or starts at the high one.
    EXPECT_TRUE(Misses({-4, 4}, 0, 640));
    EXPECT_FALSE(Misses({-4, 5}, 0, 640));
    EXPECT_TRUE(Misses({640, 1}, 0, 640));
    EXPECT_FALSE(Misses({639, 1}, 0, 640));
    EXPECT_TRUE(Misses({INT_MIN, INT_MAX}, 0, 640));
    EXPECT_TRUE(Misses({INT_MAX - 4, 100}, 0, 640));
}

TEST(ClipRule, SourceSpansScaleTruncateAndMirrorWithoutOverflow) {
    // A 2-pixel source drawn over 3 destination pixels, one cut off at the start.
    EXPECT_TRUE(SpanIs(ScaleSpan({0, 2}, {-1, 3}, {0, 2}, false), 0, 1));
    EXPECT_TRUE(SpanIs(ScaleSpan({10, 100}, {-10, 100}, {0, 90}, false), 20, 90));
    // Mirrored, what the destination loses at its end the source loses at its start.
    EXPECT_TRUE(SpanIs(ScaleSpan({0, 100}, {600, 100}, {600, 40}, true), 60, 40));
    EXPECT_TRUE(SpanIs(ScaleSpan({0, 100}, {-5, 100}, {0, 95}, true), 0, 95));
    // Products beyond 32 bits: 100 source columns over two billion destination columns, of
    // which the last 10 show.
    EXPECT_TRUE(SpanIs(ScaleSpan({0, 100}, {-2000000000, 2000000010}, {0, 10}, false), 99, 0));
    EXPECT_TRUE(
        SpanIs(ScaleSpan({0, INT_MAX}, {0, INT_MAX}, {0, INT_MAX - 1}, false), 0, INT_MAX - 1));
    // A negative requested length is kept, with its source unchanged.
    EXPECT_TRUE(SpanIs(ScaleSpan({3, 8}, {6, -4}, {6, -4}, false), 3, 8));
    EXPECT_TRUE(SpanIs(ScaleSpan({3, 8}, {6, -4}, {6, -4}, true), 3, 8));
}

TEST(ClipRule, SpansWithinReadAtLeastOnePixel) {
    EXPECT_TRUE(SpanWithin({0, 100}, 100));
    EXPECT_FALSE(SpanWithin({1, 100}, 100));
    EXPECT_FALSE(SpanWithin({-1, 5}, 100));
    EXPECT_TRUE(SpanWithin({99, 0}, 100));
    EXPECT_FALSE(SpanWithin({100, 0}, 100));
    EXPECT_FALSE(SpanWithin({0, 0}, 0));
    EXPECT_TRUE(SpanWithin({5, -3}, 6));
    // A 32-bit end would wrap to a negative value and pass.
    EXPECT_FALSE(SpanWithin({INT_MAX - 1, 100}, 65535));
    EXPECT_FALSE(SpanWithin({100, INT_MAX}, 65535));
}
