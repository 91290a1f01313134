// Every fast body of a scaled routine in the registry that runs here against the routine's scalar
// body on random scaled blits: enlarging, reducing and mixed axes, sources of one pixel and of
// less than one (side 0), mirrors, starts in the middle of the picture, keys that occur in the
// pictures, levels and mask bytes around the dither thresholds and at 0 and 255. Destination
// rectangles sit inside larger blocks, so a stray write shows; source and mask blocks end at the
// last pixel the walk reads, so the sanitized build reports a read past it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "graphics/blit/blit_registry.h"
#include "graphics/blit/scaled_column_table.h"
#include "graphics/core/blit_flags.h"
#include "tests/unit/blit/fast_body_pairs.h"

namespace {

using namespace gfx;

struct Scene {
    int bytes = 1;
    int32_t width = 0, height = 0, dx = 0, dy = 0;
    int32_t sx = 0, sy = 0, sw = 0, sh = 0;
    int32_t dstPitch = 0, srcPitch = 0, maskPitch = 0;
    uint32_t flags = 0, srcKey = 0, dstKey = 0, level = 0;
    size_t dstOffset = 0;
    std::vector<uint8_t> dst, src, mask;

    uint8_t* DstBase(std::vector<uint8_t>& block) const { return block.data() + dstOffset; }
    bool Inside(size_t k) const {
        const ptrdiff_t at = static_cast<ptrdiff_t>(k) - static_cast<ptrdiff_t>(dstOffset);
        if (at < 0) return false;
        const ptrdiff_t row = at / dstPitch, column = at % dstPitch;
        return row >= dy && row < dy + height && column >= dx * bytes &&
               column < (dx + width) * bytes;
    }
};

class SceneMaker {
  public:
    explicit SceneMaker(uint32_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    uint32_t Word() { return static_cast<uint32_t>(rng_()); }

    Scene Make(int bytes, int maxWidth, int maxHeight) {
        const int32_t width = Int(1, maxWidth);
        const int32_t height = Int(1, maxHeight);
        return MakeSized(bytes, width, height, SourceSide(width), SourceSide(height));
    }

    // A scene of a destination width x height drawn from a source of sw x sh.
    Scene MakeSized(int bytes, int32_t width, int32_t height, int32_t sw, int32_t sh) {
        Scene s;
        s.bytes = bytes;
        s.width = width;
        s.height = height;
        s.sw = sw;
        s.sh = sh;
        s.dx = Int(0, 9);
        s.dy = Int(0, 9);
        // Half the scenes start at the source's first byte, so a read before it is caught too.
        const bool atOrigin = Int(0, 1) == 0;
        s.sx = atOrigin ? 0 : Int(0, 9);
        s.sy = atOrigin ? 0 : Int(0, 3);
        const int32_t readWidth = s.sw > 0 ? s.sw : 1;
        const int32_t readHeight = s.sh > 0 ? s.sh : 1;
        s.dstPitch = Pitch(s.dx + s.width, bytes);
        s.srcPitch = Pitch(s.sx + readWidth, bytes);
        s.maskPitch = Pitch(s.sx + readWidth, 1);
        s.dstOffset = static_cast<size_t>(Int(0, 3)) * 4 + (Int(0, 4) == 0 ? Int(1, 3) : 0);

        const uint32_t mask = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
        const uint32_t srcValues[3] = {Word() & mask, Word() & mask, Word() & mask};
        const uint32_t dstValues[3] = {Word() & mask, Word() & mask, srcValues[0]};
        s.srcKey = srcValues[Int(0, 2)];
        s.dstKey = dstValues[Int(0, 2)];

        s.src.resize(static_cast<size_t>(s.sy + readHeight - 1) * s.srcPitch +
                     static_cast<size_t>(s.sx + readWidth) * bytes);
        FillPixels(s.src, 0, s.srcPitch, bytes, srcValues);
        s.dst.resize(s.dstOffset + static_cast<size_t>(s.dy + s.height + 2) * s.dstPitch);
        FillPixels(s.dst, s.dstOffset, s.dstPitch, bytes, dstValues);
        s.mask.resize(static_cast<size_t>(s.sy + readHeight - 1) * s.maskPitch + s.sx + readWidth);
        FillMask(s.mask);

        s.flags = Word() & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X | BLIT_MIRROR_Y);
        if (Int(0, 1) == 0) s.flags |= BLIT_EXACT;
        if (Int(0, 7) == 0) s.flags |= BLIT_STIPPLE | BLIT_NOCLIP;  // bits the routines ignore
        static constexpr uint32_t kLevels[] = {0, 3, 4, 7, 8, 128, 131, 252, 255, 256, 300};
        s.level = Int(0, 2) == 0 ? static_cast<uint32_t>(Int(0, 260)) : kLevels[Int(0, 10)];
        return s;
    }

  private:
    // Enlarging, reducing, the same size, one pixel, or less than one pixel left by clipping.
    int32_t SourceSide(int32_t dest) {
        switch (Int(0, 9)) {
            case 0:
                return 0;
            case 1:
                return 1;
            case 2:
                return dest;
            case 3:
            case 4:
            case 5:
                return Int(1, dest);
            default:
                return Int(dest, 3 * dest + 2);
        }
    }
    int32_t Pitch(int32_t pixels, int bytes) {
        return (pixels * bytes + 3) / 4 * 4 + 4 * Int(0, 1) * Int(0, 3);
    }
    // Mostly the scene's few values in runs, so keys match often; sometimes noise.
    void FillPixels(std::vector<uint8_t>& block, size_t first, int32_t pitch, int bytes,
                    const uint32_t (&values)[3]) {
        for (uint8_t& b : block) b = static_cast<uint8_t>(Word());
        uint32_t v = values[0];
        for (size_t row = first; row < block.size(); row += pitch) {
            for (size_t k = row; k + bytes <= block.size() && k + bytes <= row + pitch;
                 k += bytes) {
                if (Int(0, 3) == 0) v = Int(0, 5) == 0 ? Word() : values[Int(0, 2)];
                for (int b = 0; b < bytes; ++b) block[k + b] = static_cast<uint8_t>(v >> (8 * b));
            }
        }
    }
    // Runs of 0 and of 255 (the skip and copy cases), bytes on both sides of the weights' and
    // thresholds' steps, and noise.
    void FillMask(std::vector<uint8_t>& mask) {
        uint8_t run = 0;
        for (uint8_t& m : mask) {
            switch (Int(0, 5)) {
                case 0:
                    m = static_cast<uint8_t>(Int(0, 255));
                    break;
                case 1:
                    m = static_cast<uint8_t>(Int(0, 31) * 8 + Int(0, 1) * 7);
                    break;
                case 2:
                    m = static_cast<uint8_t>(Int(0, 1) ? Int(0, 4) : Int(250, 255));
                    break;
                default:
                    if (Int(0, 5) == 0) run = Int(0, 1) ? 255 : 0;
                    m = run;
            }
        }
    }

    std::mt19937 rng_;
};

using Pair = FastBodyPair;
std::vector<Pair> Pairs() { return FastBodyPairs(true); }

void RunBody(const BlitBody& body, const Scene& s, uint8_t* dst, const uint8_t* src,
             const uint8_t* mask) {
    BlitCall c;
    c.dst = dst, c.dstPitch = s.dstPitch, c.dx = s.dx, c.dy = s.dy;
    c.width = s.width, c.height = s.height;
    c.src = src, c.srcPitch = s.srcPitch, c.sx = s.sx, c.sy = s.sy;
    c.sw = s.sw, c.sh = s.sh;
    c.flags = s.flags, c.srcKey = s.srcKey, c.dstKey = s.dstKey, c.level = s.level;
    c.mask = mask, c.maskPitch = s.maskPitch;
    body.Call(c);
}

std::string Describe(const Pair& p, const Scene& s) {
    return std::string(InfoOf(p.routine).name) + " (" + BodyKindName(p.kind) + ") " +
           std::to_string(s.sw) + "x" + std::to_string(s.sh) + " -> " + std::to_string(s.width) +
           "x" + std::to_string(s.height) + " d=(" + std::to_string(s.dx) + "," +
           std::to_string(s.dy) + ") s=(" + std::to_string(s.sx) + "," + std::to_string(s.sy) +
           ") flags=" + std::to_string(s.flags) + " level=" + std::to_string(s.level) +
           " offset=" + std::to_string(s.dstOffset);
}

// Runs both bodies on copies of the scene's destination; they must agree byte for byte over the
// whole block, and nothing outside the rectangle may change.
void ExpectSameAsScalar(const Pair& p, const Scene& s) {
    std::vector<uint8_t> expected = s.dst;
    std::vector<uint8_t> actual = s.dst;
    RunBody(*p.scalar, s, s.DstBase(expected), s.src.data(), s.mask.data());
    RunBody(*p.fast, s, s.DstBase(actual), s.src.data(), s.mask.data());
    ASSERT_EQ(expected, actual) << Describe(p, s);
    for (size_t k = 0; k < actual.size(); ++k) {
        if (!s.Inside(k)) {
            ASSERT_EQ(s.dst[k], actual[k]) << Describe(p, s) << " byte " << k;
        }
    }
}

TEST(ScaledFastPath, MatchesScalarOnRandomScaledBlits) {
    if (Pairs().empty()) GTEST_SKIP() << "no scaled fast bodies run on this target";
    SceneMaker maker(20261208);
    for (const Pair& p : Pairs()) {
        // Up to five of the widest registers wide (of 24-bit pixels, blocks of sixteen), so every
        // remainder after whole blocks occurs.
        const int maxWidth = p.bytes == 3 ? 5 * 16 : 5 * 32 / p.bytes;
        for (int trial = 0; trial < 700; ++trial) {
            ExpectSameAsScalar(p, maker.Make(p.bytes, maxWidth, 6));
            if (HasFatalFailure()) return;
        }
    }
}

// Rows wider than the bodies keep on the stack, and the usual factors: twice and half the size.
TEST(ScaledFastPath, MatchesScalarOnWideRowsAndWholeFactors) {
    SceneMaker maker(5);
    for (const Pair& p : Pairs()) {
        for (int trial = 0; trial < 6; ++trial) {
            ExpectSameAsScalar(p, maker.Make(p.bytes, 2500, 3));
            if (HasFatalFailure()) return;
        }
        ExpectSameAsScalar(p, maker.MakeSized(p.bytes, 3500, 2, 1700, 3));
        for (const int32_t side : {1, 2, 3, 15, 16, 17, 33}) {
            ExpectSameAsScalar(p, maker.MakeSized(p.bytes, 2 * side, 2 * side, side, side));
            ExpectSameAsScalar(p, maker.MakeSized(p.bytes, side, side, 2 * side, 2 * side));
            ExpectSameAsScalar(p, maker.MakeSized(p.bytes, 2 * side, side, side, 2 * side));
            // Halving rows that repeat: each source row is drawn twice.
            ExpectSameAsScalar(p, maker.MakeSized(p.bytes, side, 2 * side, 2 * side, side));
            // One source pixel more still takes every other column (the shuffled halving), and an
            // odd width doubles every column but the last.
            ExpectSameAsScalar(p, maker.MakeSized(p.bytes, side, side, 2 * side + 1, side));
            ExpectSameAsScalar(p, maker.MakeSized(p.bytes, 2 * side - 1, side, side, side));
            if (HasFatalFailure()) return;
        }
        // A few rows of 640-pixel pictures, from half and from twice their width.
        ExpectSameAsScalar(p, maker.MakeSized(p.bytes, 640, 4, 320, 2));
        ExpectSameAsScalar(p, maker.MakeSized(p.bytes, 640, 2, 1280, 4));
        if (HasFatalFailure()) return;
    }
}

// A surface drawn onto itself, scaled: source and destination rows share memory, and the result
// must still be the scalar walk's, which reads each source pixel just before it is drawn.
TEST(ScaledFastPath, OverlappingRowsKeepTheScalarOrder) {
    SceneMaker maker(99);
    for (const Pair& p : Pairs()) {
        for (int trial = 0; trial < 300; ++trial) {
            Scene s = maker.Make(p.bytes, 40, 6);
            s.sx = std::max(0, s.dx + maker.Int(-3, 3));
            s.sy = std::max(0, s.dy + maker.Int(-1, 1));
            s.dstPitch = (std::max(s.sx + s.sw, s.dx + s.width) + 8) * p.bytes + 16;
            s.srcPitch = s.dstPitch;
            s.maskPitch = s.dstPitch;
            s.dstOffset = 0;
            const size_t rows = static_cast<size_t>(std::max(s.sy + s.sh, s.dy + s.height) + 2);
            s.dst.resize(rows * s.dstPitch);
            for (uint8_t& b : s.dst) b = static_cast<uint8_t>(maker.Int(0, 3) * 85);
            s.mask.assign(rows * s.maskPitch, uint8_t{200});
            std::vector<uint8_t> expected = s.dst;
            std::vector<uint8_t> actual = s.dst;
            RunBody(*p.scalar, s, expected.data(), expected.data(), s.mask.data());
            RunBody(*p.fast, s, actual.data(), actual.data(), s.mask.data());
            ASSERT_EQ(expected, actual) << Describe(p, s);
        }
    }
}

// The column table is the walk's: floor(j * sw / width) from the first pixel read, negated for a
// mirrored row, and a source of width 0 read as its first pixel.
TEST(ScaledFastPath, ColumnTableFollowsTheWalk) {
    std::vector<int32_t> columns(5);
    FillScaledColumns(columns.data(), 5, 2, false);
    EXPECT_EQ(columns, (std::vector<int32_t>{0, 0, 0, 1, 1}));
    FillScaledColumns(columns.data(), 2, 5, false);
    EXPECT_EQ(columns[1], 2);
    FillScaledColumns(columns.data(), 4, 2, true);
    EXPECT_EQ((std::vector<int32_t>(columns.begin(), columns.begin() + 4)),
              (std::vector<int32_t>{0, 0, -1, -1}));
    FillScaledColumns(columns.data(), 5, 0, true);
    EXPECT_EQ(columns, (std::vector<int32_t>(5, 0)));
    for (const int32_t width : {1, 7, 640, 1280}) {
        for (const int32_t sw : {1, 3, 320, 639, 640, 641, 1280, 4000}) {
            columns.assign(width, -7);
            FillScaledColumns(columns.data(), width, sw, false);
            for (int32_t j = 0; j < width; ++j) {
                ASSERT_EQ(columns[j], static_cast<int32_t>(int64_t{j} * sw / width))
                    << sw << " " << width;
            }
        }
    }
}

}  // namespace
