// The nearest-neighbour scaled routines against a per-pixel model (source position by
// floor(i * h / H), then the key, stipple or blend rule written out per channel), and through
// whole Blit calls.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "graphics/blit/blit_registry.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/stipple_thresholds.h"
#include "tests/unit/blit/pixel_grid.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;
using R = RoutineId;

namespace {

enum class Mode { Keyed, Stipple, Mask555, Mask565, Mask24 };

struct Case {
    RoutineId id;
    int bytes;
    Mode mode;
};

constexpr Case kCases[] = {
    {R::Blt8ScaledKeyed, 1, Mode::Keyed},           {R::Blt8ScaledStipple, 1, Mode::Stipple},
    {R::Blt16ScaledKeyed, 2, Mode::Keyed},          {R::Blt16ScaledStipple, 2, Mode::Stipple},
    {R::Blt16ScaledMaskAlpha555, 2, Mode::Mask555}, {R::Blt16ScaledMaskAlpha565, 2, Mode::Mask565},
    {R::Blt24ScaledKeyed, 3, Mode::Keyed},          {R::Blt24ScaledStipple, 3, Mode::Stipple},
    {R::Blt24ScaledMaskAlpha, 3, Mode::Mask24},     {R::Blt32ScaledKeyed, 4, Mode::Keyed},
    {R::Blt32ScaledStipple, 4, Mode::Stipple},
};

// Blends channel by channel: `shifts` and `widths` give each channel's place; a channel takes
// part by its top 5 bits. A 16-bit channel comes back as floor(sum / 32) with any low bits clear,
// a byte as floor(sum / 4).
uint32_t TableBlendModel(uint32_t s, uint32_t d, int m, const int (&shifts)[3],
                         const int (&widths)[3]) {
    const uint32_t ws = m >> 3, wd = (255 - m) >> 3;
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        const uint32_t field = (1u << widths[k]) - 1;
        const uint32_t sc = ((s >> shifts[k]) & field) >> (widths[k] - 5);
        const uint32_t dc = ((d >> shifts[k]) & field) >> (widths[k] - 5);
        const uint32_t sum = sc * ws + dc * wd;
        out |= (widths[k] == 8 ? sum / 4 : (sum / 32) << (widths[k] - 5)) << shifts[k];
    }
    return out;
}

uint32_t Model(Mode mode, uint32_t s, uint32_t d, int m, const BlitCall& c, int32_t i, int32_t j) {
    const bool admitted = (c.level >> 2) >= StippleThresholds[(c.dy + i) & 7][(c.dx + j) & 7];
    switch (mode) {
        case Mode::Stipple:
            if (!admitted) return d;
            [[fallthrough]];
        case Mode::Keyed:
            if ((c.flags & BLIT_SRCKEY) && s == c.srcKey) return d;
            if ((c.flags & BLIT_DESTKEY) && d != c.dstKey) return d;
            return s;
        case Mode::Mask555:
            return m == 0 ? d : m == 255 ? s : TableBlendModel(s, d, m, {10, 5, 0}, {5, 5, 5});
        case Mode::Mask565:
            return m == 0 ? d : m == 255 ? s : TableBlendModel(s, d, m, {11, 5, 0}, {5, 6, 5});
        case Mode::Mask24:
            if (!(c.flags & BLIT_EXACT)) return TableBlendModel(s, d, m, {16, 8, 0}, {8, 8, 8});
            uint32_t out = 0;
            for (int k = 0; k < 24; k += 8) {
                out |= ((((s >> k) & 255) * m + ((d >> k) & 255) * (256 - m)) >> 8) << k;
            }
            return out;
    }
    return d;
}

// Source column or row for destination index k: the start (the far end when mirrored) stepped by
// floor(k * from / to); a side of 0 stays on its first pixel.
int32_t SourceIndex(int32_t start, int32_t from, int32_t to, int32_t k, bool mirror) {
    const int32_t n = from > 0 ? from : 1;
    const int32_t step = static_cast<int32_t>(int64_t{k} * n / to);
    return mirror ? start + n - 1 - step : start + step;
}

struct Scene {
    PixelGrid dst, src, mask;
    BlitCall call;
};

void RunScalar(const Case& c, Scene& scene) {
    BlitCall call = scene.call;
    call.dst = scene.dst.Data();
    call.dstPitch = scene.dst.Pitch();
    call.src = scene.src.Data();
    call.srcPitch = scene.src.Pitch();
    call.mask = scene.mask.Data();
    call.maskPitch = scene.mask.Pitch();
    BodyOf(c.id, BodyKind::Scalar).Call(call);
}

PixelGrid Expected(const Case& c, const Scene& scene) {
    PixelGrid out = scene.dst;
    const BlitCall& k = scene.call;
    for (int32_t i = 0; i < k.height; ++i) {
        const int32_t row = SourceIndex(k.sy, k.sh, k.height, i, k.flags & BLIT_MIRROR_Y);
        for (int32_t j = 0; j < k.width; ++j) {
            const int32_t col = SourceIndex(k.sx, k.sw, k.width, j, k.flags & BLIT_MIRROR_X);
            const uint32_t d = out.Get(k.dx + j, k.dy + i);
            const int m = static_cast<int>(scene.mask.Get(col, row));
            out.Set(k.dx + j, k.dy + i, Model(c.mode, scene.src.Get(col, row), d, m, k, i, j));
        }
    }
    return out;
}

// Source pixels from a small palette so that keys occur, and mask bytes at the ends of the range.
Scene MakeScene(std::mt19937& rng, const Case& c) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int32_t width = pick(1, 13), height = pick(1, 6);
    const int32_t sw = pick(0, 3) == 0 ? pick(0, 2) : pick(1, 20), sh = pick(0, 9);
    const int32_t dx = pick(0, 9), dy = pick(0, 9), sx = pick(0, 5), sy = pick(0, 3);
    const int32_t srcW = sx + std::max(sw, 1), srcH = sy + std::max(sh, 1);
    Scene s{PixelGrid(dx + width + 2, dy + height + 2, c.bytes), PixelGrid(srcW, srcH, c.bytes),
            PixelGrid(srcW, srcH, 1), BlitCall{}};
    const uint32_t all = c.bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * c.bytes)) - 1;
    const uint32_t colours[3] = {uint32_t(rng()) & all, uint32_t(rng()) & all,
                                 uint32_t(rng()) & all};
    s.dst.FillPattern(rng());
    for (int32_t y = 0; y < srcH; ++y) {
        for (int32_t x = 0; x < srcW; ++x) {
            s.src.Set(x, y, pick(0, 2) == 0 ? colours[pick(0, 2)] : rng() & all);
            static constexpr uint8_t kEnds[] = {0, 1, 4, 7, 8, 128, 247, 248, 254, 255};
            s.mask.Set(x, y, pick(0, 1) ? kEnds[pick(0, 9)] : pick(0, 255));
        }
    }
    s.dst.Set(dx, dy, colours[0]);
    static constexpr uint32_t kLevels[] = {0, 3, 4, 8, 128, 131, 252, 255, 256};
    s.call = BlitCall{};
    s.call.dx = dx, s.call.dy = dy, s.call.width = width, s.call.height = height;
    s.call.sx = sx, s.call.sy = sy, s.call.sw = sw, s.call.sh = sh;
    s.call.flags =
        rng() & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X | BLIT_MIRROR_Y | BLIT_EXACT);
    s.call.srcKey = colours[pick(0, 2)];
    s.call.dstKey = pick(0, 1) ? colours[0] : s.dst.Get(dx + 1, dy);
    s.call.level = kLevels[pick(0, 8)];
    return s;
}

// Source rows of 1 to 4 pixels drawn into one destination row.
std::vector<uint32_t> ScaleRow(RoutineId id, int bytes, std::vector<uint32_t> source, int32_t to,
                               uint32_t flags, int32_t sw = -1) {
    Scene s{PixelGrid(to, 1, bytes), PixelGrid(static_cast<int32_t>(source.size()), 1, bytes),
            PixelGrid(static_cast<int32_t>(source.size()), 1, 1), BlitCall{}};
    for (size_t x = 0; x < source.size(); ++x) s.src.Set(static_cast<int32_t>(x), 0, source[x]);
    s.call.width = to, s.call.height = 1, s.call.sh = 1, s.call.flags = flags;
    s.call.sw = sw >= 0 ? sw : static_cast<int32_t>(source.size());
    RunScalar({id, bytes, Mode::Keyed}, s);
    std::vector<uint32_t> out;
    for (int32_t x = 0; x < to; ++x) out.push_back(s.dst.Get(x, 0));
    return out;
}

using Row = std::vector<uint32_t>;

}  // namespace

TEST(ScaledBlit, EveryRoutineMatchesThePerPixelModel) {
    std::mt19937 rng(20261208);
    for (const Case& c : kCases) {
        EXPECT_TRUE(BodyOf(c.id, BodyKind::Scalar).IsAvailable()) << InfoOf(c.id).name;
        for (int n = 0; n < 1500; ++n) {
            Scene scene = MakeScene(rng, c);
            const PixelGrid expected = Expected(c, scene);
            RunScalar(c, scene);
            const BlitCall& k = scene.call;
            ASSERT_EQ(scene.dst.Bytes(), expected.Bytes())
                << InfoOf(c.id).name << " " << k.sw << "x" << k.sh << " to " << k.width << "x"
                << k.height << " at " << k.sx << "," << k.sy << " flags " << k.flags << " level "
                << k.level;
        }
    }
}

TEST(ScaledBlit, SamplesByTheErrorWalk) {
    for (const Case& c : kCases) {
        if (c.mode != Mode::Keyed) continue;
        const uint32_t a = 0x11, b = 0x22, e = 0x33, f = 0x44, g = 0x55;
        EXPECT_EQ(ScaleRow(c.id, c.bytes, {a, b}, 5, 0), (Row{a, a, a, b, b}));
        EXPECT_EQ(ScaleRow(c.id, c.bytes, {a, b, e, f, g}, 2, 0), (Row{a, e}));
        EXPECT_EQ(ScaleRow(c.id, c.bytes, {a, b, e}, 1, BLIT_MIRROR_X), (Row{e}));
        EXPECT_EQ(ScaleRow(c.id, c.bytes, {a, b}, 4, BLIT_MIRROR_X), (Row{b, b, a, a}));
        EXPECT_EQ(ScaleRow(c.id, c.bytes, {a}, 3, 0), (Row{a, a, a}));
        // A clipped source of 0 pixels is read as its first pixel, mirrored or not.
        EXPECT_EQ(ScaleRow(c.id, c.bytes, {a, b}, 3, BLIT_MIRROR_X, 0), (Row{a, a, a}));
    }
}

// Source and mask blocks end at the rectangle's last pixel and start at its first, so the
// sanitized build reports any read beyond the rectangle, in every direction of reading.
TEST(ScaledBlit, ReadsOnlyInsideTheSourceRectangle) {
    for (const Case& c : kCases) {
        for (uint32_t flags = 0; flags < 16; flags += 4) {
            for (const auto& [sw, w] : {std::pair{3, 7}, std::pair{7, 3}, std::pair{5, 5}}) {
                const int32_t pitch = (sw * c.bytes + 3) / 4 * 4;
                std::vector<uint8_t> src(size_t(pitch) * 2 + size_t(sw) * c.bytes, 0x5A);
                std::vector<uint8_t> mask(size_t(pitch) * 2 + size_t(sw), 0x80);
                PixelGrid dst(w, 4, c.bytes);
                BlitCall call;
                call.dst = dst.Data(), call.dstPitch = dst.Pitch(), call.width = w;
                call.height = 4, call.src = src.data(), call.srcPitch = pitch, call.sw = sw;
                call.sh = 3, call.mask = mask.data(), call.maskPitch = pitch, call.flags = flags;
                call.level = 256;
                BodyOf(c.id, BodyKind::Scalar).Call(call);
                EXPECT_NE(dst.Get(w - 1, 3), 0u) << InfoOf(c.id).name << " flags " << flags;
            }
        }
    }
}

TEST(ScaledBlit, MaskBlendsKeepTheirEdgeRules) {
    Scene s{PixelGrid(4, 1, 3), PixelGrid(2, 1, 3), PixelGrid(2, 1, 1), BlitCall{}};
    s.src.Set(0, 0, 0xFFFFFF);
    s.src.Set(1, 0, 0x6464C8);
    s.mask.Set(0, 0, 0);
    s.mask.Set(1, 0, 128);
    for (int32_t x = 0; x < 4; ++x) s.dst.Set(x, 0, 0x6464FF);
    s.call.width = 4, s.call.height = 1, s.call.sw = 2, s.call.sh = 1;
    // Every 24-bit pixel is blended, even under mask byte 0: a byte of 255 becomes 240.
    Scene table = s;
    RunScalar({R::Blt24ScaledMaskAlpha, 3, Mode::Mask24}, table);
    EXPECT_EQ(table.dst.Get(1, 0), 0x5D5DF0u);  // 100: floor(12 * 31 / 4) = 93
    s.dst.Set(2, 0, 0x646464);
    s.call.flags = BLIT_EXACT;
    RunScalar({R::Blt24ScaledMaskAlpha, 3, Mode::Mask24}, s);
    EXPECT_EQ(s.dst.Get(2, 0), 0x646496u);  // (200 * 128 + 100 * 128) >> 8 = 150

    // The 16-bit blends skip mask byte 0, copy under 255 (with the low green bit) and read the
    // mask from the source column on.
    Scene w{PixelGrid(3, 1, 2), PixelGrid(13, 1, 2), PixelGrid(13, 1, 1), BlitCall{}};
    w.src.Set(10, 0, 0xFFFF);
    w.src.Set(11, 0, 0xFFFF);
    w.src.Set(12, 0, 0xFFFF);
    w.mask.Set(10, 0, 255);
    w.mask.Set(11, 0, 254);
    w.call.width = 3, w.call.height = 1, w.call.sx = 10, w.call.sw = 3, w.call.sh = 1;
    RunScalar({R::Blt16ScaledMaskAlpha565, 2, Mode::Mask565}, w);
    EXPECT_EQ(w.dst.Get(0, 0), 0xFFFFu);
    EXPECT_EQ(w.dst.Get(1, 0), 0xF79Eu);  // 31 * 31 / 32 = 30 per channel, bit 5 clear
    EXPECT_EQ(w.dst.Get(2, 0), 0u);
}

class ScaledBlitDispatch : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(source.Create(4, 2, FMT_RGB565, 0, nullptr), ResultOk);
        for (int32_t x = 0; x < 4; ++x) {
            Put(source, x, 0, 0x1000 + x);
            Put(source, x, 1, 0x2000 + x);
        }
        ASSERT_EQ(destination.Create(16, 8, FMT_RGB565, 0, nullptr), ResultOk);
        ASSERT_EQ(mask.Create(4, 2, FMT_INDEX8, 0, nullptr), ResultOk);
    }
    static void Put(BufferSurface& s, int32_t x, int32_t y, uint16_t v) {
        std::memcpy(s.Row(y) + 2 * x, &v, 2);
    }
    static uint16_t At(BufferSurface& s, int32_t x, int32_t y) {
        uint16_t v;
        std::memcpy(&v, s.Row(y) + 2 * x, 2);
        return v;
    }
    int32_t Drawn() {
        int32_t n = 0;
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 16; ++x) n += At(destination, x, y) != 0;
        return n;
    }
    BufferSurface source, destination, mask;
};

TEST_F(ScaledBlitDispatch, BlitReachesTheScaledRowsWithMirroring) {
    // Doubled and mirrored both ways: destination (0, 0) shows the last pixel of the last row.
    ASSERT_EQ(source.Blit(&destination, 0, 0, 8, 4, 0, 0, 4, 2, BLIT_MIRROR_X | BLIT_MIRROR_Y, 0),
              ResultOk);
    EXPECT_EQ(At(destination, 0, 0), 0x2003);
    EXPECT_EQ(At(destination, 1, 1), 0x2003);
    EXPECT_EQ(At(destination, 7, 3), 0x1000);
    EXPECT_EQ(Drawn(), 32);

    // Clipped on the left by 4 destination pixels: the mirrored source loses its far-left
    // columns, so the visible part stays where the unclipped blit put it.
    ASSERT_EQ(destination.Create(16, 8, FMT_RGB565, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, -4, 0, 8, 2, 0, 0, 4, 1, BLIT_MIRROR_X, 0), ResultOk);
    EXPECT_EQ(At(destination, 0, 0), 0x1001);
    EXPECT_EQ(At(destination, 3, 1), 0x1000);
    EXPECT_EQ(Drawn(), 8);

    // BLIT_ALPHA on a scaled blit is a stipple: level 128 draws half the pixels.
    ASSERT_EQ(destination.Create(16, 8, FMT_RGB565, 0, nullptr), ResultOk);
    ASSERT_EQ(destination.DrawFrom(0, 0, 16, 8, &source, 0, 0, 4, 2, BLIT_ALPHA, 128), ResultOk);
    EXPECT_EQ(Drawn(), 64);

    // A mask blend reads the mask at source coordinates; mask stipple is a keyed copy here.
    for (int32_t x = 0; x < 4; ++x) mask.Row(0)[x] = mask.Row(1)[x] = x == 2 ? 255 : 0;
    ASSERT_EQ(destination.Create(16, 8, FMT_RGB565, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, 0, 0, 8, 2, 0, 0, 4, 2, BLIT_MASK_ALPHA,
                          reinterpret_cast<BlitExtra>(&mask)),
              ResultOk);
    EXPECT_EQ(At(destination, 4, 0), 0x1002);
    EXPECT_EQ(At(destination, 5, 1), 0x2002);
    EXPECT_EQ(Drawn(), 4);
    ASSERT_EQ(destination.Create(16, 8, FMT_RGB565, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, 0, 0, 8, 2, 0, 0, 4, 2, BLIT_MASK_STIPPLE,
                          reinterpret_cast<BlitExtra>(&mask)),
              ResultOk);
    EXPECT_EQ(Drawn(), 16);
    EXPECT_EQ(source.GetAccessCount() + destination.GetAccessCount() + mask.GetAccessCount(), 0);
}
