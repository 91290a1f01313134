#include "graphics/blit/blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/blit/blit_selection.h"
#include "graphics/image/clip_region.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

std::string Selected(uint32_t depth, bool scaled, uint32_t flags, PixelFormat format = 0) {
    const BlitSelectionRow* row = SelectBlitRoutine(depth, scaled, flags, format);
    return row ? InfoOf(row->routine).name : "none";
}

// A surface whose bytes follow their position, so that neighbouring pixels differ.
void MakePicture(BufferSurface& s, int32_t w, int32_t h, PixelFormat format, uint8_t seed) {
    ASSERT_EQ(s.Create(w, h, format, 0, nullptr), ResultOk);
    for (int32_t y = 0; y < h; ++y) {
        for (uint32_t k = 0; k < RowBytes(format, w); ++k) s.Row(y)[k] = seed + y * 37 + k;
    }
}

std::vector<uint8_t> Pixels(BufferSurface& s) {
    return std::vector<uint8_t>(s.Row(0), s.Row(s.GetHeight()));
}

BlitExtra Extra(Surface* s) { return reinterpret_cast<BlitExtra>(s); }

}  // namespace

TEST(BlitSelection, FollowsTheTablesInOrder) {
    const uint32_t kMask = BLIT_MASK_ALPHA | BLIT_MASK_STIPPLE | BLIT_MASK_PREMUL;
    const struct {
        uint32_t depth;
        bool scaled;
        uint32_t flags;
        PixelFormat format;
        const char* name;
    } cases[] = {
        {8, false, BLIT_MASK_ALPHA, 0, "Blt8MaskStipple"},
        {8, false, 0, 0, "Blt8Copy"},
        {8, false, BLIT_EXACT, 0, "Blt8Keyed"},
        {16, false, BLIT_MASK_ALPHA, FMT_BGR555, "Blt16MaskAlpha555"},
        {16, false, kMask, FMT_RGB565, "Blt16MaskAlpha565"},
        {16, false, BLIT_STIPPLE | BLIT_ALPHA, FMT_RGB555, "Blt16Stipple"},
        {16, false, BLIT_ALPHA, FMT_BGR565, "Blt16Alpha565"},
        {16, false, 0, FMT_RGB565, "Blt16Copy"},
        {16, false, BLIT_MASK_PREMUL, FMT_RGB565, "Blt16Keyed"},
        {24, false, BLIT_STIPPLE | BLIT_ALPHA, 0, "Blt24Alpha"},
        {24, false, BLIT_MASK_STIPPLE | BLIT_ALPHA, 0, "Blt24MaskStipple"},
        {32, false, BLIT_MASK_PREMUL | BLIT_MASK_STIPPLE, 0, "Blt32MaskPremul"},
        {8, true, BLIT_SMOOTH | BLIT_ALPHA, 0, "Blt8ScaledStipple"},
        {8, true, BLIT_MASK_ALPHA, 0, "Blt8ScaledKeyed"},
        {16, true, BLIT_MASK_ALPHA, FMT_RGB555, "Blt16ScaledMaskAlpha555"},
        {16, true, BLIT_SMOOTH | BLIT_MASK_STIPPLE, FMT_RGB565, "Blt16ScaledKeyed"},
        {32, true, BLIT_MASK_ALPHA, 0, "Blt32ScaledKeyed"},
        {4, false, 0, 0, "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Selected(c.depth, c.scaled, c.flags, c.format), c.name) << c.flags;
    }
    // Only the rows of mask modes need a mask; every routine has a body.
    for (uint32_t depth : {8u, 16u, 24u, 32u}) {
        for (uint32_t bit = 1; bit != 0; bit <<= 1) {
            for (bool scaled : {false, true}) {
                const BlitSelectionRow* row = SelectBlitRoutine(depth, scaled, bit, FMT_RGB565);
                const std::string name = InfoOf(row->routine).name;
                EXPECT_EQ(row->test.mask, name.find("Mask") != std::string::npos) << name;
                EXPECT_TRUE(!row->test.mask || (bit & kMask)) << name;
                EXPECT_TRUE(ServedBody(row->routine).IsAvailable()) << name;
            }
        }
    }
}

class BlitDispatch : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(source.GetAccessCount(), 0);
        EXPECT_EQ(destination.GetAccessCount(), 0);
        EXPECT_EQ(mask.GetAccessCount(), 0);
    }
    BufferSurface source, destination, mask;
};

// A clipped blit, mirrored or not, shows the matching window of the unclipped one; the whole
// picture flipped upright is the case the image loaders use.
TEST_F(BlitDispatch, ClippedBlitsMatchTheUnclippedPicture) {
    MakePicture(source, 12, 9, FMT_RGB565, 5);
    BufferSurface wide;
    for (uint32_t flags : {0u, BLIT_MIRROR_X, BLIT_MIRROR_Y, BLIT_MIRROR_X | BLIT_MIRROR_Y}) {
        for (int32_t dx : {-7, 0, 9}) {
            for (int32_t dy : {-4, 0, 5}) {
                ASSERT_EQ(wide.Create(40, 30, FMT_RGB565, 0, nullptr), ResultOk);
                ASSERT_EQ(source.Blit(&wide, dx + 10, dy + 10, 10, 7, 1, 2, 10, 7, flags, 0),
                          ResultOk);
                ASSERT_EQ(destination.Create(14, 11, FMT_RGB565, 0, nullptr), ResultOk);
                ASSERT_EQ(source.Blit(&destination, dx, dy, 10, 7, 1, 2, 10, 7, flags, 0),
                          ResultOk);
                for (int32_t y = 0; y < 11; ++y) {
                    ASSERT_EQ(std::memcmp(destination.Row(y), wide.Row(y + 10) + 20, 28), 0)
                        << "flags " << flags << " at " << dx << ", " << dy << " row " << y;
                }
            }
        }
    }
    ASSERT_EQ(destination.Create(12, 9, FMT_RGB565, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, 0, 0, 12, 9, 0, 0, 12, 9, BLIT_MIRROR_Y, 0), ResultOk);
    for (int32_t y = 0; y < 9; ++y) {
        EXPECT_EQ(std::memcmp(destination.Row(y), source.Row(8 - y), 24), 0) << y;
    }
}

// A region that reaches past the destination clips at the destination's edge on that side. Rows
// are packed without padding, so a row drawn past its end shows in the next row's first pixels,
// and past the first or last row outside the buffer (which the sanitized build reports).
TEST_F(BlitDispatch, RegionsReachingPastTheDestinationClipAtItsEdges) {
    MakePicture(source, 8, 6, FMT_INDEX8, 3);
    const struct {
        int32_t dx, dy;
    } placements[] = {{-3, 0}, {0, -2}, {3, 0}, {0, 2}, {-5, -4}, {5, 4}};
    for (uint32_t flags : {0u, BLIT_MIRROR_X | BLIT_MIRROR_Y}) {
        for (const auto& p : placements) {
            MakePicture(destination, 8, 6, FMT_INDEX8, 100);
            ClipRegion* region = destination.NewRegion();
            region->SetRect(-100, -100, 200, 200);
            destination.SetRegion(region);
            region->Release();
            std::vector<uint8_t> expected = Pixels(destination);
            for (int32_t y = 0; y < 6; ++y) {
                for (int32_t x = 0; x < 8; ++x) {
                    int32_t column = x - p.dx, row = y - p.dy;
                    if (column < 0 || column >= 8 || row < 0 || row >= 6) continue;
                    if (flags) column = 7 - column, row = 5 - row;
                    expected[y * 8 + x] = source.Row(row)[column];
                }
            }
            ASSERT_EQ(source.Blit(&destination, p.dx, p.dy, 8, 6, 0, 0, 8, 6, flags, 0), ResultOk);
            EXPECT_EQ(Pixels(destination), expected)
                << "at " << p.dx << ", " << p.dy << " flags " << flags;
        }
    }
}

// When nothing is drawn the status is the first that Blit's steps reach. With BLIT_NOCLIP an empty
// rectangle goes on to the locks, so a surface that refuses its lock is reported; without it a
// width or height of 0 stops before them. A negative width inside the clip rectangle goes on to
// the clipped source check, and then to the locks.
TEST_F(BlitDispatch, EmptyRequestsReportTheFirstStatusTheStepsReach) {
    MakePicture(source, 8, 8, FMT_INDEX8, 1);
    MakePicture(destination, 8, 8, FMT_INDEX8, 2);
    MakePicture(mask, 8, 8, FMT_INDEX8, 255);
    const std::vector<uint8_t> before = Pixels(destination);
    auto blit = [&](int32_t dx, int32_t dw, int32_t dh, int32_t sx, int32_t sw, int32_t sh,
                    uint32_t flags) {
        return source.Blit(&destination, dx, 0, dw, dh, sx, 0, sw, sh, flags, Extra(&mask));
    };
    for (bool encodedSource : {true, false}) {
        source.refuseLock = encodedSource;
        destination.refuseLock = !encodedSource;
        EXPECT_EQ(blit(0, 0, 8, 0, 0, 8, BLIT_NOCLIP), ResultEncoded);
        EXPECT_EQ(blit(0, 8, 0, 0, 8, 0, BLIT_NOCLIP), ResultEncoded);
        EXPECT_EQ(blit(-20, 0, 8, 0, 0, 8, BLIT_NOCLIP), ResultEncoded);
        EXPECT_EQ(blit(6, -4, 8, 0, 4, 8, 0), ResultEncoded);
        EXPECT_EQ(blit(0, 0, 8, 0, 0, 8, 0), ResultOk);
        EXPECT_EQ(blit(0, 8, 0, 0, 8, 0, 0), ResultOk);
        EXPECT_EQ(blit(-1, -4, 8, 4, 8, 8, 0), ResultOk);
        EXPECT_EQ(blit(6, -4, 8, 4, 8, 8, 0), ResultInvalid);
    }
    source.refuseLock = destination.refuseLock = false;
    for (uint32_t flags : {0u, BLIT_SRCKEY | BLIT_MIRROR_X | BLIT_MIRROR_Y, BLIT_STIPPLE,
                           BLIT_MASK_STIPPLE, BLIT_MASK_ALPHA}) {
        EXPECT_EQ(blit(0, 0, 8, 0, 0, 8, flags | BLIT_NOCLIP), ResultOk) << flags;
        EXPECT_EQ(blit(0, 8, 0, 0, 8, 0, flags | BLIT_NOCLIP), ResultOk) << flags;
        EXPECT_EQ(blit(6, -4, 8, 0, 4, 8, flags), ResultOk) << flags;
        EXPECT_EQ(blit(6, -4, 8, 4, 8, 8, flags), ResultInvalid) << flags;
        EXPECT_EQ(source.Blit(&destination, 0, 6, 8, -3, 0, 0, 8, 8, flags, Extra(&mask)), ResultOk)
            << flags;
        EXPECT_EQ(source.Blit(&destination, 0, 6, 8, -3, 0, 0, 8, 9, flags, Extra(&mask)),
                  ResultInvalid)
            << flags;
    }
    EXPECT_EQ(Pixels(destination), before);
}

TEST_F(BlitDispatch, KeysLevelAndMaskComeFromTheirOwnPlaces) {
    MakePicture(source, 8, 8, FMT_INDEX8, 0);
    source.Row(0)[0] = source.Row(0)[2] = 7;
    source.SetSourceKey(7);
    source.SetDestKey(0);
    ASSERT_EQ(destination.Create(16, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    std::memcpy(destination.Row(0), "\x09\x09\x05\x09", 4);
    destination.SetDestKey(9);
    ASSERT_EQ(source.Blit(&destination, 0, 0, 4, 1, 0, 0, 4, 1, BLIT_SRCKEY | BLIT_DESTKEY, 0),
              ResultOk);
    EXPECT_EQ(std::memcmp(destination.Row(0), "\x09\x01\x05\x03", 4), 0);

    // Level 4 admits the one cell whose dither threshold is 1.
    ASSERT_EQ(destination.Create(16, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, 8, 0, 8, 8, 0, 0, 8, 8, BLIT_STIPPLE, 4), ResultOk);
    std::vector<uint8_t> expected(16 * 8, 0);
    expected[8] = 7;
    EXPECT_EQ(Pixels(destination), expected);

    // The mask is read at source coordinates: only source column 6 is opaque.
    ASSERT_EQ(mask.Create(8, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    for (int32_t y = 0; y < 8; ++y) mask.Row(y)[6] = 255;
    ASSERT_EQ(destination.Create(16, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, 9, 0, 4, 8, 4, 0, 4, 8, BLIT_MASK_STIPPLE, Extra(&mask)),
              ResultOk);
    expected[8] = 0;
    for (int32_t y = 0; y < 8; ++y) expected[y * 16 + 11] = source.Row(y)[6];
    EXPECT_EQ(Pixels(destination), expected);
}

TEST_F(BlitDispatch, FailuresAndMissingRoutinesDrawNothingAndLeaveEverythingUnlocked) {
    MakePicture(source, 8, 8, FMT_INDEX8, 1);
    MakePicture(destination, 8, 8, FMT_INDEX8, 2);
    MakePicture(mask, 8, 8, FMT_INDEX8, 200);
    const std::vector<uint8_t> before = Pixels(destination);
    auto blit = [&](Surface* dst, uint32_t flags, BlitExtra extra, int32_t dx = 0) {
        return source.Blit(dst, dx, 0, 8, 8, 0, 0, 8, 8, flags, extra);
    };
    BufferSurface empty, deeper, small, narrow;
    ASSERT_EQ(deeper.Create(8, 8, FMT_RGB565, 0, nullptr), ResultOk);
    ASSERT_EQ(small.Create(8, 7, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(narrow.Create(7, 8, FMT_INDEX8, 0, nullptr), ResultOk);

    EXPECT_EQ(blit(nullptr, 0, 0), ResultInvalid);
    EXPECT_EQ(blit(&empty, 0, 0), ResultNoImage);
    EXPECT_EQ(blit(&deeper, 0, 0), ResultInvalid);
    // Mask modes without a usable mask succeed without drawing; a mask smaller than the part of
    // the source that is read is refused.
    EXPECT_EQ(blit(&destination, BLIT_MASK_ALPHA, 0), ResultOk);
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, Extra(&deeper)), ResultOk);
    mask.refuseLock = true;
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, Extra(&mask)), ResultOk);
    mask.refuseLock = false;
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, Extra(&small)), ResultInvalid);
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, Extra(&narrow)), ResultInvalid);
    EXPECT_EQ(small.GetAccessCount() + narrow.GetAccessCount(), 0);
    destination.refuseLock = true;
    EXPECT_EQ(blit(&destination, 0, 0), ResultEncoded);
    destination.refuseLock = false;
    source.refuseLock = true;
    EXPECT_EQ(blit(&destination, 0, 0), ResultEncoded);
    source.refuseLock = false;
    EXPECT_EQ(Pixels(destination), before);
    // Every routine is built: a filtered scale draws, and an enlargement starts with the source's
    // first pixel.
    EXPECT_EQ(source.Blit(&destination, 0, 0, 8, 8, 0, 0, 4, 4, BLIT_SMOOTH, 0), ResultOk);
    EXPECT_NE(Pixels(destination), before);
    EXPECT_EQ(destination.Row(0)[0], source.Row(0)[0]);

    // Indexed sources below 8 bits have no routines.
    BufferSurface nibbles, nibbleTarget;
    MakePicture(nibbles, 8, 8, FMT_INDEX4, 1);
    MakePicture(nibbleTarget, 8, 8, FMT_INDEX4, 2);
    const std::vector<uint8_t> nibblesBefore = Pixels(nibbleTarget);
    EXPECT_EQ(nibbles.Blit(&nibbleTarget, 0, 0, 8, 8, 0, 0, 8, 8, 0, 0), ResultOk);
    EXPECT_EQ(Pixels(nibbleTarget), nibblesBefore);
    EXPECT_EQ(nibbles.GetAccessCount() + nibbleTarget.GetAccessCount(), 0);

    // A narrow mask serves a blit clipped to the columns it covers.
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, Extra(&narrow), 1), ResultOk);
}
