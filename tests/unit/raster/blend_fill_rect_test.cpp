#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "graphics/core/little_endian.h"
#include "tests/unit/raster/raster_surfaces.h"

using namespace gfx;

namespace {

// One pixel in plain arithmetic: each 5-bit field becomes
// floor((pixel * 8 * (w >> 3) + colour * 8 * ((256 - w) >> 3)) / 256), w held at 256 at most.
uint16_t ModelBlend(PixelFormat format, uint16_t pixel, uint16_t colour, uint32_t weight) {
    const uint32_t w = std::min<uint32_t>(weight, 256), pw = w >> 3, cw = (256 - w) >> 3;
    uint32_t out = 0;
    for (int shift : {Is555Format(format) ? 10 : 11, Is555Format(format) ? 5 : 6, 0}) {
        const uint32_t p = (pixel >> shift) & 31, c = (colour >> shift) & 31;
        out |= ((p * 8 * pw + c * 8 * cw) / 256) << shift;
    }
    return uint16_t(out);
}

}  // namespace

// Random rectangles, regions and weights (0, 256 and past it among them) on every 16-bit format
// and kind, against the model. Fields at the ends: weight 256 keeps them, 0 gives the colour's.
TEST(BlendFillRect, MatchesThePixelModel) {
    std::mt19937 rng(3);
    const uint32_t weights[] = {0, 1, 7, 8, 100, 128, 200, 255, 256, 257, 100000};
    for (RasterKind kind : kRasterKinds) {
        for (PixelFormat format : {FMT_RGB555, FMT_BGR555, FMT_RGB565, FMT_BGR565}) {
            SCOPED_TRACE(Describe(kind, format));
            const int32_t w = 19, h = 7;
            SurfacePtr s = MakeSurface(kind, w, h, format);
            RowImage model = PaintRows(*s, &rng);
            for (int trial = 0; trial < 40; ++trial) {
                int32_t clip[4] = {0, 0, w, h};
                s->SetRegion(nullptr);
                if (trial % 2) {
                    const int32_t rx = int32_t(rng() % 10) - 2, ry = int32_t(rng() % 4) - 1;
                    const int32_t rw = int32_t(rng() % 25), rh = int32_t(rng() % 9);
                    AttachRegion(*s, rx, ry, rw, rh);
                    clip[0] = std::max(0, rx), clip[1] = std::max(0, ry);
                    clip[2] = std::min(w, rx + rw), clip[3] = std::min(h, ry + rh);
                }
                const int32_t x = int32_t(rng() % 28) - 4, y = int32_t(rng() % 12) - 3;
                const int32_t rw = int32_t(rng() % 26) - 1, rh = int32_t(rng() % 10) - 1;
                const uint16_t colour = uint16_t(rng());
                const uint32_t weight = weights[rng() % std::size(weights)];
                ASSERT_EQ(s->BlendFillRect(x, y, rw, rh, 1, colour, weight), ResultOk);
                for (int32_t py = std::max(y, clip[1]); py < std::min(y + rh, clip[3]); ++py) {
                    for (int32_t px = std::max(x, clip[0]); px < std::min(x + rw, clip[2]); ++px) {
                        uint8_t* p = model.Row(py) + 2 * px;
                        StoreLE16(p, ModelBlend(format, LoadLE16(p), colour, weight));
                    }
                }
                ASSERT_EQ(ReadRows(*s), model) << x << "," << y << " " << rw << "x" << rh << " w " << weight;
            }
        }
    }
    SurfacePtr s = MakeSurface(RasterKind::DibSection, 2, 1, FMT_RGB555);
    PaintRows(*s, nullptr, 0xFF);
    ASSERT_EQ(s->BlendFillRect(0, 0, 2, 1, 1, 0, 100), ResultOk);  // 96 of 256 kept: 31 -> 11
    EXPECT_EQ(LoadLE16(ReadRows(*s).bytes.data()), (11 << 10) | (11 << 5) | 11);
}

TEST(BlendFillRect, OtherFormatsAndModesChangeNothing) {
    std::mt19937 rng(9);
    SurfacePtr triplets = MakeSurface(RasterKind::DibSection, 5, 3, FMT_RGB24);
    const RowImage before24 = PaintRows(*triplets, &rng);
    EXPECT_EQ(triplets->BlendFillRect(0, 0, 5, 3, 1, 0, 0), ResultOk);
    EXPECT_EQ(ReadRows(*triplets), before24);

    SurfacePtr s = MakeSurface(RasterKind::Buffer, 5, 3, FMT_RGB565);
    const RowImage before = PaintRows(*s, &rng);
    EXPECT_EQ(s->BlendFillRect(0, 0, 5, 3, 2, 0, 0), ResultOk);
    EXPECT_EQ(s->BlendFillRect(0, 0, 5, 3, 0, 0, 0), ResultOk);
    EXPECT_EQ(ReadRows(*s), before);
    static_cast<BufferSurface&>(*s).refuseLock = true;
    EXPECT_EQ(s->BlendFillRect(0, 0, 5, 3, 2, 0, 0), ResultEncoded);  // other modes still lock
    EXPECT_EQ(s->BlendFillRect(5, 0, 5, 3, 1, 0, 0), ResultOk);       // nothing shows: no lock
}
