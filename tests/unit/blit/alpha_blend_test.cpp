// The unscaled blends, constant and per-pixel, against a per-pixel model written from the channel
// layouts, and through whole Blit calls.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/blit/blit_registry.h"
#include "graphics/core/blit_flags.h"
#include "graphics/image/surface.h"
#include "tests/unit/blit/pixel_grid.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

enum class Layout { k555, k565, k888 };
enum class Kind { kConstant, kMask, kPremul };

struct Routine {
    RoutineId id;
    int bytes;
    Layout layout;
    Kind kind;
};

using R = RoutineId;
const Routine kRoutines[] = {
    {R::Blt16Alpha555, 2, Layout::k555, Kind::kConstant},
    {R::Blt16Alpha565, 2, Layout::k565, Kind::kConstant},
    {R::Blt24Alpha, 3, Layout::k888, Kind::kConstant},
    {R::Blt32Alpha, 4, Layout::k888, Kind::kConstant},
    {R::Blt16MaskAlpha555, 2, Layout::k555, Kind::kMask},
    {R::Blt16MaskAlpha565, 2, Layout::k565, Kind::kMask},
    {R::Blt24MaskAlpha, 3, Layout::k888, Kind::kMask},
    {R::Blt32MaskAlpha, 4, Layout::k888, Kind::kMask},
    {R::Blt32MaskPremul, 4, Layout::k888, Kind::kPremul},
};

uint32_t ValueMask(int bytes) { return bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1; }

// The three 5-bit channel values of a pixel, highest first, and the pixel they make.
void Channels(uint32_t v, Layout layout, uint32_t out[3]) {
    switch (layout) {
        case Layout::k555:
            out[0] = (v >> 10) % 32, out[1] = (v >> 5) % 32, out[2] = v % 32;
            break;
        case Layout::k565:  // the 6-bit green channel by its top five bits
            out[0] = (v >> 11) % 32, out[1] = ((v >> 5) % 64) / 2, out[2] = v % 32;
            break;
        case Layout::k888:
            for (int k = 0; k < 3; ++k) out[k] = ((v >> (16 - 8 * k)) % 256) / 8;
            break;
    }
}

// Table mix with weights out of 32: 5-bit channels for 16-bit layouts, bytes for 8-8-8.
uint32_t TableMix(uint32_t s, uint32_t d, uint32_t ws, uint32_t wd, Layout layout) {
    uint32_t a[3], b[3];
    Channels(s, layout, a);
    Channels(d, layout, b);
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        const uint32_t sum = a[k] * ws + b[k] * wd;
        if (layout == Layout::k888) out += (sum / 4) << (16 - 8 * k);
        else if (layout == Layout::k555) out += (sum / 32) << (10 - 5 * k);
        else out += (sum / 32) << (k == 0 ? 11 : k == 1 ? 6 : 0);
    }
    return out;
}

uint32_t Byte(uint32_t v, int k) { return (v >> (8 * k)) & 0xFF; }

// What one destination pixel becomes; `write` false leaves it.
uint32_t ModelPixel(const Routine& r, uint32_t s, uint32_t d, uint32_t m, const BlitCall& c,
                    bool* write) {
    *write = true;
    const uint32_t vm = ValueMask(r.bytes);
    switch (r.kind) {
        case Kind::kConstant:
            if ((c.flags & BLIT_SRCKEY) && s == (c.srcKey & vm)) break;
            if ((c.flags & BLIT_DESTKEY) && d != (c.dstKey & vm)) break;
            return TableMix(s, d, c.level / 8, (256 - c.level) / 8, r.layout);
        case Kind::kMask:
            if (m == 0) break;
            if (m == 255) return s;
            if ((c.flags & BLIT_EXACT) && r.bytes >= 3) {
                const uint32_t total = r.bytes == 3 ? 256 : 255;
                uint32_t out = 0;
                for (int k = 0; k < 3; ++k)
                    out += ((Byte(s, k) * m + Byte(d, k) * (total - m)) / 256) << (8 * k);
                return out;
            }
            return TableMix(s, d, m / 8, (255 - m) / 8, r.layout);
        case Kind::kPremul: {
            if (m == 255) break;
            uint32_t out = d & 0xFF000000u;
            for (int k = 0; k < 3; ++k) {
                const uint32_t kept = m == 0                    ? 0
                                      : (c.flags & BLIT_EXACT) ? Byte(d, k) * m / 256
                                                               : (Byte(d, k) / 8) * (m / 8) / 4;
                out += ((Byte(s, k) + kept) % 256) << (8 * k);
            }
            return out;
        }
    }
    *write = false;
    return d;
}

PixelGrid Expected(const Routine& r, const PixelGrid& before, const PixelGrid& src,
                   const PixelGrid& mask, const BlitCall& c) {
    PixelGrid out = before;
    for (int32_t i = 0; i < c.height; ++i) {
        for (int32_t j = 0; j < c.width; ++j) {
            const int32_t row = (c.flags & BLIT_MIRROR_Y) ? c.sy + c.height - 1 - i : c.sy + i;
            const int32_t col = (c.flags & BLIT_MIRROR_X) ? c.sx + c.width - 1 - j : c.sx + j;
            bool write = false;
            const uint32_t v = ModelPixel(r, src.Get(col, row), before.Get(c.dx + j, c.dy + i),
                                          mask.Get(col, row), c, &write);
            if (write) out.Set(c.dx + j, c.dy + i, v);
        }
    }
    return out;
}

void RunScalar(const Routine& r, PixelGrid& dst, PixelGrid& src, PixelGrid& mask, BlitCall c) {
    c.dst = dst.Data(), c.dstPitch = dst.Pitch();
    c.src = src.Data(), c.srcPitch = src.Pitch();
    c.mask = mask.Data(), c.maskPitch = mask.Pitch();
    BodyOf(r.id, BodyKind::Scalar).Call(c);
}

// One pixel through a routine: source s, destination d, mask byte m, level and flags.
uint32_t Blend1(RoutineId id, int bytes, uint32_t s, uint32_t d, uint32_t m, uint32_t level,
                uint32_t flags = 0) {
    PixelGrid src(1, 1, bytes), dst(1, 1, bytes), mask(1, 1, 1);
    src.Set(0, 0, s), dst.Set(0, 0, d), mask.Set(0, 0, m);
    BlitCall c;
    c.width = c.height = 1, c.flags = flags, c.level = level;
    for (const Routine& r : kRoutines) {
        if (r.id == id) RunScalar(r, dst, src, mask, c);
    }
    return dst.Get(0, 0);
}

}  // namespace

TEST(AlphaBlend, WorkedExamples) {
    // Constant 5-5-5: half of white over black, and a colour over itself at weights 12 + 19.
    EXPECT_EQ(Blend1(R::Blt16Alpha555, 2, 0x7FFF, 0x0000, 0, 128), 0x3DEFu);
    EXPECT_EQ(Blend1(R::Blt16Alpha555, 2, 0x7FFF, 0x7FFF, 0, 100), 0x7BDEu);
    EXPECT_EQ(Blend1(R::Blt16Alpha555, 2, 0xFFFF, 0x1234, 0, 256), 0x7FFFu);  // bit 15 joins as 0
    EXPECT_EQ(Blend1(R::Blt16Alpha565, 2, 0xFFFF, 0x0000, 0, 256), 0xFFDFu);
    EXPECT_EQ(Blend1(R::Blt16Alpha565, 2, 0x0000, 0xFFFF, 0, 0), 0xFFDFu);
    // Constant 8-8-8 keeps five bits of each byte, even at level 256.
    EXPECT_EQ(Blend1(R::Blt24Alpha, 3, 0xFFFFFF, 0x123456, 0, 256), 0xF8F8F8u);
    EXPECT_EQ(Blend1(R::Blt32Alpha, 4, 0xAAFFFFFF, 0xBB000000, 0, 256), 0x00F8F8F8u);
    // Mask 5-6-5: 255 copies the word whole, 254 clears the lowest green bit.
    EXPECT_EQ(Blend1(R::Blt16MaskAlpha565, 2, 0xFFFF, 0x0000, 255, 0), 0xFFFFu);
    EXPECT_EQ(Blend1(R::Blt16MaskAlpha565, 2, 0xFFFF, 0xFFFF, 254, 0) & 0x20, 0u);
    EXPECT_EQ(Blend1(R::Blt16MaskAlpha555, 2, 0xFFFF, 0x1234, 0, 0), 0x1234u);
    // Exact mask blends weigh the destination out of 256 at 24 bits and 255 at 32 bits.
    EXPECT_EQ(Blend1(R::Blt24MaskAlpha, 3, 200, 100, 128, 0, BLIT_EXACT), 150u);
    EXPECT_EQ(Blend1(R::Blt32MaskAlpha, 4, 200, 100, 128, 0, BLIT_EXACT), 149u);
    EXPECT_EQ(Blend1(R::Blt32MaskAlpha, 4, 0xFF0000C8, 0xEE000064, 128, 0, BLIT_EXACT), 149u);
    EXPECT_EQ(Blend1(R::Blt32MaskAlpha, 4, 0xFF0000C8, 0, 255, 0, BLIT_EXACT), 0xFF0000C8u);
    // The 16-bit mask blends have no exact path.
    EXPECT_EQ(Blend1(R::Blt16MaskAlpha555, 2, 0x7FFF, 0, 128, 0, BLIT_EXACT), 0x3DEFu);
    // Premultiplied: the top byte stays; an opaque source takes the colour bytes alone.
    EXPECT_EQ(Blend1(R::Blt32MaskPremul, 4, 0x11223344, 0xAA808080, 0, 0), 0xAA223344u);
    EXPECT_EQ(Blend1(R::Blt32MaskPremul, 4, 0x11223344, 0xAA808080, 255, 0), 0xAA808080u);
    EXPECT_EQ(Blend1(R::Blt32MaskPremul, 4, 0x00102030, 0xAAFF8040, 128, 0, BLIT_EXACT),
              0xAA8F6050u);
    EXPECT_EQ(Blend1(R::Blt32MaskPremul, 4, 0x00102030, 0xAAFF8040, 128, 0), 0xAA8C6050u);
    EXPECT_EQ(Blend1(R::Blt32MaskPremul, 4, 0x00F00000, 0x00FF0000, 128, 0, BLIT_EXACT),
              0x006F0000u);  // wraps in its byte
}

// Levels outside 0..256 blend as 256, as the stipple routines take them, without reading
// outside the product table (the sanitized build would report it).
TEST(AlphaBlend, LevelsBeyondTheFullLevelBlendAsTheSourceAlone) {
    for (const Routine& r : kRoutines) {
        if (r.kind != Kind::kConstant) continue;
        const uint32_t s = 0x00A5C3E7u & ValueMask(r.bytes), d = 0x005A3C18u & ValueMask(r.bytes);
        const uint32_t full = Blend1(r.id, r.bytes, s, d, 0, 256);
        for (uint32_t level : {257u, 264u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFF00u})
            EXPECT_EQ(Blend1(r.id, r.bytes, s, d, 0, level), full) << InfoOf(r.id).name << level;
    }
}

// Every routine against the model: random pixels with keys that occur, every key and mirror
// combination, levels and mask bytes at and beside their ends, clipped starts and odd sizes. The
// grids keep spare bytes past each row so that a write outside the rectangle shows.
TEST(AlphaBlend, RoutinesMatchThePerPixelModel) {
    std::mt19937 rng(1234);
    auto Int = [&rng](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    const uint8_t kMaskBytes[] = {0, 1, 7, 8, 127, 128, 200, 254, 255};
    for (const Routine& r : kRoutines) {
        const uint32_t vm = ValueMask(r.bytes);
        for (int round = 0; round < 12; ++round) {
            PixelGrid src(Int(1, 21), Int(1, 9), r.bytes), dst(Int(1, 23), Int(1, 9), r.bytes);
            PixelGrid mask(src.Width(), src.Height(), 1);
            src.FillPattern(round * 7 + 1);
            dst.FillPattern(round * 7 + 2);
            for (int32_t y = 0; y < mask.Height(); ++y) {
                for (int32_t x = 0; x < mask.Width(); ++x)
                    mask.Set(x, y, Int(0, 1) ? kMaskBytes[Int(0, 8)] : Int(0, 255));
            }
            BlitCall c;
            c.width = Int(1, std::min(src.Width(), dst.Width()));
            c.height = Int(1, std::min(src.Height(), dst.Height()));
            c.sx = Int(0, src.Width() - c.width), c.sy = Int(0, src.Height() - c.height);
            c.dx = Int(0, dst.Width() - c.width), c.dy = Int(0, dst.Height() - c.height);
            c.srcKey = src.Get(c.sx + Int(0, c.width - 1), c.sy) | (r.bytes < 4 ? 0xFF000000u : 0);
            c.dstKey = dst.Get(c.dx, c.dy + Int(0, c.height - 1));
            for (int32_t j = 0; j < c.width; j += 2) dst.Set(c.dx + j, c.dy + c.height - 1, c.dstKey);
            src.Set(c.sx, c.sy + c.height - 1, c.srcKey & vm);
            const uint32_t modes = r.kind == Kind::kConstant ? BLIT_SRCKEY | BLIT_DESTKEY
                                                             : BLIT_EXACT | BLIT_SRCKEY;
            for (uint32_t mirror = 0; mirror < 4; ++mirror) {
                for (uint32_t mode : {0u, modes & (0u - modes), modes & (modes - 1), modes}) {
                    c.flags = mirror * BLIT_MIRROR_X | mode;
                    for (uint32_t level : {0u, 1u, 7u, 8u, 100u, 128u, 255u, 256u}) {
                        if (r.kind != Kind::kConstant && level != 0) continue;
                        c.level = level;
                        PixelGrid out = dst;
                        RunScalar(r, out, src, mask, c);
                        ASSERT_EQ(out.Bytes(), Expected(r, dst, src, mask, c).Bytes())
                            << InfoOf(r.id).name << " " << c.width << "x" << c.height << " from "
                            << c.sx << "," << c.sy << " to " << c.dx << "," << c.dy << " flags "
                            << c.flags << " level " << level;
                    }
                }
            }
        }
    }
}

// Whole Blit calls reach the blends: a clipped, mirrored constant blend on 5-6-5 with a source
// key, and mirrored mask blends on 32-bit pixels whose mask is read at the source's coordinates.
TEST(AlphaBlend, BlitDrawsThroughTheBlendRows) {
    auto fill = [](BufferSurface& s, int32_t w, int32_t h, PixelFormat format, uint8_t seed) {
        ASSERT_EQ(s.Create(w, h, format, 0, nullptr), ResultOk);
        for (int32_t y = 0; y < h; ++y) {
            for (uint32_t k = 0; k < RowBytes(format, w); ++k)
                s.Row(y)[k] = static_cast<uint8_t>(seed + y * 53 + k * 29);
        }
    };
    auto at16 = [](BufferSurface& s, int32_t x, int32_t y) {
        return uint32_t{s.Row(y)[2 * x]} | uint32_t{s.Row(y)[2 * x + 1]} << 8;
    };
    auto at32 = [](BufferSurface& s, int32_t x, int32_t y) {
        uint32_t v;
        std::memcpy(&v, s.Row(y) + 4 * x, 4);
        return v;
    };

    BufferSurface source, destination, before, mask;
    fill(source, 6, 4, FMT_RGB565, 3);
    fill(destination, 8, 5, FMT_RGB565, 90);
    fill(before, 8, 5, FMT_RGB565, 90);
    const uint32_t key = at16(source, 2, 1);
    source.SetSourceKey(key);
    // Drawn at (-2, 1): destination columns 0..3 show source columns 2..5, read mirrored.
    ASSERT_EQ(source.Blit(&destination, -2, 1, 6, 4, 0, 0, 6, 4,
                          BLIT_ALPHA | BLIT_SRCKEY | BLIT_MIRROR_X, 64),
              ResultOk);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            uint32_t expected = at16(before, x, y);
            if (y >= 1 && x < 4) {
                const uint32_t s = at16(source, 5 - (x + 2) + 0, y - 1);
                if (s != key) expected = TableMix(s, expected, 8, 24, Layout::k565);
            }
            EXPECT_EQ(at16(destination, x, y), expected) << x << "," << y;
        }
    }
    // A level beyond 256 draws the source alone, through Blit as through the routine.
    fill(destination, 8, 5, FMT_RGB565, 90);
    ASSERT_EQ(source.Blit(&destination, 0, 0, 6, 4, 0, 0, 6, 4, BLIT_ALPHA,
                          static_cast<BlitExtra>(-1)),
              ResultOk);
    EXPECT_EQ(at16(destination, 1, 1), TableMix(at16(source, 1, 1), 0, 32, 0, Layout::k565));

    fill(source, 5, 3, FMT_RGB32, 7);
    fill(mask, 5, 3, FMT_INDEX8, 0);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) mask.Row(y)[x] = static_cast<uint8_t>(x * 60 + y * 5);
    }
    const uint32_t flags[] = {BLIT_MASK_ALPHA | BLIT_MIRROR_Y | BLIT_EXACT,
                              BLIT_MASK_PREMUL | BLIT_MIRROR_X | BLIT_MIRROR_Y};
    for (uint32_t f : flags) {
        fill(destination, 6, 4, FMT_RGB32, 40);
        fill(before, 6, 4, FMT_RGB32, 40);
        ASSERT_EQ(source.Blit(&destination, 1, 1, 5, 3, 0, 0, 5, 3, f,
                              reinterpret_cast<BlitExtra>(&mask)),
                  ResultOk);
        const Routine r = (f & BLIT_MASK_ALPHA) ? kRoutines[7] : kRoutines[8];
        BlitCall c;
        c.flags = f;
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 6; ++x) {
                uint32_t expected = at32(before, x, y);
                if (x >= 1 && y >= 1) {
                    const int32_t sx = (f & BLIT_MIRROR_X) ? 5 - x : x - 1, sy = 3 - y;
                    bool write = false;
                    const uint32_t v = ModelPixel(r, at32(source, sx, sy), expected,
                                                  mask.Row(sy)[sx], c, &write);
                    if (write) expected = v;
                }
                EXPECT_EQ(at32(destination, x, y), expected) << f << " at " << x << "," << y;
            }
        }
    }
}
