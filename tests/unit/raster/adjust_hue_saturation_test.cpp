#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "graphics/image/memory_dib_surface.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

struct Bgr {
    int b, g, r;
};
using Picture = std::vector<Bgr>;
constexpr double kPi = std::numbers::pi;

// A surface kind that can claim a format code no Create accepts.
class AnyFormatSurface : public BufferSurface {
  public:
    void Claim(PixelFormat f) { format = f; }
};

// Writes (or with `write` false reads) the three colour bytes of every pixel; byte 3 of a 32-bit
// pixel is set to, or checked against, 0x5A.
void Access(Surface& s, Picture* pixels, bool write) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(s.Lock(&rows, &pitch), ResultOk);
    const int bytes = int(BitsPerPixel(s.GetFormat()) / 8);
    if (!write) pixels->clear();
    for (int y = 0, i = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x, ++i) {
            uint8_t* p = rows + y * pitch + x * bytes;
            if (write) {
                const Bgr& c = (*pixels)[i];
                p[0] = uint8_t(c.b), p[1] = uint8_t(c.g), p[2] = uint8_t(c.r);
                if (bytes == 4) p[3] = 0x5A;
            } else {
                pixels->push_back({p[0], p[1], p[2]});
                if (bytes == 4) {
                    EXPECT_EQ(p[3], 0x5A);
                }
            }
        }
    s.Unlock();
}
void Fill(Surface& s, Picture pixels) { Access(s, &pixels, true); }
Picture Read(Surface& s) {
    Picture p;
    Access(s, &p, false);
    return p;
}

Picture RandomPixels(size_t n, unsigned seed) {
    srand(seed);
    Picture v(n);
    for (auto& c : v) c = {rand() & 255, rand() & 255, rand() & 255};
    return v;
}

void MakeMask(BufferSurface& mask, int w, int h, bool checkered = false) {
    ASSERT_EQ(mask.Create(w, h, FMT_INDEX8, 0, nullptr), ResultOk);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) mask.Row(y)[x] = checkered && (x + y) % 2 ? 0 : uint8_t(1 + x + y);
}

// The colour model in double precision: to hue, saturation and intensity, turn and scale, and
// back by the three sectors (sector k raises channel k of red, green, blue; the one before it
// is the low one).
Bgr Model(Bgr in, int hue, int saturation, int lightness) {
    const double r = in.r / 255.0, g = in.g / 255.0, b = in.b / 255.0, sum = r + g + b;
    const bool grey = r == g && g == b;
    double h = 0, s = 0, out[3];
    if (!grey) {
        s = std::clamp((1 - 3 * std::min({r, g, b}) / sum) * (saturation + 100) / 100.0, 0.0, 1.0);
        h = std::acos(std::clamp(((r - g) + (r - b)) / 2 / std::sqrt((r - g) * (r - g) + (r - b) * (g - b)), -1.0, 1.0));
        if (b > g) h = 2 * kPi - h;
    }
    h = std::fmod(h + hue * kPi / 180 + 4 * kPi, 2 * kPi);
    if (sum == 0 || s == 0) {
        out[0] = out[1] = out[2] = sum / 3 * 255;
    } else {
        const int up = h <= 2 * kPi / 3 ? 0 : (h <= 4 * kPi / 3 ? 1 : 2), down = (up + 2) % 3;
        const double t = h - up * 2 * kPi / 3;
        out[down] = (1 - s) / 3;
        out[up] = (1 + s * std::cos(t) / std::cos(kPi / 3 - t)) / 3;
        out[3 - up - down] = 1 - out[down] - out[up];
        for (double& v : out) v *= sum * 255;
    }
    auto byte = [&](double v) { return int(std::clamp(v + lightness * 2.55, 0.0, 255.0)); };
    return {byte(out[2]), byte(out[1]), byte(out[0])};
}

int WorstDifference(const Picture& got, const Picture& want) {
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i)
        worst = std::max({worst, std::abs(got[i].b - want[i].b), std::abs(got[i].g - want[i].g),
                          std::abs(got[i].r - want[i].r)});
    return got.size() == want.size() ? worst : 999;
}

// The four routines: 24 and 32 bits, with and without a mask; 32 bits with a mask is the
// fixed-point one, which scales slightly differently.
struct Routine {
    PixelFormat format;
    bool masked;
    bool fixed() const { return masked && format == FMT_RGB32; }
};
const Routine kRoutines[] = {{FMT_RGB24, false}, {FMT_RGB24, true}, {FMT_RGB32, false}, {FMT_RGB32, true}};

}  // namespace

TEST(AdjustHueSaturation, EveryRoutineFollowsTheColourModel) {
    const int w = 37, h = 9;
    const Picture pixels = RandomPixels(size_t(w) * h, 11);
    const int amounts[][3] = {{0, 0, 0}, {120, 0, 0}, {-75, 40, 0}, {200, -60, 10}, {33, 100, -20}, {300, -100, 5}, {90, 250, 0}};
    for (const Routine& routine : kRoutines)
        for (const auto& a : amounts) {
            SCOPED_TRACE(testing::Message() << BitsPerPixel(routine.format) << " bits, mask " << routine.masked
                                            << ", amounts " << a[0] << " " << a[1] << " " << a[2]);
            MemoryDibSurface s;
            ASSERT_EQ(s.Create(w, h, routine.format, 0, nullptr), ResultOk);
            Fill(s, pixels);
            BufferSurface mask;
            MakeMask(mask, w + 3, h + 1);
            ASSERT_EQ(s.AdjustHueSaturation(a[0], a[1], a[2], routine.masked ? &mask : nullptr), ResultOk);
            Picture want;
            for (const Bgr& p : pixels) want.push_back(Model(p, a[0], a[1], a[2]));
            EXPECT_LE(WorstDifference(Read(s), want), routine.fixed() ? 3 : 1);
            EXPECT_EQ(s.GetAccessCount() + mask.GetAccessCount(), 0);
        }
}

TEST(AdjustHueSaturation, GreysBlackAndPrimaries) {
    for (const Routine& routine : kRoutines) {
        SCOPED_TRACE(testing::Message() << BitsPerPixel(routine.format) << " bits, mask " << routine.masked);
        BufferSurface s(true), mask;
        ASSERT_EQ(s.Create(4, 1, routine.format, 0, nullptr), ResultOk);
        MakeMask(mask, 4, 1);
        Surface* m = routine.masked ? &mask : nullptr;
        const Picture start = {{100, 100, 100}, {0, 0, 0}, {0, 0, 255}, {40, 90, 200}};
        Fill(s, start);
        ASSERT_EQ(s.AdjustHueSaturation(77, 60, 10, m), ResultOk);
        Picture got = Read(s);
        // Greys keep their value under any turn and scale; lightness 10 adds 25.5 (25 in fixed point).
        EXPECT_EQ(got[0].b * 10000 + got[0].g * 100 + got[0].r, 125 * 10101);
        EXPECT_EQ(got[1].b * 10000 + got[1].g * 100 + got[1].r, 25 * 10101);

        Fill(s, start);
        ASSERT_EQ(s.AdjustHueSaturation(120, 0, 0, m), ResultOk);
        got = Read(s);
        EXPECT_TRUE(got[2].b <= 1 && got[2].g >= 254 && got[2].r <= 1) << got[2].b << " " << got[2].g << " " << got[2].r;
    }
}

TEST(AdjustHueSaturation, MaskLimitsTheChangeAndWholeTurnsAreTheSameTurn) {
    for (PixelFormat format : {FMT_RGB24, FMT_RGB32}) {
        const int w = 6, h = 4;
        const Picture pixels = RandomPixels(size_t(w) * h, 9);
        MemoryDibSurface s, a, b;
        for (MemoryDibSurface* t : {&s, &a, &b}) {
            ASSERT_EQ(t->Create(w, h, format, 0, nullptr), ResultOk);
            Fill(*t, pixels);
        }
        BufferSurface mask;
        MakeMask(mask, w, h, true);
        ASSERT_EQ(s.AdjustHueSaturation(150, 30, -10, &mask), ResultOk);
        const Picture got = Read(s);
        int changed = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y) * w + x;
                const bool same = WorstDifference({got[i]}, {pixels[i]}) == 0;
                if ((x + y) % 2) {
                    EXPECT_TRUE(same) << x << "," << y;
                }
                changed += !same;
            }
        EXPECT_GT(changed, w * h / 3);

        ASSERT_EQ(a.AdjustHueSaturation(100, 0, 0, nullptr), ResultOk);
        ASSERT_EQ(b.AdjustHueSaturation(100 + 3 * 360, 0, 0, nullptr), ResultOk);
        EXPECT_EQ(WorstDifference(Read(b), Read(a)), 0);
    }
}

TEST(AdjustHueSaturation, RefusesOtherFormatsSmallMasksAndLockFailuresWithoutChangingAPixel) {
    BufferSurface s, narrow, flat, deep, locked;
    ASSERT_EQ(s.Create(3, 2, FMT_RGB24, 0, nullptr), ResultOk);
    const Picture pixels = RandomPixels(6, 3);
    Fill(s, pixels);
    MakeMask(narrow, 2, 2);
    MakeMask(flat, 3, 1);
    MakeMask(locked, 3, 2);
    locked.refuseLock = true;
    ASSERT_EQ(deep.Create(3, 2, FMT_RGB24, 0, nullptr), ResultOk);
    Surface* refused[] = {&narrow, &flat, &deep, &locked};
    for (Surface* mask : refused)
        EXPECT_EQ(s.AdjustHueSaturation(90, 0, 0, mask), ResultFailed);
    EXPECT_EQ(s.GetAccessCount(), 0);
    s.refuseLock = true;
    EXPECT_EQ(s.AdjustHueSaturation(90, 0, 0, nullptr), ResultFailed);
    s.refuseLock = false;
    EXPECT_EQ(WorstDifference(Read(s), pixels), 0);

    MemoryDibSurface empty, rgb565;
    EXPECT_EQ(empty.AdjustHueSaturation(0, 0, 0, nullptr), ResultFailed);
    ASSERT_EQ(rgb565.Create(2, 2, FMT_RGB565, 0, nullptr), ResultOk);
    EXPECT_EQ(rgb565.AdjustHueSaturation(0, 0, 0, nullptr), ResultFailed);
    AnyFormatSurface blueFirst;
    ASSERT_EQ(blueFirst.Create(2, 2, FMT_RGB24, 0, nullptr), ResultOk);
    blueFirst.Claim(0x18C60888);
    EXPECT_EQ(blueFirst.AdjustHueSaturation(0, 0, 0, nullptr), ResultFailed);
}
