#include "graphics/blit/clip_blit_rects.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "graphics/core/blit_flags.h"
#include "graphics/core/clip_rule.h"
#include "graphics/image/clip_region.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

// kLockOnly: proceeds with an empty destination, which Blit locks without drawing.
enum Outcome { kDraw, kLockOnly, kNothing, kRefused };

struct ClipCase {
    ClipRect region;  // left INT_MIN: no region
    BlitRect dst;
    BlitRect src;
    uint32_t flags;
    Outcome outcome;
    BlitRect wantDst{};
    BlitRect wantSrc{};
};

constexpr ClipRect kNone{INT_MIN, 0, 0, 0};
constexpr uint32_t kMX = BLIT_MIRROR_X;
constexpr uint32_t kMY = BLIT_MIRROR_Y;
constexpr int32_t kBig = 2000000000;

// Source 100 x 50 and destination 640 x 480, both 8-bit.
const ClipCase kCases[] = {
    // Clipping to the surface shifts the source by the part cut off.
    {kNone, {-10, -5, 100, 50}, {0, 0, 100, 50}, 0, kDraw, {0, 0, 90, 45}, {10, 5, 90, 45}},
    {kNone, {600, 470, 100, 50}, {0, 0, 100, 50}, 0, kDraw, {600, 470, 40, 10}, {0, 0, 40, 10}},
    // Scaled: offsets and sizes scale and truncate toward zero.
    {{0, 0, 120, 480},
     {20, 0, 200, 100},
     {0, 0, 100, 50},
     0,
     kDraw,
     {20, 0, 100, 100},
     {0, 0, 50, 50}},
    {kNone, {-1, 0, 3, 3}, {0, 0, 2, 2}, 0, kDraw, {0, 0, 2, 3}, {0, 0, 1, 2}},
    // A region reaching beyond the surface is cut to it; an inverted one leaves nothing.
    {{-100, 470, 900, 530},
     {-2, 460, 8, 30},
     {0, 0, 8, 30},
     0,
     kDraw,
     {0, 470, 6, 10},
     {2, 10, 6, 10}},
    {{0, 0, 900, 480},
     {600, 0, 100, 10},
     {0, 0, 100, 10},
     0,
     kDraw,
     {600, 0, 40, 10},
     {0, 0, 40, 10}},
    {{0, -100, 640, 480},
     {0, -5, 10, 20},
     {0, 0, 10, 20},
     0,
     kDraw,
     {0, 0, 10, 15},
     {0, 5, 10, 15}},
    {{6, 6, 2, 2}, {0, 0, 10, 10}, {0, 0, 10, 10}, 0, kNothing},
    // Nothing to draw.
    {kNone, {640, 0, 4, 4}, {0, 0, 4, 4}, 0, kNothing},
    {kNone, {2, 2, 0, 4}, {0, 0, 4, 4}, 0, kNothing},
    // A negative size inside the clip rectangle goes on to the source check and the locks.
    {kNone, {5, 5, -3, 4}, {0, 0, 4, 4}, 0, kLockOnly, {5, 5, -3, 4}, {0, 0, 4, 4}},
    {kNone, {0, 10, 4, -2}, {0, 0, 4, 4}, kMY, kLockOnly, {0, 10, 4, -2}, {0, 0, 4, 4}},
    {kNone, {6, 0, -4, 8}, {96, 0, 8, 8}, 0, kRefused},
    {kNone, {-1, 0, -4, 8}, {96, 0, 8, 8}, 0, kNothing},
    {kNone, {INT_MAX - 4, 0, 100, 4}, {0, 0, 4, 4}, 0, kNothing},
    {kNone, {INT_MIN, 0, INT_MAX, 4}, {0, 0, 4, 4}, 0, kNothing},
    // Source rectangles that would be read outside the source.
    {kNone, {0, 0, 4, 4}, {-5, 0, 4, 4}, 0, kRefused},
    {kNone, {0, 0, 5, 10}, {-5, 0, 5, 10}, 0, kRefused},
    {kNone, {0, 0, 5, 5}, {96, 0, 5, 5}, 0, kRefused},
    {kNone, {0, 0, 4, 4}, {100, 0, 0, 4}, 0, kRefused},
    {kNone, {0, 0, 4, 4}, {2, 2, -2, 4}, 0, kRefused},
    {kNone, {-kBig, 0, kBig + 10, 4}, {0, 0, kBig, 4}, 0, kRefused},
    // Products beyond 32 bits: 100 columns over two billion, of which the last 10 show.
    {kNone, {-kBig, 0, kBig + 10, 4}, {0, 0, 100, 4}, 0, kDraw, {0, 0, 10, 4}, {99, 0, 0, 4}},
    // BLIT_NOCLIP: no clipping, but nothing outside the surfaces.
    {{0, 0, 10, 10},
     {300, 200, 200, 100},
     {10, 5, 90, 45},
     BLIT_NOCLIP,
     kDraw,
     {300, 200, 200, 100},
     {10, 5, 90, 45}},
    {kNone, {-10, -5, 100, 50}, {0, 0, 100, 50}, BLIT_NOCLIP, kRefused},
    {kNone, {0, 0, 10, 10}, {95, 0, 10, 10}, BLIT_NOCLIP, kRefused},
    {kNone, {0, 0, 10, 10}, {100, 0, 0, 10}, BLIT_NOCLIP, kRefused},
    // BLIT_NOCLIP with an empty destination: locked without drawing, wherever it lies.
    {kNone, {2, 2, 0, 4}, {0, 0, 4, 4}, BLIT_NOCLIP, kLockOnly, {2, 2, 0, 4}, {0, 0, 4, 4}},
    {kNone,
     {-50, 900, 10, 0},
     {0, 0, 10, 0},
     BLIT_NOCLIP,
     kLockOnly,
     {-50, 900, 10, 0},
     {0, 0, 10, 0}},
    // Mirrored: the part cut off on one side of the destination comes off the other side of
    // the source, on either axis, scaled or not.
    {kNone, {-5, 0, 100, 10}, {0, 0, 100, 10}, kMX, kDraw, {0, 0, 95, 10}, {0, 0, 95, 10}},
    {kNone, {600, 0, 100, 10}, {0, 0, 100, 10}, kMX, kDraw, {600, 0, 40, 10}, {60, 0, 40, 10}},
    {{2, 0, 12, 480}, {0, 0, 15, 10}, {3, 0, 15, 10}, kMX, kDraw, {2, 0, 10, 10}, {6, 0, 10, 10}},
    {kNone, {-2, -4, 10, 20}, {0, 0, 10, 20}, kMY, kDraw, {0, 0, 8, 16}, {2, 0, 8, 16}},
    {kNone, {-2, -4, 10, 20}, {0, 0, 10, 20}, 0, kDraw, {0, 0, 8, 16}, {2, 4, 8, 16}},
    {kNone, {-6, 0, 20, 10}, {0, 0, 10, 10}, kMX, kDraw, {0, 0, 14, 10}, {0, 0, 7, 10}},
};

bool Same(const BlitRect& a, const BlitRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

TEST(ClipBlitRects, ClipsScalesAndRefusesByTheTable) {
    for (size_t n = 0; n < std::size(kCases); ++n) {
        const ClipCase& c = kCases[n];
        BufferSurface source;
        BufferSurface destination;
        ASSERT_EQ(source.Create(100, 50, FMT_INDEX8, 0, nullptr), ResultOk);
        ASSERT_EQ(destination.Create(640, 480, FMT_INDEX8, 0, nullptr), ResultOk);
        if (c.region.left != INT_MIN) {
            ClipRegion* region = destination.NewRegion();
            region->SetRect(c.region.left, c.region.top, c.region.right - c.region.left,
                            c.region.bottom - c.region.top);
            destination.SetRegion(region);
            region->Release();
        }
        BlitRect dst = c.dst;
        BlitRect src = c.src;
        Result status = ResultUnsupported;
        const bool proceed = ClipBlitRects(&source, &destination, &dst, &src, c.flags, &status);
        EXPECT_EQ(proceed, c.outcome == kDraw || c.outcome == kLockOnly) << "case " << n;
        EXPECT_EQ(status, c.outcome == kRefused ? ResultInvalid : ResultOk) << "case " << n;
        if (proceed) {
            EXPECT_TRUE(Same(dst, c.wantDst)) << "case " << n << ": destination " << dst.x << ", "
                                              << dst.y << ", " << dst.width << ", " << dst.height;
            EXPECT_TRUE(Same(src, c.wantSrc)) << "case " << n << ": source " << src.x << ", "
                                              << src.y << ", " << src.width << ", " << src.height;
        }
    }
}

// Random requests, many at or beyond the edges of the surfaces and of the 32-bit range, on
// regions that may reach past the destination on any side: whatever proceeds to be drawn lies
// inside both surfaces (the source read as at least one pixel each way), and an unscaled request
// keeps the source and destination sizes equal, since its routine reads as many source pixels as
// it writes.
TEST(ClipBlitRects, WhatProceedsToBeDrawnLiesInsideBothSurfaces) {
    BufferSurface source;
    BufferSurface destination;
    ASSERT_EQ(source.Create(100, 50, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(destination.Create(64, 48, FMT_INDEX8, 0, nullptr), ResultOk);
    ClipRegion* region = destination.NewRegion();
    std::mt19937 random(4242);
    const int32_t edges[] = {INT_MIN, -100000, -101, -100, -64, -50,    -48,    -7, -1,
                             0,       1,       2,    7,    47,  48,     49,     50, 63,
                             64,      65,      99,   100,  101, 100000, INT_MAX};
    // Mostly values around the surfaces, sometimes edges of either or of the 32-bit range.
    auto pick = [&](int32_t low, int32_t high) {
        const uint32_t r = random();
        if (r % 8 == 0) return static_cast<int32_t>(random());
        if (r % 8 == 1) return edges[(r / 8) % std::size(edges)];
        return low + static_cast<int32_t>((r / 8) % static_cast<uint32_t>(high - low + 1));
    };
    auto position = [&]() { return pick(-40, 60); };
    auto size = [&]() { return pick(0, 130); };
    auto sourcePosition = [&]() { return pick(-5, 45); };
    auto sourceSize = [&]() { return pick(0, 50); };
    const uint32_t flagChoices[] = {0, BLIT_MIRROR_X, BLIT_MIRROR_Y, BLIT_MIRROR_X | BLIT_MIRROR_Y,
                                    BLIT_NOCLIP};
    int drawn = 0;
    for (int trial = 0; trial < 40000; ++trial) {
        if (random() % 3 == 0) {
            destination.SetRegion(nullptr);
        } else {
            region->SetRect(position(), position(), size(), size());
            destination.SetRegion(region);
        }
        const BlitRect requestedDst{position(), position(), size(), size()};
        BlitRect requestedSrc{sourcePosition(), sourcePosition(), sourceSize(), sourceSize()};
        // Half the sources lie inside the source, so that the clipping decides.
        if (random() % 2 == 0) {
            requestedSrc.x = static_cast<int32_t>(random() % 100);
            requestedSrc.width = static_cast<int32_t>(random() % (101 - requestedSrc.x));
            requestedSrc.y = static_cast<int32_t>(random() % 50);
            requestedSrc.height = static_cast<int32_t>(random() % (51 - requestedSrc.y));
        }
        // Often an unscaled request, the common case.
        if (random() % 2 == 0) {
            requestedSrc.width = requestedDst.width;
            requestedSrc.height = requestedDst.height;
        }
        const uint32_t flags = flagChoices[random() % std::size(flagChoices)];
        BlitRect dst = requestedDst;
        BlitRect src = requestedSrc;
        Result status = ResultUnsupported;
        const bool proceed = ClipBlitRects(&source, &destination, &dst, &src, flags, &status);
        const auto describe = [&]() {
            return ::testing::Message()
                   << "trial " << trial << " dst " << requestedDst.x << ", " << requestedDst.y
                   << ", " << requestedDst.width << ", " << requestedDst.height << " src "
                   << requestedSrc.x << ", " << requestedSrc.y << ", " << requestedSrc.width << ", "
                   << requestedSrc.height << " flags " << flags;
        };
        if (!proceed) {
            ASSERT_TRUE(status == ResultOk || status == ResultInvalid) << describe();
            continue;
        }
        ASSERT_EQ(status, ResultOk) << describe();
        if (dst.width <= 0 || dst.height <= 0) {
            // Only a request that was empty itself proceeds empty.
            ASSERT_TRUE(requestedDst.width <= 0 || requestedDst.height <= 0) << describe();
            continue;
        }
        ++drawn;
        ASSERT_TRUE(SpanWithin({dst.x, dst.width}, 64) && SpanWithin({dst.y, dst.height}, 48))
            << describe();
        ASSERT_TRUE(SpanWithin({src.x, src.width}, 100) && SpanWithin({src.y, src.height}, 50))
            << describe();
        if (requestedSrc.width == requestedDst.width &&
            requestedSrc.height == requestedDst.height) {
            ASSERT_EQ(src.width, dst.width) << describe();
            ASSERT_EQ(src.height, dst.height) << describe();
        }
    }
    region->Release();
    // The requests reach the drawing case often enough to mean something.
    EXPECT_GT(drawn, 2000);
}
