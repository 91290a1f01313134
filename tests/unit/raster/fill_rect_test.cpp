#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "tests/unit/raster/raster_surfaces.h"

using namespace gfx;

namespace {

// Sets one pixel of the model: packed pixels take their bits from the value repeated across a
// byte; wider ones take the value's low bytes, least significant first.
void ModelPixel(RowImage& image, uint32_t bpp, int64_t x, int64_t y, uint32_t value) {
    uint8_t* row = image.Row(int32_t(y));
    if (bpp >= 8) {
        for (uint32_t k = 0; k < bpp / 8; ++k) row[x * (bpp / 8) + k] = uint8_t(value >> (8 * k));
        return;
    }
    const uint32_t perByte = 8 / bpp;
    uint32_t pattern = 0;
    for (uint32_t k = 0; k < perByte; ++k) pattern = (pattern << bpp) | value;
    const uint32_t mask = ((1u << bpp) - 1) << (8 - bpp * (x % perByte + 1));
    row[x / perByte] = uint8_t((row[x / perByte] & ~mask) | (pattern & mask));
}

uint8_t ByteAt(Surface& s, int32_t y, int32_t k) { return ReadRows(s).Row(y)[k]; }

}  // namespace

// Random rectangles, reaching past or lying beyond the surface and its region (which itself may
// reach past the surface or hold no rectangle), on every format and kind, against the model.
TEST(FillRect, MatchesThePixelModel) {
    std::mt19937 rng(77);
    const PixelFormat formats[] = {FMT_INDEX1, FMT_INDEX2, FMT_INDEX4, FMT_INDEX8, FMT_RGB555,
                                   FMT_BGR565, FMT_RGB24,  FMT_RGB32};
    for (RasterKind kind : kRasterKinds) {
        for (PixelFormat format : formats) {
            SCOPED_TRACE(Describe(kind, format));
            const uint32_t bpp = BitsPerPixel(format);
            const int32_t w = 21 + int32_t(rng() % 20), h = 5 + int32_t(rng() % 6);
            SurfacePtr s = MakeSurface(kind, w, h, format);
            if (!s) continue;
            RowImage model = PaintRows(*s, &rng);
            for (int trial = 0; trial < 60; ++trial) {
                int64_t clip[4] = {0, 0, w, h};
                if (trial % 3 == 0) {
                    s->SetRegion(nullptr);
                } else if (trial % 3 == 1) {
                    const int32_t rx = int32_t(rng() % (w + 6)) - 3, ry = int32_t(rng() % (h + 4)) - 2;
                    const int32_t rw = int32_t(rng() % (w + 4)), rh = int32_t(rng() % (h + 4));
                    AttachRegion(*s, rx, ry, rw, rh);
                    clip[0] = std::max(0, rx), clip[1] = std::max(0, ry);
                    clip[2] = std::min(w, rx + rw), clip[3] = std::min(h, ry + rh);
                } else {
                    ClipRegion* bare = s->NewRegion();
                    s->SetRegion(bare);
                    bare->Release();
                }
                const int32_t x = int32_t(rng() % (w + 10)) - 5, y = int32_t(rng() % (h + 6)) - 3;
                const int32_t rw = int32_t(rng() % (w + 6)) - 2, rh = int32_t(rng() % (h + 4)) - 1;
                const uint32_t value = bpp == 32 ? uint32_t(rng()) : uint32_t(rng()) & ((1u << bpp) - 1);
                ASSERT_EQ(s->FillRect(x, y, rw, rh, value), ResultOk);
                for (int64_t py = std::max<int64_t>(y, clip[1]); py < std::min<int64_t>(y + rh, clip[3]); ++py)
                    for (int64_t px = std::max<int64_t>(x, clip[0]); px < std::min<int64_t>(x + rw, clip[2]); ++px)
                        ModelPixel(model, bpp, px, py, value);
                ASSERT_EQ(ReadRows(*s), model) << x << "," << y << " " << rw << "x" << rh;
            }
            EXPECT_EQ(s->GetAccessCount(), 0);
        }
    }
}

TEST(FillRect, PackedRunsSetTheirBitsOnly) {
    SurfacePtr nibbles = MakeSurface(RasterKind::DibSection, 8, 1, FMT_INDEX4);
    ASSERT_EQ(nibbles->FillRect(3, 0, 2, 1, 0xA), ResultOk);
    EXPECT_EQ(ByteAt(*nibbles, 0, 1), 0x0A);
    EXPECT_EQ(ByteAt(*nibbles, 0, 2), 0xA0);
    // A run within one byte that ends on the byte's boundary draws too.
    ASSERT_EQ(nibbles->FillRect(1, 0, 1, 1, 0xA), ResultOk);
    EXPECT_EQ(ByteAt(*nibbles, 0, 0), 0x0A);

    SurfacePtr bits = MakeSurface(RasterKind::MemoryDib, 32, 2, FMT_INDEX1);
    ASSERT_EQ(bits->FillRect(5, 1, 16, 1, 1), ResultOk);  // x = 5 .. 20
    EXPECT_EQ(ReadRows(*bits).bytes, (std::vector<uint8_t>{0, 0, 0, 0, 0x07, 0xFF, 0xF8, 0}));

    // A value wider than the depth spills into the rectangle's other pixels, never past it.
    SurfacePtr pairs = MakeSurface(RasterKind::Buffer, 8, 1, FMT_INDEX2);
    ASSERT_EQ(pairs->FillRect(1, 0, 2, 1, 0x5), ResultOk);
    EXPECT_EQ(ReadRows(*pairs).bytes, (std::vector<uint8_t>{0x14, 0, 0, 0}));  // 0x55 & 0x3C
}

// What cannot show is not locked: a surface that refuses Lock tells which calls reach it.
TEST(FillRect, LocksOnlyWhenSomethingMayShow) {
    SurfacePtr s = MakeSurface(RasterKind::Buffer, 10, 6, FMT_RGB565);
    static_cast<BufferSurface&>(*s).refuseLock = true;
    EXPECT_EQ(s->FillRect(10, 0, 5, 5, 1), ResultOk);  // at the exclusive right edge
    EXPECT_EQ(s->FillRect(0, 6, 5, 5, 1), ResultOk);   // at the exclusive bottom edge
    EXPECT_EQ(s->FillRect(-5, -3, 5, 5, 1), ResultOk);
    EXPECT_EQ(s->FillRect(INT32_MAX, 0, INT32_MAX, 1, 1), ResultOk);
    EXPECT_EQ(s->FillRect(-5, -5, INT32_MAX, INT32_MAX, 1), ResultEncoded);
    AttachRegion(*s, 20, 20, 5, 5);  // beside the surface: nothing can show
    EXPECT_EQ(s->FillRect(0, 0, 30, 30, 1), ResultOk);
}
