#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "tests/unit/raster/raster_surfaces.h"

using namespace gfx;

namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

// An unclipped line in closed form: pixel i of the longer axis (y on a tie) has moved
// ceil(i * minor / major) - 1 steps along the shorter one, since the walk steps only once its
// error exceeds the major length. The end point is not drawn.
Pixels ModelLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const int64_t ax = std::abs(x1 - x0), ay = std::abs(y1 - y0);
    const bool xMajor = ax > ay;
    const int64_t major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
    Pixels out;
    for (int64_t i = 0; i < major; ++i) {
        const int32_t m = int32_t(i * minor == 0 ? 0 : (i * minor - 1) / major);
        const int32_t dx = int32_t(xMajor ? i : m), dy = int32_t(xMajor ? m : i);
        out.insert({x1 > x0 ? x0 + dx : x0 - dx, y1 > y0 ? y0 + dy : y0 - dy});
    }
    return out;
}

// The pixels that hold `value`, the rest of the surface holding 0.
Pixels Drawn(Surface& s, uint32_t value) {
    RowImage rows = ReadRows(s);
    const uint32_t bytes = BitsPerPixel(s.GetFormat()) / 8;
    Pixels out;
    for (int32_t y = 0; y < s.GetHeight(); ++y) {
        for (int32_t x = 0; x < s.GetWidth(); ++x) {
            uint32_t v = 0;
            for (uint32_t k = 0; k < bytes; ++k) v |= uint32_t{rows.Row(y)[x * bytes + k]} << (8 * k);
            if (v == value) out.insert({x, y});
            else EXPECT_EQ(v, 0u) << x << "," << y;
        }
    }
    PaintRows(s, nullptr);
    return out;
}

}  // namespace

// Lines of every direction and slope inside the surface, then the Part's own examples.
TEST(DrawLine, WalksLikeTheModel) {
    std::mt19937 rng(5);
    const PixelFormat formats[] = {FMT_INDEX8, FMT_RGB565, FMT_RGB24, FMT_RGB32};
    const uint32_t values[] = {0xA5, 0xBEEF, 0x5A5A5A, 0xC0FFEE11};  // byte order plays no part
    for (RasterKind kind : kRasterKinds) {
        for (int f = 0; f < 4; ++f) {
            SCOPED_TRACE(Describe(kind, formats[f]));
            SurfacePtr s = MakeSurface(kind, 40, 30, formats[f]);
            PaintRows(*s, nullptr);
            for (int trial = 0; trial < 40; ++trial) {
                const int32_t x0 = rng() % 40, y0 = rng() % 30, x1 = rng() % 40, y1 = rng() % 30;
                ASSERT_EQ(s->DrawLine(x0, y0, x1, y1, values[f]), ResultOk);
                ASSERT_EQ(Drawn(*s, values[f]), ModelLine(x0, y0, x1, y1))
                    << x0 << "," << y0 << " to " << x1 << "," << y1;
            }
        }
    }
    SurfacePtr s = MakeSurface(RasterKind::DibSection, 10, 10, FMT_INDEX8);
    PaintRows(*s, nullptr);
    ASSERT_EQ(s->DrawLine(0, 0, 4, 4, 1), ResultOk);
    EXPECT_EQ(Drawn(*s, 1), (Pixels{{0, 0}, {0, 1}, {1, 2}, {2, 3}}));
    ASSERT_EQ(s->DrawLine(5, 5, 5, 5, 1), ResultOk);
    EXPECT_TRUE(Drawn(*s, 1).empty());
}

// Ends far outside, up to the 32-bit limits, are moved onto the edges without overflow, and the
// moved end stays undrawn.
TEST(DrawLine, ClipsFarEnds) {
    for (RasterKind kind : kRasterKinds) {
        SurfacePtr s = MakeSurface(kind, 100, 100, FMT_RGB32);
        PaintRows(*s, nullptr);
        ASSERT_EQ(s->DrawLine(-10, 50, 200, 50, 7), ResultOk);
        EXPECT_EQ(Drawn(*s, 7), ModelLine(0, 50, 99, 50));
        ASSERT_EQ(s->DrawLine(INT32_MIN, 50, INT32_MAX, 50, 7), ResultOk);
        EXPECT_EQ(Drawn(*s, 7), ModelLine(0, 50, 99, 50));
        ASSERT_EQ(s->DrawLine(-1000000000, -1000000000, 1000000000, 1000000000, 7), ResultOk);
        EXPECT_EQ(Drawn(*s, 7), ModelLine(0, 0, 99, 99));
        // x + y = 99 between opposite corners of the 32-bit plane.
        ASSERT_EQ(s->DrawLine(INT32_MAX, 99 - INT32_MAX, 99 - INT32_MAX, INT32_MAX, 7), ResultOk);
        EXPECT_EQ(Drawn(*s, 7), ModelLine(99, 0, 0, 99));
    }
}

TEST(DrawLine, RegionsDepthsAndLocking) {
    SurfacePtr s = MakeSurface(RasterKind::MemoryDib, 20, 10, FMT_INDEX8);
    PaintRows(*s, nullptr);
    AttachRegion(*s, 5, 2, 100, 100);  // cut to the surface
    ASSERT_EQ(s->DrawLine(0, 4, 30, 4, 3), ResultOk);
    EXPECT_EQ(Drawn(*s, 3), ModelLine(5, 4, 19, 4));
    AttachRegion(*s, 50, 50, 10, 10);  // beside the surface: no edge to settle on, must not loop
    ASSERT_EQ(s->DrawLine(0, 0, 19, 9, 3), ResultOk);
    EXPECT_TRUE(Drawn(*s, 3).empty());

    SurfacePtr triplets = MakeSurface(RasterKind::DibSection, 4, 1, FMT_RGB24);
    PaintRows(*triplets, nullptr);
    ASSERT_EQ(triplets->DrawLine(0, 0, 1, 0, 0x010203), ResultOk);  // bits 16-23 first
    EXPECT_EQ(ReadRows(*triplets).bytes, (std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    SurfacePtr nibbles = MakeSurface(RasterKind::Buffer, 8, 8, FMT_INDEX4);
    PaintRows(*nibbles, nullptr);
    EXPECT_EQ(nibbles->DrawLine(0, 0, 7, 7, 0xF), ResultOk);  // no packed line routine
    EXPECT_EQ(ReadRows(*nibbles).bytes, std::vector<uint8_t>(32, 0));

    static_cast<BufferSurface&>(*nibbles).refuseLock = true;
    EXPECT_EQ(nibbles->DrawLine(-5, -1, 20, -3, 1), ResultOk);  // invisible: not locked
    EXPECT_EQ(nibbles->DrawLine(0, 0, 3, 3, 1), ResultEncoded);
}
