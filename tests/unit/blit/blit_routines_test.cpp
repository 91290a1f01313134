#include "graphics/blit/blit_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "graphics/blit/blit_flags.h"
#include "graphics/blit/blit_routine.h"
#include "graphics/blit/stipple_thresholds.h"
#include "tests/unit/blit/pixel_grid.h"

using namespace gfx;

namespace {

// The routines of one depth; 24 and 32-bit pixels have no separate plain copy.
struct Depth {
    int bytes;
    uint32_t valueMask;
    BlitCopyFn copy;
    BlitKeyedFn keyed;
    BlitLevelFn stipple;
    BlitMaskFn maskStipple;
};

const Depth kDepths[] = {
    {1, 0xFFu, Blt8Copy, Blt8Keyed, Blt8Stipple, Blt8MaskStipple},
    {2, 0xFFFFu, Blt16Copy, Blt16Keyed, Blt16Stipple, Blt16MaskStipple},
    {3, 0xFFFFFFu, nullptr, Blt24Keyed, Blt24Stipple, Blt24MaskStipple},
    {4, 0xFFFFFFFFu, nullptr, Blt32Keyed, Blt32Stipple, Blt32MaskStipple},
};

// The dither thresholds as listed, one row each.
const uint8_t kThreshold[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},  {49, 17, 57, 25, 51, 19, 59, 27},
    {13, 45, 5, 37, 15, 47, 7, 39}, {61, 29, 53, 21, 63, 31, 55, 23},
    {4, 36, 12, 44, 2, 34, 10, 42}, {52, 20, 60, 28, 50, 18, 58, 26},
    {16, 48, 8, 40, 14, 46, 6, 38}, {64, 32, 56, 24, 62, 30, 54, 22},
};

struct Request {
    int32_t dx, dy, width, height, sx, sy;
    uint32_t flags = 0;
    uint32_t srcKey = 0;
    uint32_t dstKey = 0;
};

enum class Mode { Keyed, Stipple, MaskStipple };

// What the destination must hold afterwards, worked out one pixel at a time.
PixelGrid Expected(const PixelGrid& before, const PixelGrid& src, const PixelGrid* mask,
                   const Request& r, Mode mode, uint32_t level, uint32_t valueMask) {
    PixelGrid out = before;
    for (int32_t i = 0; i < r.height; ++i) {
        for (int32_t j = 0; j < r.width; ++j) {
            const int32_t row = (r.flags & BLIT_MIRROR_Y) ? r.sy + r.height - 1 - i : r.sy + i;
            const int32_t col = (r.flags & BLIT_MIRROR_X) ? r.sx + r.width - 1 - j : r.sx + j;
            const uint32_t s = src.Get(col, row);
            const uint32_t d = before.Get(r.dx + j, r.dy + i);
            const uint32_t t = kThreshold[(r.dy + i) & 7][(r.dx + j) & 7];
            bool write = true;
            if (mode == Mode::MaskStipple) {
                const uint32_t m = mask->Get(col, row);
                write = m > 3 && (m >> 2) + 1 >= t;
            } else {
                if (mode == Mode::Stipple) write = (level >> 2) >= t;
                if ((r.flags & BLIT_SRCKEY) && s == (r.srcKey & valueMask)) write = false;
                if ((r.flags & BLIT_DESTKEY) && d != (r.dstKey & valueMask)) write = false;
            }
            if (write) out.Set(r.dx + j, r.dy + i, s);
        }
    }
    return out;
}

void RunKeyed(const Depth& depth, PixelGrid& dst, PixelGrid& src, const Request& r) {
    depth.keyed(dst.Data(), dst.Pitch(), r.dx, r.dy, r.width, r.height, src.Data(), src.Pitch(),
                r.sx, r.sy, r.flags, r.srcKey, r.dstKey);
}
void RunStipple(const Depth& depth, PixelGrid& dst, PixelGrid& src, const Request& r,
                uint32_t level) {
    depth.stipple(dst.Data(), dst.Pitch(), r.dx, r.dy, r.width, r.height, src.Data(), src.Pitch(),
                  r.sx, r.sy, r.flags, r.srcKey, r.dstKey, level);
}
void RunMask(const Depth& depth, PixelGrid& dst, PixelGrid& src, PixelGrid& mask,
             const Request& r) {
    depth.maskStipple(dst.Data(), dst.Pitch(), r.dx, r.dy, r.width, r.height, src.Data(),
                      src.Pitch(), r.sx, r.sy, mask.Data(), mask.Pitch(), r.flags);
}

// Positions changed between two pictures, as (x, y) pairs.
std::vector<std::pair<int32_t, int32_t>> Changed(const PixelGrid& a, const PixelGrid& b) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int32_t y = 0; y < a.Height(); ++y) {
        for (int32_t x = 0; x < a.Width(); ++x) {
            if (a.Get(x, y) != b.Get(x, y)) out.emplace_back(x, y);
        }
    }
    return out;
}

constexpr uint32_t kMirrors[] = {0, BLIT_MIRROR_X, BLIT_MIRROR_Y, BLIT_MIRROR_X | BLIT_MIRROR_Y};

}  // namespace

TEST(BlitRoutines, ThresholdTableHoldsEachRowTwice) {
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 16; ++c) EXPECT_EQ(StippleThresholds[r][c], kThreshold[r][c & 7]);
    }
}

TEST(BlitRoutines, MirrorsReadTheSourceFromTheOppositeEnd) {
    // Source 3 x 2: 1 2 3 / 4 5 6, drawn at (1, 1).
    const uint32_t expected[4][6] = {
        {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}, {4, 5, 6, 1, 2, 3}, {6, 5, 4, 3, 2, 1}};
    for (const Depth& depth : kDepths) {
        const uint32_t scale = 0x01010101u & depth.valueMask;
        for (int m = 0; m < 4; ++m) {
            PixelGrid src(3, 2, depth.bytes);
            for (int k = 0; k < 6; ++k) src.Set(k % 3, k / 3, (k + 1) * scale);
            PixelGrid dst(5, 4, depth.bytes);
            RunKeyed(depth, dst, src, Request{1, 1, 3, 2, 0, 0, kMirrors[m]});
            for (int k = 0; k < 6; ++k) {
                EXPECT_EQ(dst.Get(1 + k % 3, 1 + k / 3), expected[m][k] * scale)
                    << depth.bytes << " bytes, mirror " << m << ", pixel " << k;
            }
            EXPECT_EQ(Changed(PixelGrid(5, 4, depth.bytes), dst).size(), 6u);
        }
    }
}

TEST(BlitRoutines, KeysDecidePerPixelAndCompareOnlyThePixelBits) {
    for (const Depth& depth : kDepths) {
        // Keys carry bits above the pixel size, which must not take part; a 32-bit pixel
        // compares its top byte too.
        const uint32_t srcKey = 0x5A3C1E0Fu;
        const uint32_t dstKey = 0xA5C3E1F0u;
        const uint32_t k = srcKey & depth.valueMask;
        const uint32_t d = dstKey & depth.valueMask;
        const uint32_t nearKey = k ^ (depth.bytes == 4 ? 0x80000000u : 0x1u);
        PixelGrid src(4, 1, depth.bytes);
        const uint32_t srcRow[4] = {k, 0x11, nearKey, k};
        for (int x = 0; x < 4; ++x) src.Set(x, 0, srcRow[x]);
        const uint32_t dstRow[4] = {d, d, 0x77, 0x66};

        struct Expectation {
            uint32_t flags;
            uint32_t row[4];
        } cases[] = {
            {BLIT_SRCKEY, {d, 0x11, nearKey, 0x66}},
            {BLIT_DESTKEY, {k, 0x11, 0x77, 0x66}},
            {BLIT_SRCKEY | BLIT_DESTKEY, {d, 0x11, 0x77, 0x66}},
            {BLIT_SRCKEY | BLIT_MIRROR_X, {d, nearKey, 0x11, 0x66}},
            {BLIT_DESTKEY | BLIT_MIRROR_X, {k, nearKey, 0x77, 0x66}},
        };
        for (const Expectation& e : cases) {
            PixelGrid dst(4, 1, depth.bytes);
            for (int x = 0; x < 4; ++x) dst.Set(x, 0, dstRow[x]);
            RunKeyed(depth, dst, src, Request{0, 0, 4, 1, 0, 0, e.flags, srcKey, dstKey});
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(dst.Get(x, 0), e.row[x])
                    << depth.bytes << " bytes, flags " << e.flags << ", x " << x;
            }
        }
    }
}

// Every width from 1, every column alignment and every key and mirror combination, against the
// per-pixel model; the whole buffer is compared, so a write outside the rectangle fails too.
TEST(BlitRoutines, KeyedAndCopyMatchThePixelModelForEveryShape) {
    std::mt19937 random(7);
    for (const Depth& depth : kDepths) {
        for (int32_t width = 1; width <= 11; ++width) {
            for (int32_t offset = 0; offset < 4; ++offset) {
                PixelGrid src(16, 5, depth.bytes);
                src.FillPattern(random());
                // Keys carry bits above the pixel, which must not take part.
                const uint32_t srcKey = (depth.bytes == 4 ? 0u : 0xFF000000u) | src.Get(1, 2);
                for (int32_t x = 0; x < 16; x += 3) src.Set(x, 2, srcKey & depth.valueMask);
                PixelGrid dst(16, 5, depth.bytes);
                dst.FillPattern(random());
                const uint32_t dstKey = 0x3C3C3C3Cu;
                for (int32_t x = 0; x < 16; x += 2) dst.Set(x, 2, dstKey & depth.valueMask);

                for (uint32_t flags = 0; flags < 16; ++flags) {
                    const Request r{offset, 1, width, 3, 3 - offset, 1, flags, srcKey, dstKey};
                    PixelGrid out = dst;
                    RunKeyed(depth, out, src, r);
                    const PixelGrid expected =
                        Expected(dst, src, nullptr, r, Mode::Keyed, 0, depth.valueMask);
                    ASSERT_EQ(out.Bytes(), expected.Bytes())
                        << depth.bytes << " bytes, width " << width << ", offset " << offset
                        << ", flags " << flags;
                    if (flags == 0 && depth.copy) {
                        PixelGrid copied = dst;
                        depth.copy(copied.Data(), copied.Pitch(), r.dx, r.dy, r.width, r.height,
                                   src.Data(), src.Pitch(), r.sx, r.sy);
                        ASSERT_EQ(copied.Bytes(), expected.Bytes())
                            << depth.bytes << " bytes, width " << width << ", offset " << offset;
                    }
                }
            }
        }
    }
}

TEST(BlitRoutines, StippleLevelsAdmitTheirShareOfEachCell) {
    for (const Depth& depth : kDepths) {
        PixelGrid src(16, 16, depth.bytes);
        src.Fill(0x01010101u & depth.valueMask);
        const PixelGrid blank(16, 16, depth.bytes);
        auto draw = [&](uint32_t level, int32_t dx, int32_t dy) {
            PixelGrid dst = blank;
            RunStipple(depth, dst, src, Request{dx, dy, 8, 8, 0, 0}, level);
            return Changed(blank, dst);
        };
        for (uint32_t level : {0u, 1u, 3u}) EXPECT_TRUE(draw(level, 0, 0).empty());
        // Density 1 admits only the cell whose threshold is 1: table (0, 0). Anchored at
        // destination x 3, that cell falls on blit column 5.
        EXPECT_EQ(draw(4, 0, 0), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}}));
        EXPECT_EQ(draw(7, 3, 0), (std::vector<std::pair<int32_t, int32_t>>{{8, 0}}));
        EXPECT_EQ(draw(128, 0, 0).size(), 32u);
        EXPECT_EQ(draw(128, 5, 6).size(), 32u);
        // 252-255 leave out only the cell whose threshold is 64: table (7, 0).
        for (uint32_t level : {252u, 255u}) {
            const auto changed = draw(level, 0, 0);
            ASSERT_EQ(changed.size(), 63u);
            EXPECT_EQ(std::count(changed.begin(), changed.end(), std::make_pair(0, 7)), 0);
        }
        EXPECT_EQ(draw(256, 0, 0).size(), 64u);
    }
}

TEST(BlitRoutines, StippleContinuesAcrossAdjacentBlitsAndMatchesTheModel) {
    std::mt19937 random(11);
    for (const Depth& depth : kDepths) {
        PixelGrid src(40, 20, depth.bytes);
        src.FillPattern(random());
        PixelGrid dst(40, 20, depth.bytes);
        dst.FillPattern(random());

        PixelGrid whole = dst;
        RunStipple(depth, whole, src, Request{0, 2, 32, 16, 0, 0}, 100);
        PixelGrid halves = dst;
        RunStipple(depth, halves, src, Request{0, 2, 16, 16, 0, 0}, 100);
        RunStipple(depth, halves, src, Request{16, 2, 16, 16, 16, 0}, 100);
        EXPECT_EQ(whole.Bytes(), halves.Bytes()) << depth.bytes << " bytes";

        const uint32_t srcKey = src.Get(4, 4);
        const uint32_t dstKey = dst.Get(7, 7);
        for (uint32_t level : {0u, 64u, 130u, 200u, 256u, 1000u}) {
            for (uint32_t flags : {0u, BLIT_SRCKEY | BLIT_MIRROR_X, BLIT_DESTKEY | BLIT_MIRROR_Y,
                                   BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X | BLIT_MIRROR_Y}) {
                for (int32_t width = 1; width <= 10; width += 3) {
                    const Request r{3 + width, 5, width, 9, 2, 3, flags, srcKey, dstKey};
                    PixelGrid out = dst;
                    RunStipple(depth, out, src, r, level);
                    const PixelGrid expected =
                        Expected(dst, src, nullptr, r, Mode::Stipple, level, depth.valueMask);
                    ASSERT_EQ(out.Bytes(), expected.Bytes())
                        << depth.bytes << " bytes, level " << level << ", flags " << flags
                        << ", width " << width;
                }
            }
        }
        // Full level is the keyed copy.
        const Request r{1, 1, 13, 7, 5, 2, BLIT_SRCKEY | BLIT_MIRROR_X, srcKey, 0};
        PixelGrid stippled = dst;
        RunStipple(depth, stippled, src, r, 256);
        PixelGrid keyed = dst;
        RunKeyed(depth, keyed, src, r);
        EXPECT_EQ(stippled.Bytes(), keyed.Bytes()) << depth.bytes << " bytes";
    }
}

TEST(BlitRoutines, MaskStippleReadsTheMaskAtTheSourcePixel) {
    std::mt19937 random(13);
    for (const Depth& depth : kDepths) {
        PixelGrid src(12, 10, depth.bytes);
        src.FillPattern(random());
        PixelGrid dst(12, 10, depth.bytes);
        dst.FillPattern(random());
        PixelGrid mask(12, 10, 1);

        // Opaque mask: a (mirrored) copy, keys ignored. Mask bytes 0-3: nothing.
        mask.Fill(255);
        for (uint32_t mirror : kMirrors) {
            const Request r{1, 2, 7, 5, 3, 4, mirror | BLIT_SRCKEY};
            PixelGrid out = dst;
            RunMask(depth, out, src, mask, r);
            PixelGrid copy = dst;
            RunKeyed(depth, copy, src, Request{1, 2, 7, 5, 3, 4, mirror});
            EXPECT_EQ(out.Bytes(), copy.Bytes()) << depth.bytes << " bytes, mirror " << mirror;
        }
        for (uint32_t m = 0; m <= 3; ++m) {
            mask.Fill(m);
            PixelGrid out = dst;
            RunMask(depth, out, src, mask, Request{0, 0, 8, 8, 0, 0});
            EXPECT_EQ(out.Bytes(), dst.Bytes());
        }
        // Byte 4 admits the cells of thresholds 1 and 2.
        mask.Fill(4);
        PixelGrid quarter = dst;
        RunMask(depth, quarter, src, mask, Request{0, 0, 8, 8, 2, 2});
        EXPECT_EQ(Changed(dst, quarter),
                  (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {4, 4}}));

        // With both mirrors the source's last pixel lands first, with the mask byte beside it.
        mask.Fill(0);
        mask.Set(3 + 4 - 1, 2 + 3 - 1, 255);
        PixelGrid flipped = dst;
        RunMask(depth, flipped, src, mask,
                Request{5, 6, 4, 3, 3, 2, BLIT_MIRROR_X | BLIT_MIRROR_Y});
        EXPECT_EQ(Changed(dst, flipped), (std::vector<std::pair<int32_t, int32_t>>{{5, 6}}));
        EXPECT_EQ(flipped.Get(5, 6), src.Get(6, 4));

        // Random mask bytes, every width and mirror.
        for (int32_t y = 0; y < 10; ++y) {
            for (int32_t x = 0; x < 12; ++x) mask.Set(x, y, random() & 0xFF);
        }
        for (uint32_t mirror : kMirrors) {
            for (int32_t width = 1; width <= 9; ++width) {
                const Request r{11 - width, 1, width, 8, 9 - width, 2, mirror};
                PixelGrid out = dst;
                RunMask(depth, out, src, mask, r);
                const PixelGrid expected =
                    Expected(dst, src, &mask, r, Mode::MaskStipple, 0, depth.valueMask);
                ASSERT_EQ(out.Bytes(), expected.Bytes())
                    << depth.bytes << " bytes, mirror " << mirror << ", width " << width;
            }
        }
    }
}

TEST(BlitRoutines, RoutinePointersCallThroughTheirShape) {
    PixelGrid src(4, 1, 2);
    src.Fill(0x1234);
    PixelGrid dst(4, 1, 2);
    BlitCall call;
    call.dst = dst.Data();
    call.dstPitch = dst.Pitch();
    call.width = 2;
    call.height = 1;
    call.dx = 1;
    call.src = src.Data();
    call.srcPitch = src.Pitch();
    BlitRoutine copy(Blt16Copy);
    EXPECT_TRUE(copy.IsAvailable());
    EXPECT_EQ(copy.Call(call), 0);
    EXPECT_EQ(dst.Get(0, 0), 0u);
    EXPECT_EQ(dst.Get(1, 0), 0x1234u);
    EXPECT_EQ(dst.Get(2, 0), 0x1234u);
    EXPECT_EQ(dst.Get(3, 0), 0u);

    EXPECT_FALSE(BlitRoutine().IsAvailable());
    EXPECT_FALSE(BlitRoutine(static_cast<BlitLevelFn>(nullptr)).IsAvailable());
    PixelGrid before = dst;
    EXPECT_EQ(BlitRoutine(static_cast<BlitMaskFn>(nullptr)).Call(call), 0);
    EXPECT_EQ(dst.Bytes(), before.Bytes());
}
