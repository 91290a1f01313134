#include "graphics/blit/clip_blit_rects.h"

#include <gtest/gtest.h>

#include <climits>

#include "graphics/blit/blit_flags.h"
#include "tests/unit/image/buffer_surface.h"

// Found by argument-dependent lookup, so they live beside BlitRect.
namespace gfx {

bool operator==(const BlitRect& a, const BlitRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& out, const BlitRect& r) {
    return out << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}

}  // namespace gfx

using namespace gfx;

namespace {

struct Outcome {
    bool proceed;
    Result status;
    BlitRect dst;
    BlitRect src;
};

class ClipBlitRectsTest : public ::testing::Test {
  protected:
    void Make(int32_t srcW, int32_t srcH, int32_t dstW, int32_t dstH,
              PixelFormat format = FMT_INDEX8) {
        ASSERT_EQ(source.Create(srcW, srcH, format, 0, nullptr), ResultOk);
        ASSERT_EQ(destination.Create(dstW, dstH, format, 0, nullptr), ResultOk);
    }
    void Clip(int32_t x, int32_t y, int32_t w, int32_t h) {
        ClipRegion* region = destination.NewRegion();
        region->SetRect(x, y, w, h);
        destination.SetRegion(region);
        region->Release();
    }
    Outcome Run(BlitRect dst, BlitRect src, uint32_t flags = 0) {
        Outcome o{false, ResultUnsupported, dst, src};
        o.proceed = ClipBlitRects(&source, &destination, &o.dst, &o.src, flags, &o.status);
        return o;
    }

    BufferSurface source;
    BufferSurface destination;
};

}  // namespace

TEST_F(ClipBlitRectsTest, ClipsToTheSurfaceAndShiftsTheSource) {
    Make(100, 50, 640, 480);
    Outcome o = Run({-10, -5, 100, 50}, {0, 0, 100, 50});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 0, 90, 45}));
    EXPECT_EQ(o.src, (BlitRect{10, 5, 90, 45}));

    o = Run({600, 470, 100, 50}, {0, 0, 100, 50});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{600, 470, 40, 10}));
    EXPECT_EQ(o.src, (BlitRect{0, 0, 40, 10}));
}

TEST_F(ClipBlitRectsTest, ScaledClippingTruncatesTowardZero) {
    Make(100, 50, 640, 480);
    Clip(0, 0, 120, 480);
    Outcome o = Run({20, 0, 200, 100}, {0, 0, 100, 50});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{20, 0, 100, 100}));
    EXPECT_EQ(o.src, (BlitRect{0, 0, 50, 50}));

    Make(2, 2, 10, 10);
    Clip(0, 0, 10, 10);
    o = Run({-1, 0, 3, 3}, {0, 0, 2, 2});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 0, 2, 3}));
    EXPECT_EQ(o.src, (BlitRect{0, 0, 1, 2}));
}

TEST_F(ClipBlitRectsTest, RegionIsKeptInsideTheSurface) {
    Make(8, 8, 10, 10);
    Clip(-100, 4, 1000, 1000);
    Outcome o = Run({-2, 0, 8, 8}, {0, 0, 8, 8});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 4, 6, 4}));
    EXPECT_EQ(o.src, (BlitRect{2, 4, 6, 4}));
    o = Run({5, 5, 8, 8}, {0, 0, 8, 8});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{5, 5, 5, 5}));

    // A region without rectangle clips to the surface; an inverted one leaves nothing.
    destination.SetRegion(nullptr);
    ClipRegion* bare = destination.NewRegion();
    destination.SetRegion(bare);
    bare->Release();
    o = Run({8, 8, 8, 8}, {0, 0, 8, 8});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{8, 8, 2, 2}));
    Clip(6, 6, -4, -4);
    o = Run({0, 0, 10, 10}, {0, 0, 8, 8});
    EXPECT_FALSE(o.proceed);
    EXPECT_EQ(o.status, ResultOk);
}

TEST_F(ClipBlitRectsTest, NothingToDrawIsSuccess) {
    Make(8, 8, 10, 10);
    for (BlitRect dst : {BlitRect{10, 0, 4, 4}, BlitRect{0, 10, 4, 4}, BlitRect{-4, 0, 4, 4},
                         BlitRect{0, -4, 4, 4}, BlitRect{2, 2, 0, 4}, BlitRect{2, 2, 4, 0},
                         BlitRect{5, 5, -3, 4}}) {
        const Outcome o = Run(dst, {0, 0, 4, 4});
        EXPECT_FALSE(o.proceed) << dst;
        EXPECT_EQ(o.status, ResultOk) << dst;
    }
}

TEST_F(ClipBlitRectsTest, RefusesWhatCannotBeDrawn) {
    Make(8, 8, 10, 10);
    struct Case {
        BlitRect dst;
        BlitRect src;
        uint32_t flags;
    } cases[] = {
        {{0, 0, 4, 4}, {-5, 0, 4, 4}, 0},  // ends left of the source
        {{0, 0, 4, 4}, {0, -5, 4, 4}, 0},  // ends above it
        {{0, 0, 4, 4}, {9, 0, 4, 4}, 0},   // starts right of it
        {{0, 0, 4, 4}, {0, 9, 4, 4}, 0},   // starts below it
        {{0, 0, 5, 4}, {-5, 0, 5, 4}, 0},  // passes the first test, then reads column -5
        {{0, 0, 4, 4}, {6, 0, 4, 4}, 0},   // runs off the right edge
        {{0, 0, 4, 4}, {8, 0, 0, 4}, 0},   // scaled from nothing at the edge: no first pixel
        {{0, 0, 4, 4}, {2, 2, -2, 4}, 0},  // negative source size
        {{0, 0, 4, 4}, {0, 0, 4, -1}, 0},
    };
    for (const Case& c : cases) {
        const Outcome o = Run(c.dst, c.src, c.flags);
        EXPECT_FALSE(o.proceed) << c.src;
        EXPECT_EQ(o.status, ResultInvalid) << c.src;
    }

    BlitRect d{0, 0, 1, 1}, s{0, 0, 1, 1};
    Result status = ResultOk;
    EXPECT_FALSE(ClipBlitRects(&source, nullptr, &d, &s, 0, &status));
    EXPECT_EQ(status, ResultInvalid);

    BufferSurface empty;
    EXPECT_FALSE(ClipBlitRects(&empty, &destination, &d, &s, 0, &status));
    EXPECT_EQ(status, ResultNoImage);
    EXPECT_FALSE(ClipBlitRects(&source, &empty, &d, &s, 0, &status));
    EXPECT_EQ(status, ResultNoImage);

    BufferSurface wide;
    ASSERT_EQ(wide.Create(10, 10, FMT_RGB565, 0, nullptr), ResultOk);
    EXPECT_FALSE(ClipBlitRects(&source, &wide, &d, &s, 0, &status));
    EXPECT_EQ(status, ResultInvalid);
}

TEST_F(ClipBlitRectsTest, NoClipKeepsRectanglesButRefusesThemOutsideTheSurfaces) {
    Make(100, 50, 640, 480);
    Clip(0, 0, 10, 10);  // not consulted
    Outcome o = Run({300, 200, 200, 100}, {10, 5, 90, 45}, BLIT_NOCLIP);
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{300, 200, 200, 100}));
    EXPECT_EQ(o.src, (BlitRect{10, 5, 90, 45}));

    for (BlitRect dst :
         {BlitRect{-10, -5, 100, 50}, BlitRect{600, 0, 41, 10}, BlitRect{0, 471, 10, 10}}) {
        o = Run(dst, {0, 0, 100, 50}, BLIT_NOCLIP);
        EXPECT_FALSE(o.proceed) << dst;
        EXPECT_EQ(o.status, ResultInvalid) << dst;
    }
    o = Run({0, 0, 10, 10}, {95, 0, 10, 10}, BLIT_NOCLIP);
    EXPECT_EQ(o.status, ResultInvalid);
    o = Run({0, 0, 10, 10}, {100, 0, 0, 10}, BLIT_NOCLIP);
    EXPECT_EQ(o.status, ResultInvalid);
}

// Mirrored blits take the part cut off on one side of the destination from the other side of
// the source, so the visible pixels stay where the unclipped blit would put them.
TEST_F(ClipBlitRectsTest, MirroredClippingKeepsThePictureInPlace) {
    Make(20, 10, 30, 30);
    Clip(0, 0, 30, 30);
    // Whole picture, cut on the left: the reversed picture's last columns show; read from 0.
    Outcome o = Run({-5, 0, 20, 10}, {0, 0, 20, 10}, BLIT_MIRROR_X);
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 0, 15, 10}));
    EXPECT_EQ(o.src, (BlitRect{0, 0, 15, 10}));
    // Cut on the right: the source's first columns are the ones lost.
    o = Run({25, 0, 20, 10}, {0, 0, 20, 10}, BLIT_MIRROR_X);
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{25, 0, 5, 10}));
    EXPECT_EQ(o.src, (BlitRect{15, 0, 5, 10}));
    // A partial source rectangle, cut on both sides.
    Clip(2, 0, 10, 30);
    o = Run({0, 0, 15, 10}, {3, 0, 15, 10}, BLIT_MIRROR_X);
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{2, 0, 10, 10}));
    EXPECT_EQ(o.src, (BlitRect{6, 0, 10, 10}));
    // Vertically the same; the other axis clips as usual.
    Clip(0, 4, 30, 30);
    o = Run({-2, 0, 20, 10}, {0, 0, 20, 10}, BLIT_MIRROR_Y);
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 4, 18, 6}));
    EXPECT_EQ(o.src, (BlitRect{2, 0, 18, 6}));
    // Scaled: 10 source columns over 20, the first 6 destination columns cut, mirrored.
    Clip(0, 0, 30, 30);
    o = Run({-6, 0, 20, 10}, {0, 0, 10, 10}, BLIT_MIRROR_X);
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 0, 14, 10}));
    EXPECT_EQ(o.src, (BlitRect{0, 0, 7, 10}));
}

TEST_F(ClipBlitRectsTest, ExtremeRectanglesDoNotOverflow) {
    Make(16, 16, 16, 16);
    Outcome o = Run({INT32_MAX - 4, 0, 100, 4}, {0, 0, 4, 4});
    EXPECT_FALSE(o.proceed);
    EXPECT_EQ(o.status, ResultOk);
    o = Run({INT32_MIN, 0, INT32_MAX, 4}, {0, 0, 4, 4});
    EXPECT_FALSE(o.proceed);
    EXPECT_EQ(o.status, ResultOk);
    // Offsets and sizes whose products exceed 32 bits.
    o = Run({-2000000000, 0, 2000000010, 4}, {0, 0, 2000000000, 4});
    EXPECT_FALSE(o.proceed);
    EXPECT_EQ(o.status, ResultInvalid);
    o = Run({-2000000000, 0, 2000000010, 4}, {0, 0, 16, 4});
    ASSERT_TRUE(o.proceed);
    EXPECT_EQ(o.dst, (BlitRect{0, 0, 10, 4}));
    EXPECT_EQ(o.src, (BlitRect{15, 0, 0, 4}));
    o = Run({0, 0, 16, 16}, {INT32_MAX, 0, INT32_MAX, 4}, BLIT_NOCLIP);
    EXPECT_EQ(o.status, ResultInvalid);
}
