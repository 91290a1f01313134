// Every fast body of the registry that runs here (so also whichever body Blit runs under a
// routine's name) against the routine's scalar body on random blits: every width from 1 to a few
// registers, column and address misalignment, mirroring, keys that occur in the pictures, levels
// and mask bytes around the dither thresholds. Destination buffers extend beyond the rectangle on
// every side, so a stray write shows as a difference; source buffers end at the last pixel read,
// so the sanitized build reports a read past it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/blit/blit_registry.h"
#include "graphics/core/blit_flags.h"
#include "tests/unit/blit/fast_body_pairs.h"

namespace {

using namespace gfx;

// One random blit with its own buffers. The destination rectangle sits inside a larger block; the
// source (and mask) block ends right after the last pixel of the rectangle's last row.
struct Scene {
    int bytes = 1;
    int32_t width = 0, height = 0, dx = 0, dy = 0, sx = 0, sy = 0;
    int32_t dstPitch = 0, srcPitch = 0, maskPitch = 0;
    uint32_t flags = 0, srcKey = 0, dstKey = 0, level = 0;
    size_t dstOffset = 0;
    std::vector<uint8_t> dst, src, mask;

    uint8_t* DstBase(std::vector<uint8_t>& block) const { return block.data() + dstOffset; }
};

class SceneMaker {
  public:
    explicit SceneMaker(uint32_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    uint32_t Word() { return static_cast<uint32_t>(rng_()); }

    Scene Make(int bytes, int maxWidth) {
        Scene s;
        s.bytes = bytes;
        s.width = Int(1, maxWidth);
        s.height = Int(1, 5);
        s.dx = Int(0, 9);
        s.dy = Int(0, 9);
        // Half the scenes start at the source's first byte, so a read before it is caught too.
        const bool atOrigin = Int(0, 1) == 0;
        s.sx = atOrigin ? 0 : Int(0, 9);
        s.sy = atOrigin ? 0 : Int(0, 3);
        s.dstPitch = Pitch(s.dx + s.width, bytes);
        s.srcPitch = Pitch(s.sx + s.width, bytes);
        s.maskPitch = Pitch(s.sx + s.width, 1);
        s.dstOffset = static_cast<size_t>(Int(0, 3)) * 4 + (Int(0, 4) == 0 ? Int(1, 3) : 0);

        const uint32_t mask = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
        const uint32_t srcValues[3] = {Word() & mask, Word() & mask, Word() & mask};
        const uint32_t dstValues[3] = {Word() & mask, Word() & mask, srcValues[0]};
        s.srcKey = srcValues[Int(0, 2)];
        s.dstKey = dstValues[Int(0, 2)];

        s.src.resize(static_cast<size_t>(s.sy + s.height - 1) * s.srcPitch +
                     static_cast<size_t>(s.sx + s.width) * bytes);
        FillPixels(s.src, 0, s.srcPitch, bytes, srcValues);
        s.dst.resize(s.dstOffset + static_cast<size_t>(s.dy + s.height + 2) * s.dstPitch);
        FillPixels(s.dst, s.dstOffset, s.dstPitch, bytes, dstValues);
        s.mask.resize(static_cast<size_t>(s.sy + s.height - 1) * s.maskPitch + s.sx + s.width);
        for (uint8_t& m : s.mask) m = MaskByte();
        // A third of the masks are runs, as a sprite's are: whole registers of 0 or 255 (which
        // the blends skip or copy) next to mixed ones.
        if (Int(0, 2) == 0) {
            for (size_t k = 0; k < s.mask.size();) {
                const int choice = Int(0, 2);
                const uint8_t m = choice == 0 ? 0 : choice == 1 ? 255 : MaskByte();
                for (int run = Int(1, 24); run > 0 && k < s.mask.size(); --run) s.mask[k++] = m;
            }
        }

        s.flags =
            Word() & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X | BLIT_MIRROR_Y | BLIT_EXACT);
        if (Int(0, 7) == 0) s.flags |= BLIT_STIPPLE | BLIT_NOCLIP;  // bits the routines ignore
        static constexpr uint32_t kLevels[] = {0, 3, 4, 7, 8, 128, 131, 252, 255, 256, 300};
        s.level = Int(0, 2) == 0 ? static_cast<uint32_t>(Int(0, 260)) : kLevels[Int(0, 10)];
        return s;
    }

  private:
    // Rows are padded to 4 bytes, sometimes with a few spare words.
    int32_t Pitch(int32_t pixels, int bytes) {
        return (pixels * bytes + 3) / 4 * 4 + 4 * Int(0, 1) * Int(0, 3);
    }
    // Mostly the scene's few values, so keys match often and in runs; sometimes noise. Pixels are
    // laid out row by row from `first`, so every row holds whole values whatever its pitch.
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
    // Bytes on both sides of the thresholds' steps, the ends and the odd one in between.
    uint8_t MaskByte() {
        switch (Int(0, 3)) {
            case 0:
                return static_cast<uint8_t>(Int(0, 255));
            case 1:
                return static_cast<uint8_t>(Int(0, 63) * 4 + Int(0, 3));
            case 2:
                return static_cast<uint8_t>(Int(0, 1) ? Int(0, 4) : Int(250, 255));
            default:
                return static_cast<uint8_t>(Int(0, 16) * 16 - Int(0, 1));
        }
    }

    std::mt19937 rng_;
};

using Pair = FastBodyPair;
std::vector<Pair> Pairs() { return FastBodyPairs(false); }

// Runs a body on a destination block with the scene's arguments.
void RunBody(const BlitBody& body, const Scene& s, uint8_t* dst, const uint8_t* src,
             const uint8_t* mask) {
    BlitCall c;
    c.dst = dst, c.dstPitch = s.dstPitch, c.dx = s.dx, c.dy = s.dy;
    c.width = s.width, c.height = s.height;
    c.src = src, c.srcPitch = s.srcPitch, c.sx = s.sx, c.sy = s.sy;
    c.sw = s.width, c.sh = s.height;
    c.flags = s.flags, c.srcKey = s.srcKey, c.dstKey = s.dstKey, c.level = s.level;
    c.mask = mask, c.maskPitch = s.maskPitch;
    body.Call(c);
}

std::string Describe(const Pair& p, const Scene& s) {
    return std::string(InfoOf(p.routine).name) + " (" + BodyKindName(p.kind) +
           ") w=" + std::to_string(s.width) + " h=" + std::to_string(s.height) + " d=(" +
           std::to_string(s.dx) + "," + std::to_string(s.dy) + ") s=(" + std::to_string(s.sx) +
           "," + std::to_string(s.sy) + ") flags=" + std::to_string(s.flags) +
           " level=" + std::to_string(s.level) + " offset=" + std::to_string(s.dstOffset);
}

TEST(BlitFastPath, MatchesScalarOnRandomBlits) {
    if (Pairs().empty()) GTEST_SKIP() << "no fast bodies run on this target";
    SceneMaker maker(20261207);
    for (const Pair& p : Pairs()) {
        // Up to five registers (of 24-bit pixels, blocks of 32 for the AVX2 walk) wide, so every
        // remainder after whole registers occurs.
        const int maxWidth = p.bytes == 3 ? 5 * 32 : 5 * 16 / p.bytes;
        for (int trial = 0; trial < 1000; ++trial) {
            Scene s = maker.Make(p.bytes, maxWidth);
            std::vector<uint8_t> expected = s.dst;
            std::vector<uint8_t> actual = s.dst;
            RunBody(*p.scalar, s, s.DstBase(expected), s.src.data(), s.mask.data());
            RunBody(*p.fast, s, s.DstBase(actual), s.src.data(), s.mask.data());
            ASSERT_EQ(expected, actual) << Describe(p, s);
        }
    }
}

TEST(BlitFastPath, LeavesEverythingOutsideTheRectangle) {
    SceneMaker maker(7);
    for (const Pair& p : Pairs()) {
        for (int trial = 0; trial < 200; ++trial) {
            Scene s = maker.Make(p.bytes, 70);
            s.flags &= ~BLIT_DESTKEY;
            s.level = 256;
            std::fill(s.mask.begin(), s.mask.end(), uint8_t{255});
            const std::vector<uint8_t> before = s.dst;
            std::vector<uint8_t> after = s.dst;
            RunBody(*p.fast, s, s.DstBase(after), s.src.data(), s.mask.data());
            for (size_t k = 0; k < after.size(); ++k) {
                const ptrdiff_t at =
                    static_cast<ptrdiff_t>(k) - static_cast<ptrdiff_t>(s.dstOffset);
                const ptrdiff_t row = at < 0 ? -1 : at / s.dstPitch;
                const ptrdiff_t column = at < 0 ? -1 : at % s.dstPitch;
                const bool inside = row >= s.dy && row < s.dy + s.height &&
                                    column >= s.dx * p.bytes && column < (s.dx + s.width) * p.bytes;
                if (!inside) {
                    ASSERT_EQ(before[k], after[k]) << Describe(p, s) << " byte " << k;
                }
            }
        }
    }
}

// A surface drawn onto itself: the rows overlap, and the result must still be the scalar one.
TEST(BlitFastPath, OverlappingRowsKeepTheScalarOrder) {
    SceneMaker maker(99);
    for (const Pair& p : Pairs()) {
        for (int trial = 0; trial < 300; ++trial) {
            Scene s = maker.Make(p.bytes, 60);
            s.sy = s.dy + maker.Int(-1, 1);
            s.sy = s.sy < 0 ? 0 : s.sy;
            s.sx = s.dx + maker.Int(-3, 3);
            s.sx = s.sx < 0 ? 0 : s.sx;
            std::vector<uint8_t> block(s.dstOffset +
                                       static_cast<size_t>(s.dy + s.sy + s.height + 2) *
                                           (s.dstPitch + 4 * p.bytes + 16));
            s.dstPitch += 4 * p.bytes + 16;
            s.srcPitch = s.dstPitch;
            s.maskPitch = s.dstPitch;
            s.mask.resize(static_cast<size_t>(s.sy + s.height) * s.maskPitch, uint8_t{200});
            for (uint8_t& b : block) b = static_cast<uint8_t>(maker.Int(0, 3) * 85);
            std::vector<uint8_t> expected = block;
            std::vector<uint8_t> actual = block;
            RunBody(*p.scalar, s, s.DstBase(expected), s.DstBase(expected), s.mask.data());
            RunBody(*p.fast, s, s.DstBase(actual), s.DstBase(actual), s.mask.data());
            ASSERT_EQ(expected, actual) << Describe(p, s);
        }
    }
}

}  // namespace
