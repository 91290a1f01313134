// The filtered scaling routines against per-pixel models written out plainly here: bilinear
// interpolation by its four phases, the fixed-point box average by pixel overlaps, the
// floating-point one in double precision (its last bit is not fixed). Then the fast bodies against
// the scalar ones, and whole blits through surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/blit/bilinear_scale.h"
#include "graphics/blit/bilinear_scale_avx2.h"
#include "graphics/blit/blit.h"
#include "graphics/blit/blit_registry.h"
#include "graphics/blit/box_average_sse2.h"
#include "graphics/blit/instruction_sets.h"
#include "graphics/core/blit_flags.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

RoutineId SmoothRoutine(int bytes) {
    return bytes == 1   ? RoutineId::Blt8ScaledSmooth
           : bytes == 3 ? RoutineId::Blt24ScaledSmooth
                        : RoutineId::Blt32ScaledSmooth;
}

// One filtered blit with its own blocks. The destination rectangle sits inside a block with
// spare bytes on every side; the source block ends right after the rectangle's last pixel, so a
// read past it shows in the sanitized build.
struct Scene {
    int bytes = 1;
    int32_t width = 1, height = 1, dx = 0, dy = 0;
    int32_t sx = 0, sy = 0, sw = 1, sh = 1;
    uint32_t flags = 0;
    int32_t dstPitch = 0, srcPitch = 0;
    size_t dstOffset = 0;
    std::vector<uint8_t> src, dst;

    // Source byte b of pixel (c, r) of the rectangle.
    uint8_t Src(int32_t c, int32_t r, int b) const {
        return src[size_t(sy + r) * srcPitch + size_t(sx + c) * bytes + b];
    }
    // Destination byte b of filtered pixel (j, i), placed as mirroring places it.
    size_t DstIndex(const std::vector<uint8_t>&, int32_t j, int32_t i, int b) const {
        const int32_t column = (flags & BLIT_MIRROR_X) ? width - 1 - j : j;
        const int32_t row = (flags & BLIT_MIRROR_Y) ? height - 1 - i : i;
        return dstOffset + size_t(dy + row) * dstPitch + size_t(dx + column) * bytes + b;
    }
    int32_t Run(const BlitBody& body, std::vector<uint8_t>& into) const {
        BlitCall c;
        c.dst = into.data() + dstOffset, c.dstPitch = dstPitch, c.dx = dx, c.dy = dy;
        c.width = width, c.height = height;
        c.src = src.data(), c.srcPitch = srcPitch, c.sx = sx, c.sy = sy, c.sw = sw, c.sh = sh;
        c.flags = flags;
        return body.Call(c);
    }
    std::vector<uint8_t> RunScalar() const {
        std::vector<uint8_t> out = dst;
        Run(BodyOf(SmoothRoutine(bytes), BodyKind::Scalar), out);
        return out;
    }
    std::string Describe() const {
        return std::to_string(bytes) + " bytes, " + std::to_string(sw) + "x" + std::to_string(sh) +
               " at (" + std::to_string(sx) + "," + std::to_string(sy) + ") to " +
               std::to_string(width) + "x" + std::to_string(height) + " at (" + std::to_string(dx) +
               "," + std::to_string(dy) + ") flags " + std::to_string(flags);
    }
};

class SceneMaker {
  public:
    explicit SceneMaker(uint32_t seed) : rng_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    Scene Make(int bytes, int32_t sw, int32_t sh, int32_t width, int32_t height) {
        Scene s;
        s.bytes = bytes;
        s.sw = sw, s.sh = sh, s.width = width, s.height = height;
        s.sx = Int(0, 1) ? 0 : Int(0, 9);
        s.sy = Int(0, 1) ? 0 : Int(0, 5);
        s.dx = Int(0, 5), s.dy = Int(0, 3);
        s.flags = static_cast<uint32_t>(Int(0, 3)) * BLIT_MIRROR_X;  // both mirror bits
        if (Int(0, 5) == 0) s.flags |= BLIT_SRCKEY | BLIT_NOCLIP;    // bits the routines ignore
        s.srcPitch = (s.sx + sw) * bytes + Int(0, 2) * 4;
        s.dstPitch = (s.dx + width + 2) * bytes + Int(0, 1) * 4;
        s.dstOffset = static_cast<size_t>(Int(0, 7));
        s.src.resize(size_t(s.sy + sh - 1) * s.srcPitch + size_t(s.sx + sw) * bytes);
        // Runs of extremes and smooth ramps as well as noise, so sums reach their bounds.
        const int style = Int(0, 3);
        for (size_t k = 0; k < s.src.size(); ++k) {
            s.src[k] = style == 0   ? static_cast<uint8_t>(Int(0, 255))
                       : style == 1 ? static_cast<uint8_t>(Int(0, 1) * 255)
                       : style == 2 ? uint8_t{255}
                                    : static_cast<uint8_t>(k * 7);
        }
        s.dst.resize(s.dstOffset + size_t(s.dy + height + 2) * s.dstPitch);
        for (uint8_t& b : s.dst) b = static_cast<uint8_t>(Int(0, 255));
        return s;
    }

  private:
    std::mt19937 rng_;
};

// Bilinear model: along one axis destination index k sits at -8192 + k * step; before 0 it takes
// the first pixel, before the last pixel's centre the pixel at its integer part blended with the
// next, after that the last pixel.
struct AxisTap {
    bool blends;
    int32_t pixel;
    int32_t fraction;
};
AxisTap ModelTap(int32_t k, int32_t count, float ratio) {
    const int64_t step = static_cast<int64_t>(ratio * 16384.0f);
    const int64_t position = -8192 + k * step;
    if (position < 0) return {false, 0, 0};
    if (position < int64_t{count - 1} * 16384) {
        return {true, static_cast<int32_t>(position >> 14), static_cast<int32_t>(position & 16383)};
    }
    return {false, count - 1, 0};
}

float Ratio(int32_t source, int32_t destination) {
    return static_cast<float>(source) / static_cast<float>(destination);
}

std::vector<uint8_t> BilinearModel(const Scene& s) {
    std::vector<uint8_t> out = s.dst;
    for (int32_t i = 0; i < s.height; ++i) {
        const AxisTap y = ModelTap(i, s.sh, Ratio(s.sh, s.height));
        for (int32_t j = 0; j < s.width; ++j) {
            const AxisTap x = ModelTap(j, s.sw, Ratio(s.sw, s.width));
            for (int b = 0; b < s.bytes; ++b) {
                const int32_t fx = x.fraction, fy = y.fraction, p = x.pixel, r = y.pixel;
                int32_t v;
                if (!y.blends && !x.blends) {
                    v = s.Src(p, r, b);
                } else if (!y.blends) {
                    v = (s.Src(p + 1, r, b) * fx + s.Src(p, r, b) * (16384 - fx)) >> 14;
                } else if (!x.blends) {
                    v = ((16384 - fy) * s.Src(p, r, b) + fy * s.Src(p, r + 1, b)) >> 14;
                } else {
                    v = ((((16384 - fy) * fx) >> 14) * s.Src(p + 1, r, b) +
                         ((fy * fx) >> 14) * s.Src(p + 1, r + 1, b) +
                         (((16384 - fx) * fy) >> 14) * s.Src(p, r + 1, b) +
                         (((16384 - fy) * (16384 - fx)) >> 14) * s.Src(p, r, b)) >>
                        14;
                }
                out[s.DstIndex(out, j, i, b)] = static_cast<uint8_t>(v);
            }
        }
    }
    return out;
}

// Overlap, in 16.16 units, of the cell [start, start + length) with source pixel k.
int64_t Overlap(int64_t start, int64_t length, int64_t k) {
    return std::max<int64_t>(
        0, std::min(start + length, (k + 1) * 65536) - std::max(start, k * 65536));
}

// Fixed-point box model: every pixel weighs the truncated product of its overlaps; the part of a
// cell beyond the rectangle counts for its edge pixel.
std::vector<uint8_t> BoxFixedModel(const Scene& s) {
    const float rx = Ratio(s.sw, s.width), ry = Ratio(s.sh, s.height);
    const int64_t X = static_cast<int64_t>(rx * 65536.0f), Y = static_cast<int64_t>(ry * 65536.0f);
    const uint32_t A = static_cast<uint32_t>(rx * ry * 65536.0f);
    std::vector<uint8_t> out = s.dst;
    for (int32_t i = 0; i < s.height; ++i) {
        for (int32_t j = 0; j < s.width; ++j) {
            for (int b = 0; b < s.bytes; ++b) {
                uint32_t sum = 0;
                for (int64_t r = i * Y / 65536; r <= (i * Y + Y) / 65536; ++r) {
                    for (int64_t c = j * X / 65536; c <= (j * X + X) / 65536; ++c) {
                        const int64_t weight = (Overlap(i * Y, Y, r) * Overlap(j * X, X, c)) >> 16;
                        const int32_t cc = static_cast<int32_t>(std::min<int64_t>(c, s.sw - 1));
                        const int32_t rr = static_cast<int32_t>(std::min<int64_t>(r, s.sh - 1));
                        sum += s.Src(cc, rr, b) * static_cast<uint32_t>(weight);
                    }
                }
                out[s.DstIndex(out, j, i, b)] = static_cast<uint8_t>(sum / A);
            }
        }
    }
    return out;
}

// Floating-point box model, exact coverage in double precision.
std::vector<uint8_t> BoxFloatModel(const Scene& s) {
    const double rx = Ratio(s.sw, s.width), ry = Ratio(s.sh, s.height);
    std::vector<uint8_t> out = s.dst;
    for (int32_t i = 0; i < s.height; ++i) {
        for (int32_t j = 0; j < s.width; ++j) {
            for (int b = 0; b < s.bytes; ++b) {
                double sum = 0;
                for (int32_t r = 0; r < s.sh; ++r) {
                    const double cy = std::max(
                        0.0, std::min(r + 1.0, (i + 1) * ry) - std::max(double(r), i * ry));
                    for (int32_t c = 0; c < s.sw && cy > 0; ++c) {
                        const double cx = std::max(
                            0.0, std::min(c + 1.0, (j + 1) * rx) - std::max(double(c), j * rx));
                        sum += s.Src(c, r, b) * cx * cy;
                    }
                }
                out[s.DstIndex(out, j, i, b)] = static_cast<uint8_t>(sum / (rx * ry));
            }
        }
    }
    return out;
}

// 8-bit scene from rows of values, source at (sx, sy), destination without offsets.
Scene Grey(const std::vector<std::vector<uint8_t>>& rows, int32_t width, int32_t height,
           uint32_t flags = 0, int32_t sx = 0, int32_t sy = 0) {
    Scene s;
    s.sx = sx, s.sy = sy;
    s.sw = static_cast<int32_t>(rows[0].size()), s.sh = static_cast<int32_t>(rows.size());
    s.width = width, s.height = height, s.flags = flags;
    s.srcPitch = sx + s.sw, s.dstPitch = width;
    s.src.assign(size_t(sy + s.sh) * s.srcPitch, 0);
    for (int32_t r = 0; r < s.sh; ++r) {
        std::copy(rows[r].begin(), rows[r].end(), s.src.begin() + (sy + r) * s.srcPitch + sx);
    }
    s.dst.assign(size_t(width) * height, 0);
    return s;
}

std::vector<uint8_t> Flat(const std::vector<std::vector<uint8_t>>& rows) {
    std::vector<uint8_t> out;
    for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
    return out;
}

}  // namespace

TEST(SmoothScale, InterpolatesWhenEnlargingInEitherDirection) {
    // x at -8192 takes the first pixel, 0 and 8192 blend, 16384 reaches the last pixel.
    EXPECT_EQ(Grey({{0, 255}}, 4, 1).RunScalar(), Flat({{0, 0, 127, 255}}));
    // Rows at fy = 0 (the top row once more) and fy = 8192 between the two source rows.
    EXPECT_EQ(Grey({{0, 100}, {200, 40}}, 4, 4).RunScalar(),
              Flat({{0, 0, 50, 100}, {0, 0, 50, 100}, {100, 100, 85, 70}, {200, 200, 120, 40}}));
    // Mirroring fills the destination from its far end.
    EXPECT_EQ(Grey({{0, 100}, {200, 40}}, 4, 4, BLIT_MIRROR_X | BLIT_MIRROR_Y).RunScalar(),
              Flat({{40, 120, 200, 200}, {70, 85, 100, 100}, {100, 50, 0, 0}, {100, 50, 0, 0}}));
    // Reduced across and enlarged down: still interpolated, and the columns follow the position:
    // cells at 0, 2.5 and 5.5 of a ramp of 10 a column, so the right part is reached.
    const Scene mixed =
        Grey({{0, 10, 20, 30, 40, 50, 60, 70, 80}, {0, 10, 20, 30, 40, 50, 60, 70, 80}}, 3, 4);
    EXPECT_EQ(mixed.RunScalar(), Flat({{0, 25, 55}, {0, 25, 55}, {0, 25, 55}, {0, 25, 55}}));
    // A rectangle at (8, 16) starts at that pixel.
    Scene offset = Grey({{9, 90}, {200, 7}}, 3, 3, 0, 8, 16);
    EXPECT_EQ(offset.RunScalar()[0], 9);
}

TEST(SmoothScale, AveragesCellsWhenReducingBothWays) {
    // Halving averages 2 x 2 blocks.
    EXPECT_EQ(
        Grey({{10, 20, 0, 255}, {30, 40, 255, 255}, {1, 2, 9, 9}, {3, 4, 9, 9}}, 2, 2).RunScalar(),
        Flat({{25, 191}, {2, 9}}));
    // A rectangle at (8, 16) averages from there.
    EXPECT_EQ(Grey({{10, 20, 7, 7}, {30, 40, 7, 7}}, 2, 1, BLIT_MIRROR_X, 8, 16).RunScalar(),
              Flat({{7, 25}}));
    // 16 x 16 cells take the floating-point path and give the block means truncated.
    std::vector<std::vector<uint8_t>> big(32, std::vector<uint8_t>(32));
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c) big[r][c] = static_cast<uint8_t>((r * 32 + c) % 251);
    }
    uint32_t sums[2][2] = {};
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c) sums[r / 16][c / 16] += big[r][c];
    }
    EXPECT_EQ(Grey(big, 2, 2).RunScalar(),
              Flat({{uint8_t(sums[0][0] / 256), uint8_t(sums[0][1] / 256)},
                    {uint8_t(sums[1][0] / 256), uint8_t(sums[1][1] / 256)}}));
}

// Every path of every depth against its model: enlargement, reduction, mixed directions, mirrors,
// offsets, sizes of one pixel.
TEST(SmoothScale, MatchesTheModelsAtEveryDepth) {
    SceneMaker maker(20261208);
    for (int bytes : {1, 3, 4}) {
        for (int trial = 0; trial < 300; ++trial) {
            // Bilinear: at least one direction enlarged (or kept), the other anything.
            const bool acrossEnlarged = maker.Int(0, 1) == 0;
            const int32_t small = maker.Int(1, 9), large = maker.Int(1, 40);
            const int32_t sw = acrossEnlarged ? small : maker.Int(1, 40);
            const int32_t width = acrossEnlarged ? maker.Int(small, 40) : maker.Int(1, 40);
            const int32_t sh = acrossEnlarged ? maker.Int(1, 20) : small;
            const int32_t height = acrossEnlarged ? maker.Int(1, 20) : std::max(small, large / 2);
            Scene s = maker.Make(bytes, sw, sh, width, height);
            if (Ratio(sw, width) > 1.0f && Ratio(sh, height) > 1.0f) continue;
            ASSERT_EQ(s.RunScalar(), BilinearModel(s)) << s.Describe();
        }
        for (int trial = 0; trial < 300; ++trial) {
            // Fixed-point box: reduced both ways, cells below 64 pixels.
            const int32_t width = maker.Int(1, 12), height = maker.Int(1, 6);
            const int32_t sw = width + maker.Int(1, 7 * width),
                          sh = height + maker.Int(1, 7 * height);
            if (Ratio(sw, width) * Ratio(sh, height) >= 64.0f) continue;
            Scene s = maker.Make(bytes, sw, sh, width, height);
            ASSERT_EQ(s.RunScalar(), BoxFixedModel(s)) << s.Describe();
        }
        for (int trial = 0; trial < 60; ++trial) {
            // Floating-point box: cells of 64 pixels or more; the last bit may differ.
            const int32_t width = maker.Int(1, 6), height = maker.Int(1, 4);
            const int32_t sw = width * maker.Int(2, 14) + maker.Int(0, 5);
            const int32_t sh = height * maker.Int(2, 14) + maker.Int(0, 3);
            if (Ratio(sw, width) * Ratio(sh, height) < 64.0f) continue;
            Scene s = maker.Make(bytes, sw, sh, width, height);
            const std::vector<uint8_t> actual = s.RunScalar(), model = BoxFloatModel(s);
            for (size_t k = 0; k < actual.size(); ++k) {
                ASSERT_LE(std::abs(actual[k] - model[k]), 1) << s.Describe() << " byte " << k;
            }
        }
    }
}

// Edges that would loop without end or read outside the source rectangle.
TEST(SmoothScale, EndsAndStaysInsideTheSource) {
    SceneMaker maker(5);
    // A source side of 0 (less than a pixel left by clipping) is its first pixel throughout.
    for (int bytes : {1, 3, 4}) {
        for (const auto& [sw, sh] : {std::pair{0, 0}, std::pair{0, 3}, std::pair{4, 0}}) {
            Scene s = maker.Make(bytes, std::max(sw, 1), std::max(sh, 1), 7, 5);
            s.sw = sw, s.sh = sh;
            Scene one = s;
            one.sw = std::max(sw, 1), one.sh = std::max(sh, 1);
            EXPECT_EQ(s.RunScalar(), BilinearModel(one)) << s.Describe();
        }
    }
    // Steps that truncate to 0 (enlarging 2 pixels to 40000) keep the first pixel and end.
    Scene flat = maker.Make(1, 2, 1, 40000, 1);
    flat.flags = 0;
    const std::vector<uint8_t> out = flat.RunScalar();
    for (int32_t j = 0; j < 40000; ++j)
        ASSERT_EQ(out[flat.DstIndex(out, j, 0, 0)], flat.Src(0, 0, 0));
    // 293 columns in 9 cells of 32.55 rounded up: the last cell ends 1/65536 past the edge, which
    // is read from the edge pixel (the source block ends at the rectangle's last pixel).
    for (int bytes : {1, 3, 4}) {
        Scene s = maker.Make(bytes, 293, 3, 9, 2);
        ASSERT_EQ(s.RunScalar(), BoxFixedModel(s)) << s.Describe();
    }
}

// Every fast body of the filtered routines against the scalar body: odd widths across the register
// steps, the three paths, mirrors, the destination's spare bytes kept.
TEST(SmoothScale, FastBodiesMatchTheScalarBodies) {
    SceneMaker maker(77);
    int compared = 0;
    for (int bytes : {1, 3, 4}) {
        const RoutineId id = SmoothRoutine(bytes);
        for (int k = 1; k < kBodyKindCount; ++k) {
            const BodyKind kind = static_cast<BodyKind>(k);
            if (!HasRunnableBody(id, kind)) continue;
            for (int trial = 0; trial < 1500; ++trial) {
                int32_t sw, sh, width, height;
                switch (trial % 3) {
                    case 0:  // enlarging, sometimes in one direction only
                        sw = maker.Int(1, 24), width = sw + maker.Int(0, 60);
                        sh = maker.Int(1, 8), height = maker.Int(1, 12);
                        break;
                    case 1:  // reducing, cells below 64 pixels
                        width = maker.Int(1, 40), height = maker.Int(1, 5);
                        sw = width + maker.Int(1, 3 * width),
                        sh = height + maker.Int(1, 3 * height);
                        break;
                    default:  // anything, strong reductions included
                        sw = maker.Int(1, 90), sh = maker.Int(1, 30);
                        width = maker.Int(1, 50), height = maker.Int(1, 8);
                        break;
                }
                const Scene s = maker.Make(bytes, sw, sh, width, height);
                std::vector<uint8_t> fast = s.dst;
                s.Run(BodyOf(id, kind), fast);
                ASSERT_EQ(s.RunScalar(), fast) << BodyKindName(kind) << " " << s.Describe();
                ++compared;
            }
        }
    }
    if (compared == 0) GTEST_SKIP() << "no fast filtered bodies run on this target";
    // A surface drawn onto itself: the rows overlap, and the result is still the scalar one.
    for (int bytes : {3, 4}) {
        const RoutineId id = SmoothRoutine(bytes);
        for (int trial = 0; trial < 300 && HasRunnableBody(id, BodyKind::Sse2); ++trial) {
            Scene s = maker.Make(bytes, maker.Int(1, 30), maker.Int(1, 9), maker.Int(1, 30),
                                 maker.Int(1, 9));
            s.dstPitch = s.srcPitch = (40 + s.sx) * bytes;
            s.dstOffset = 0;
            s.dx = std::max(0, s.sx + maker.Int(-3, 3)),
            s.dy = std::max(0, s.sy + maker.Int(-1, 1));
            s.src.assign(size_t(s.srcPitch) * (s.sy + s.dy + 40), 0);
            for (uint8_t& b : s.src) b = static_cast<uint8_t>(maker.Int(0, 255));
            std::vector<uint8_t> scalar = s.src, fast = s.src;
            BlitCall c;
            c.dstPitch = c.srcPitch = s.srcPitch, c.dx = s.dx, c.dy = s.dy;
            c.width = s.width, c.height = s.height, c.sx = s.sx, c.sy = s.sy, c.sw = s.sw;
            c.sh = s.sh, c.flags = s.flags;
            c.dst = scalar.data(), c.src = scalar.data();
            BodyOf(id, BodyKind::Scalar).Call(c);
            c.dst = fast.data(), c.src = fast.data();
            BodyOf(id, BodyKind::Sse2).Call(c);
            ASSERT_EQ(scalar, fast) << s.Describe();
        }
    }
}

// Rows wider than a strip of columns (256), mirrored or not, through every fast body: the wide
// rows' groups run up to the strip ends and the row's own. Enlarging by a hair (300 to 301) puts
// groups of eight columns that take eight source pixels beside groups that take nine.
TEST(SmoothScale, FastBodiesMatchTheScalarBodiesOnWideRows) {
    SceneMaker maker(78);
    for (int bytes : {1, 3, 4}) {
        const RoutineId id = SmoothRoutine(bytes);
        for (int k = 1; k < kBodyKindCount; ++k) {
            const BodyKind kind = static_cast<BodyKind>(k);
            if (!HasRunnableBody(id, kind)) continue;
            for (const auto& [sw, width] :
                 {std::pair{320, 640}, std::pair{300, 1301}, std::pair{640, 600}, std::pair{2, 700},
                  std::pair{300, 301}}) {
                const Scene s = maker.Make(bytes, sw, 3, width, 5);
                std::vector<uint8_t> fast = s.dst;
                s.Run(BodyOf(id, kind), fast);
                ASSERT_EQ(s.RunScalar(), fast) << BodyKindName(kind) << " " << s.Describe();
            }
        }
    }
}

// What the fast rows rely on when they read every column as two adjacent pixels: a column that
// takes one pixel alone weighs the second 0, and such columns come only before the first pair
// (at pixel 0) or after the last (at the last pixel).
TEST(SmoothScale, ColumnsOfOnePixelWeighItAloneAndLieAtTheEnds) {
    for (const int32_t sources : {1, 2, 3, 7, 320}) {
        for (const int32_t columns : {1, 5, 64, 641, 1300}) {
            BilinearAxis axis(sources, static_cast<float>(sources) / static_cast<float>(columns));
            bool pairsSeen = false, tailSeen = false;
            for (int32_t j = 0; j < columns; ++j) {
                const BilinearTap tap = axis.Next();
                const std::string where = std::to_string(sources) + " -> " +
                                          std::to_string(columns) + " column " + std::to_string(j);
                if (tap.first == tap.second) {
                    ASSERT_EQ(tap.fraction, 0) << where;
                    ASSERT_EQ(tap.first, pairsSeen ? sources - 1 : 0) << where;
                    tailSeen = pairsSeen;
                } else {
                    ASSERT_EQ(tap.second, tap.first + 1) << where;
                    ASSERT_FALSE(tailSeen) << where;
                    pairsSeen = true;
                }
            }
        }
    }
}

#if defined(__SSE2__)
// The fast box average divides by multiplying: exact for every sum below 2^30, checked at the
// multiples of the divisor (where rounding up would show) and at the top of the range.
TEST(SmoothScale, ReciprocalDivisionIsExact) {
    std::mt19937 rng(3);
    std::vector<uint32_t> divisors = {1, 2, 3, 7, 65536, 65537, 98304, 131071, 262144, 4194303};
    for (int k = 0; k < 200; ++k) divisors.push_back(65536 + rng() % (4194304 - 65536));
    for (uint32_t d : divisors) {
        const ExactDivisor divisor(d);
        for (int k = 0; k < 300; ++k) {
            const uint32_t q = rng() % ((1u << 30) / d);
            for (uint32_t n : {q * d, q * d + d - 1, q * d + (d - 1) / 2}) {
                if (n >= (1u << 30)) continue;
                ASSERT_EQ(divisor.Divide(n), n / d) << n << " / " << d;
            }
        }
        const uint32_t top = (1u << 30) - 1;
        ASSERT_EQ(divisor.Divide(top), top / d) << d;
        ASSERT_EQ(divisor.Divide(top - top % d - 1), (top - top % d - 1) / d) << d;
    }
}
#endif

#if defined(GFX_HAVE_X86_TARGETS)
// A row of one source row blends first + ((second - first) * fx) >> 14 in 16-bit lanes, which
// must be the scalar row's sum of both weights for every pair of bytes, a negative difference
// (rounded toward minus infinity) included, and at the ends of the fraction's range.
__attribute__((target("avx2"))) void CheckOneRowBlend(int32_t fx) {
    alignas(32) int16_t first[16], second[16], fractions[16], out[16];
    for (int16_t& f : fractions) f = static_cast<int16_t>(fx);
    const BilinearWeights w(fx, 0);
    for (int32_t a = 0; a < 256; ++a) {
        for (int32_t b0 = 0; b0 < 256; b0 += 16) {
            for (int k = 0; k < 16; ++k)
                first[k] = static_cast<int16_t>(a), second[k] = static_cast<int16_t>(b0 + k);
            const __m256i v = bilinear_avx2::Between(
                _mm256_load_si256(reinterpret_cast<const __m256i*>(first)),
                _mm256_load_si256(reinterpret_cast<const __m256i*>(second)), fractions);
            _mm256_store_si256(reinterpret_cast<__m256i*>(out), v);
            for (int k = 0; k < 16; ++k) {
                const int32_t sum = w.topLeft * a + w.topRight * (b0 + k);
                ASSERT_EQ(sum >> kBilinearShift, out[k]) << a << " to " << b0 + k << " at " << fx;
            }
        }
    }
}

TEST(SmoothScale, OneRowBlendGivesTheWeightedSum) {
    if (!BodyKindRunsHere(BodyKind::Avx2)) GTEST_SKIP() << "no AVX2";
    for (const int32_t fx : {0, 1, 4096, 8192, 12345, 16383}) {
        CheckOneRowBlend(fx);
        if (HasFatalFailure()) return;
    }
}
#endif

class SmoothBlit : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(source.GetAccessCount(), 0);
        EXPECT_EQ(destination.GetAccessCount(), 0);
    }
    // Pixels of the source picture in a scene, for the models.
    Scene SceneOf(int bytes, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t width,
                  int32_t height, uint32_t flags) {
        Scene s;
        s.bytes = bytes, s.sx = sx, s.sy = sy, s.sw = sw, s.sh = sh;
        s.width = width, s.height = height, s.flags = flags;
        s.srcPitch = static_cast<int32_t>(RowBytes(source.GetFormat(), source.GetWidth()));
        s.src.assign(source.Row(0), source.Row(source.GetHeight()));
        s.dstPitch =
            static_cast<int32_t>(RowBytes(destination.GetFormat(), destination.GetWidth()));
        s.dst.assign(destination.Row(0), destination.Row(destination.GetHeight()));
        return s;
    }
    std::vector<uint8_t> Pixels() {
        return std::vector<uint8_t>(destination.Row(0), destination.Row(destination.GetHeight()));
    }
    BufferSurface source, destination;
};

// BLIT_SMOOTH reaches the filtered routines of 8, 24 and 32-bit surfaces with their mirroring; a
// clipped start filters the source rectangle that clipping leaves.
TEST_F(SmoothBlit, BlitDrawsTheFilteredPicture) {
    const struct {
        PixelFormat format;
        int bytes;
    } depths[] = {{FMT_INDEX8, 1}, {FMT_RGB24, 3}, {FMT_RGB32, 4}};
    for (const auto& d : depths) {
        ASSERT_EQ(source.Create(12, 10, d.format, 0, nullptr), ResultOk);
        for (int32_t y = 0; y < 10; ++y) {
            for (uint32_t k = 0; k < RowBytes(d.format, 12); ++k)
                source.Row(y)[k] = uint8_t(y * 29 + k * 11);
        }
        for (uint32_t flags : {0u, BLIT_MIRROR_X | BLIT_MIRROR_Y}) {
            ASSERT_EQ(destination.Create(30, 20, d.format, 0, nullptr), ResultOk);
            // Enlarged across, reduced down; then reduced both ways.
            Scene s = SceneOf(d.bytes, 2, 1, 8, 9, 25, 4, flags);
            s.dx = 3, s.dy = 2;
            const std::vector<uint8_t> enlarged = BilinearModel(s);
            ASSERT_EQ(source.Blit(&destination, 3, 2, 25, 4, 2, 1, 8, 9, flags | BLIT_SMOOTH, 0),
                      ResultOk);
            EXPECT_EQ(Pixels(), enlarged) << d.bytes << " flags " << flags;

            s = SceneOf(d.bytes, 0, 0, 12, 10, 5, 4, flags);
            s.dx = 20, s.dy = 12;
            const std::vector<uint8_t> reduced = BoxFixedModel(s);
            ASSERT_EQ(source.Blit(&destination, 20, 12, 5, 4, 0, 0, 12, 10, flags | BLIT_SMOOTH, 0),
                      ResultOk);
            EXPECT_EQ(Pixels(), reduced) << d.bytes << " flags " << flags;
        }
        // Drawn at (-6, -4), 24 x 20 from 12 x 10: the clipped part {0, 0, 18, 16} is filtered
        // from the source {3, 2, 9, 8}.
        ASSERT_EQ(destination.Create(30, 20, d.format, 0, nullptr), ResultOk);
        Scene s = SceneOf(d.bytes, 3, 2, 9, 8, 18, 16, 0);
        const std::vector<uint8_t> clipped = BilinearModel(s);
        ASSERT_EQ(source.Blit(&destination, -6, -4, 24, 20, 0, 0, 12, 10, BLIT_SMOOTH, 0),
                  ResultOk);
        EXPECT_EQ(Pixels(), clipped) << d.bytes;
    }
}
