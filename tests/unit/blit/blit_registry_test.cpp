#include "graphics/blit/blit_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <utility>

#include "graphics/core/blit_flags.h"
#include "graphics/core/stipple_thresholds.h"
#include "tests/unit/blit/pixel_grid.h"

using namespace gfx;

namespace {

enum Mode { kCopy, kKeyed, kStipple, kMaskStipple };

// The routines of one depth, by mode; 24 and 32-bit pixels have no separate plain copy.
struct Depth {
    int bytes;
    uint32_t valueMask;
    std::optional<RoutineId> routines[4];
};

using R = RoutineId;
const Depth kDepths[] = {
    {1, 0xFFu, {R::Blt8Copy, R::Blt8Keyed, R::Blt8Stipple, R::Blt8MaskStipple}},
    {2, 0xFFFFu, {R::Blt16Copy, R::Blt16Keyed, R::Blt16Stipple, R::Blt16MaskStipple}},
    {3, 0xFFFFFFu, {std::nullopt, R::Blt24Keyed, R::Blt24Stipple, R::Blt24MaskStipple}},
    {4, 0xFFFFFFFFu, {std::nullopt, R::Blt32Keyed, R::Blt32Stipple, R::Blt32MaskStipple}},
};

// Runs the body of `kind` of the depth's routine for the mode, by default the one Blit runs.
void Draw(const Depth& depth, Mode mode, PixelGrid& dst, PixelGrid& src, PixelGrid* mask,
          BlitCall call, std::optional<BodyKind> kind = std::nullopt) {
    call.dst = dst.Data();
    call.dstPitch = dst.Pitch();
    call.src = src.Data();
    call.srcPitch = src.Pitch();
    call.mask = mask ? mask->Data() : nullptr;
    call.maskPitch = mask ? mask->Pitch() : 0;
    const RoutineId id = *depth.routines[mode];
    (kind ? BodyOf(id, *kind) : ServedBody(id)).Call(call);
}

// The kinds of the routine's bodies that run here, scalar first.
std::vector<BodyKind> KindsOf(RoutineId id) {
    std::vector<BodyKind> kinds;
    for (int k = 0; k < kBodyKindCount; ++k) {
        if (HasRunnableBody(id, static_cast<BodyKind>(k)))
            kinds.push_back(static_cast<BodyKind>(k));
    }
    return kinds;
}

// What the destination must hold afterwards, worked out one pixel at a time.
PixelGrid Expected(const Depth& depth, Mode mode, const PixelGrid& before, const PixelGrid& src,
                   const PixelGrid& mask, const BlitCall& c) {
    PixelGrid out = before;
    for (int32_t i = 0; i < c.height; ++i) {
        for (int32_t j = 0; j < c.width; ++j) {
            const int32_t row = (c.flags & BLIT_MIRROR_Y) ? c.sy + c.height - 1 - i : c.sy + i;
            const int32_t col = (c.flags & BLIT_MIRROR_X) ? c.sx + c.width - 1 - j : c.sx + j;
            const uint32_t s = src.Get(col, row), m = mask.Get(col, row);
            const uint32_t threshold = StippleThresholds[(c.dy + i) & 7][(c.dx + j) & 7];
            bool write = mode != kStipple || (c.level >> 2) >= threshold;
            if (mode == kMaskStipple) write = m > 3 && (m >> 2) + 1 >= threshold;
            if (mode == kKeyed || mode == kStipple) {
                if ((c.flags & BLIT_SRCKEY) && s == (c.srcKey & depth.valueMask)) write = false;
                if ((c.flags & BLIT_DESTKEY) &&
                    before.Get(c.dx + j, c.dy + i) != (c.dstKey & depth.valueMask)) {
                    write = false;
                }
            }
            if (write) out.Set(c.dx + j, c.dy + i, s);
        }
    }
    return out;
}

using Cells = std::vector<std::pair<int32_t, int32_t>>;

Cells Changed(const PixelGrid& a, const PixelGrid& b) {
    Cells out;
    for (int32_t y = 0; y < a.Height(); ++y) {
        for (int32_t x = 0; x < a.Width(); ++x) {
            if (a.Get(x, y) != b.Get(x, y)) out.emplace_back(x, y);
        }
    }
    return out;
}

BlitCall Rect(int32_t dx, int32_t dy, int32_t width, int32_t height, int32_t sx, int32_t sy,
              uint32_t flags = 0, uint32_t level = 0) {
    BlitCall c;
    c.dx = dx, c.dy = dy, c.width = width, c.height = height, c.sx = sx, c.sy = sy;
    c.flags = flags, c.level = level;
    return c;
}

}  // namespace

TEST(BlitRoutines, ThresholdTableIsTheListedMatrixWithRowsTwice) {
    std::vector<int> values;
    for (int r = 0; r < 8; ++r) {
        values.insert(values.end(), StippleThresholds[r], StippleThresholds[r] + 8);
        EXPECT_TRUE(
            std::equal(StippleThresholds[r], StippleThresholds[r] + 8, StippleThresholds[r] + 8));
    }
    std::sort(values.begin(), values.end());
    for (int k = 0; k < 64; ++k) EXPECT_EQ(values[k], k + 1);
    EXPECT_EQ(StippleThresholds[0][1], 33);
    EXPECT_EQ(StippleThresholds[3][4], 63);
    EXPECT_EQ(StippleThresholds[6][7], 38);
}

TEST(BlitRoutines, StippleAndMaskAdmitTheirCellsAnchoredAtTheDestination) {
    for (const Depth& depth : kDepths) {
        PixelGrid src(40, 16, depth.bytes), mask(40, 16, 1);
        src.FillPattern(3);
        const PixelGrid blank(40, 16, depth.bytes);
        auto draw = [&](Mode mode, BlitCall c) {
            PixelGrid dst = blank;
            Draw(depth, mode, dst, src, &mask, c);
            return dst;
        };
        auto changed = [&](uint32_t level, int32_t dx) {
            return Changed(blank, draw(kStipple, Rect(dx, 0, 8, 8, 0, 0, 0, level)));
        };
        EXPECT_TRUE(changed(3, 0).empty());
        // Density 1 admits the cell of threshold 1, table (0, 0): at destination x 3 it falls on
        // blit column 5. 252-255 leave out the cell of threshold 64, table (7, 0).
        EXPECT_EQ(changed(4, 0), (Cells{{0, 0}}));
        EXPECT_EQ(changed(7, 3), (Cells{{8, 0}}));
        EXPECT_EQ(changed(128, 5).size(), 32u);
        const Cells most = changed(255, 0);
        EXPECT_EQ(most.size(), 63u);
        EXPECT_EQ(std::count(most.begin(), most.end(), std::make_pair(0, 7)), 0);
        EXPECT_EQ(changed(256, 0).size(), 64u);
        // Two adjacent blits continue one dither.
        PixelGrid halves = draw(kStipple, Rect(0, 0, 16, 8, 0, 0, 0, 100));
        Draw(depth, kStipple, halves, src, nullptr, Rect(16, 0, 16, 8, 16, 0, 0, 100));
        EXPECT_EQ(halves.Bytes(), draw(kStipple, Rect(0, 0, 32, 8, 0, 0, 0, 100)).Bytes());

        // Mask bytes up to 3 admit nothing, 4 the cells of thresholds 1 and 2.
        auto fillMask = [&](uint32_t m) {
            for (int32_t k = 0; k < 40 * 16; ++k) mask.Set(k % 40, k / 40, m);
        };
        fillMask(3);
        EXPECT_TRUE(Changed(blank, draw(kMaskStipple, Rect(0, 0, 8, 8, 0, 0))).empty());
        fillMask(4);
        EXPECT_EQ(Changed(blank, draw(kMaskStipple, Rect(0, 0, 8, 8, 2, 2))),
                  (Cells{{0, 0}, {4, 4}}));
        // With both mirrors the source's last pixel lands first, with the mask byte beside it.
        fillMask(0);
        mask.Set(6, 4, 255);
        const PixelGrid one =
            draw(kMaskStipple, Rect(5, 6, 4, 3, 3, 2, BLIT_MIRROR_X | BLIT_MIRROR_Y));
        EXPECT_EQ(Changed(blank, one), (Cells{{5, 6}}));
        EXPECT_EQ(one.Get(5, 6), src.Get(6, 4));
    }
}

// Every body of every routine that runs here, over every width from 1, every column alignment and
// flag combination, a spread of levels and random mask bytes, against the per-pixel model. Whole
// buffers are compared, so a write outside the rectangle (or past a row's end into its padding)
// fails too.
TEST(BlitRoutines, EveryModeMatchesThePixelModel) {
    std::mt19937 random(7);
    for (const Depth& depth : kDepths) {
        PixelGrid src(16, 6, depth.bytes), dst(16, 6, depth.bytes), mask(16, 6, 1);
        src.FillPattern(random());
        dst.FillPattern(random());
        mask.FillPattern(random());
        // Keys carry bits above the pixel size, which must not take part; pixels that differ
        // from a key in the top bit only must not match it.
        const uint32_t srcKey = (depth.bytes == 4 ? 0u : 0xFF000000u) | src.Get(1, 2);
        const uint32_t dstKey = 0x3C3C3C3Cu;
        const uint32_t topBit = 1u << (8 * depth.bytes - 1);
        for (int32_t x = 0; x < 16; ++x) {
            src.Set(x, 2, (srcKey ^ (x % 3 == 1 ? topBit : 0)) & depth.valueMask);
            dst.Set(x, 3, (dstKey ^ (x % 3 == 1 ? topBit : 0)) & depth.valueMask);
        }

        for (Mode mode : {kCopy, kKeyed, kStipple, kMaskStipple}) {
            if (!depth.routines[mode]) continue;
            for (BodyKind kind : KindsOf(*depth.routines[mode])) {
                for (int32_t width = 1; width <= 11; ++width) {
                    for (int32_t offset = 0; offset < 4; ++offset) {
                        for (uint32_t flags = 0; flags < (mode == kCopy ? 1u : 16u); ++flags) {
                            for (uint32_t level : {0u, 4u, 130u, 252u, 256u}) {
                                if (mode != kStipple && level != 0) continue;
                                BlitCall c = Rect(offset, 1 + offset % 2, width, 4, 4 - offset, 1,
                                                  flags, level);
                                c.srcKey = srcKey, c.dstKey = dstKey;
                                PixelGrid out = dst;
                                Draw(depth, mode, out, src, &mask, c, kind);
                                ASSERT_EQ(out.Bytes(),
                                          Expected(depth, mode, dst, src, mask, c).Bytes())
                                    << depth.bytes << " bytes, mode " << mode << ", "
                                    << BodyKindName(kind) << " body, width " << width << ", offset "
                                    << offset << ", flags " << flags << ", level " << level;
                            }
                        }
                    }
                }
            }
        }
    }
}

// Blit runs the widest body of each routine that this processor runs; tests and benchmarks may
// serve routines by other bodies, and the start-up choice comes back afterwards.
TEST(BlitRegistry, ServesTheWidestRunnableBodyUnlessForced) {
    std::vector<BodyKind> startUp;
    for (size_t i = 0; i < kRoutineCount; ++i) {
        const RoutineId id = RoutineAt(i);
        const BodyKind served = ServedKind(id);
        startUp.push_back(served);
        EXPECT_EQ(ServedBody(id).IsAvailable(), BodyOf(id, BodyKind::Scalar).IsAvailable())
            << InfoOf(id).name;
        EXPECT_EQ(KindsOf(id).empty() ? BodyKind::Scalar : KindsOf(id).back(), served)
            << InfoOf(id).name;
    }
    ForceBlitBody(BodyKind::Scalar);
    for (size_t i = 0; i < kRoutineCount; ++i)
        EXPECT_EQ(ServedKind(RoutineAt(i)), BodyKind::Scalar);
    // A routine without a body of a kind keeps its body when that kind is forced on it alone.
    EXPECT_FALSE(ForceRoutineBody(R::Blt24MaskStipple, BodyKind::Sse2));
    EXPECT_TRUE(ForceRoutineBody(R::Blt16Alpha555, BodyKind::Scalar));
    EXPECT_EQ(ServedKind(R::Blt24MaskStipple), BodyKind::Scalar);
    if (HasRunnableBody(R::Blt8Copy, BodyKind::Sse2)) {
        EXPECT_TRUE(ForceRoutineBody(R::Blt8Copy, BodyKind::Sse2));
        EXPECT_EQ(ServedKind(R::Blt8Copy), BodyKind::Sse2);
        EXPECT_EQ(ServedKind(R::Blt16Copy), BodyKind::Scalar);
    }
    RestoreBlitBodies();
    for (size_t i = 0; i < kRoutineCount; ++i) EXPECT_EQ(ServedKind(RoutineAt(i)), startUp[i]);
}
