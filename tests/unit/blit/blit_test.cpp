#include "graphics/blit/blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/blit/blit_selection.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

std::string Selected(uint32_t depth, bool scaled, uint32_t flags, PixelFormat format = 0) {
    const BlitSelectionRow* row = SelectBlitRoutine(depth, scaled, flags, format);
    return row ? row->name : "none";
}

// A surface of `format` whose bytes follow a position pattern, so that every pixel differs.
void MakePicture(BufferSurface& s, int32_t w, int32_t h, PixelFormat format, uint8_t seed) {
    ASSERT_EQ(s.Create(w, h, format, 0, nullptr), ResultOk);
    const int32_t pitch = static_cast<int32_t>(RowBytes(format, w));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t k = 0; k < pitch; ++k) s.Row(y)[k] = static_cast<uint8_t>(seed + y * 37 + k);
    }
}

std::vector<uint8_t> Pixels(BufferSurface& s) {
    const size_t n = RowBytes(s.GetFormat(), s.GetWidth()) * size_t(s.GetHeight());
    return std::vector<uint8_t>(s.Row(0), s.Row(0) + n);
}

uint8_t At(BufferSurface& s, int32_t x, int32_t y) { return s.Row(y)[x]; }

}  // namespace

TEST(BlitSelection, FollowsTheTablesInOrder) {
    // Unscaled 8-bit: mask modes first, both alphas act as stipple, flags 0 is the plain copy.
    EXPECT_EQ(Selected(8, false, BLIT_MASK_ALPHA), "Blt8MaskStipple");
    EXPECT_EQ(Selected(8, false, BLIT_MASK_STIPPLE | BLIT_STIPPLE), "Blt8MaskStipple");
    EXPECT_EQ(Selected(8, false, BLIT_ALPHA), "Blt8Stipple");
    EXPECT_EQ(Selected(8, false, 0), "Blt8Copy");
    EXPECT_EQ(Selected(8, false, BLIT_EXACT), "Blt8Keyed");
    EXPECT_EQ(Selected(8, false, BLIT_SMOOTH | BLIT_MIRROR_X), "Blt8Keyed");
    // Unscaled 16-bit: stipple wins over alpha; the blends split by green width.
    EXPECT_EQ(Selected(16, false, BLIT_MASK_ALPHA, FMT_BGR555), "Blt16MaskAlpha555");
    EXPECT_EQ(Selected(16, false, BLIT_MASK_ALPHA | BLIT_MASK_STIPPLE, FMT_RGB565),
              "Blt16MaskAlpha565");
    EXPECT_EQ(Selected(16, false, BLIT_MASK_STIPPLE | BLIT_ALPHA, FMT_RGB555), "Blt16MaskStipple");
    EXPECT_EQ(Selected(16, false, BLIT_STIPPLE | BLIT_ALPHA, FMT_RGB555), "Blt16Stipple");
    EXPECT_EQ(Selected(16, false, BLIT_ALPHA, FMT_RGB555), "Blt16Alpha555");
    EXPECT_EQ(Selected(16, false, BLIT_ALPHA, FMT_BGR565), "Blt16Alpha565");
    EXPECT_EQ(Selected(16, false, 0, FMT_RGB565), "Blt16Copy");
    EXPECT_EQ(Selected(16, false, BLIT_MASK_PREMUL, FMT_RGB565), "Blt16Keyed");
    // Unscaled 24 and 32-bit: alpha wins over stipple; no separate copy.
    EXPECT_EQ(Selected(24, false, BLIT_STIPPLE | BLIT_ALPHA), "Blt24Alpha");
    EXPECT_EQ(Selected(24, false, BLIT_MASK_STIPPLE | BLIT_ALPHA), "Blt24MaskStipple");
    EXPECT_EQ(Selected(24, false, BLIT_MASK_PREMUL), "Blt24Keyed");
    EXPECT_EQ(Selected(24, false, 0), "Blt24Keyed");
    EXPECT_EQ(Selected(32, false, BLIT_MASK_ALPHA | BLIT_MASK_PREMUL), "Blt32MaskAlpha");
    EXPECT_EQ(Selected(32, false, BLIT_MASK_PREMUL | BLIT_MASK_STIPPLE), "Blt32MaskPremul");
    EXPECT_EQ(Selected(32, false, BLIT_STIPPLE), "Blt32Stipple");
    EXPECT_EQ(Selected(32, false, 0), "Blt32Keyed");
    // Scaled: mask stipple and premul select nothing of their own, nor smooth on 16-bit.
    EXPECT_EQ(Selected(8, true, BLIT_SMOOTH | BLIT_ALPHA), "Blt8ScaledStipple");
    EXPECT_EQ(Selected(8, true, BLIT_SMOOTH), "Blt8ScaledSmooth");
    EXPECT_EQ(Selected(8, true, BLIT_MASK_ALPHA), "Blt8ScaledKeyed");
    EXPECT_EQ(Selected(16, true, BLIT_MASK_ALPHA, FMT_RGB555), "Blt16ScaledMaskAlpha555");
    EXPECT_EQ(Selected(16, true, BLIT_MASK_ALPHA, FMT_RGB565), "Blt16ScaledMaskAlpha565");
    EXPECT_EQ(Selected(16, true, BLIT_SMOOTH | BLIT_MASK_STIPPLE), "Blt16ScaledKeyed");
    EXPECT_EQ(Selected(24, true, BLIT_MASK_ALPHA | BLIT_STIPPLE), "Blt24ScaledMaskAlpha");
    EXPECT_EQ(Selected(24, true, BLIT_SMOOTH | BLIT_STIPPLE), "Blt24ScaledStipple");
    EXPECT_EQ(Selected(32, true, BLIT_MASK_ALPHA), "Blt32ScaledKeyed");
    EXPECT_EQ(Selected(32, true, BLIT_SMOOTH), "Blt32ScaledSmooth");
    // Depths without routines.
    for (uint32_t depth : {1u, 2u, 4u, 0u}) EXPECT_EQ(Selected(depth, false, 0), "none");
}

TEST(BlitSelection, OnlyTheMaskModesNeedAMaskAndOnlyThisFamilyIsBuilt) {
    const std::vector<std::string> built = {
        "Blt8Copy",         "Blt8Keyed",    "Blt8Stipple",      "Blt8MaskStipple", "Blt16Copy",
        "Blt16Keyed",       "Blt16Stipple", "Blt16MaskStipple", "Blt24Keyed",      "Blt24Stipple",
        "Blt24MaskStipple", "Blt32Keyed",   "Blt32Stipple",     "Blt32MaskStipple"};
    const uint32_t maskBits = BLIT_MASK_ALPHA | BLIT_MASK_STIPPLE | BLIT_MASK_PREMUL;
    for (uint32_t depth : {8u, 16u, 24u, 32u}) {
        for (bool scaled : {false, true}) {
            for (uint32_t bit = 1; bit != 0; bit <<= 1) {
                for (PixelFormat format : {FMT_RGB555, FMT_RGB565}) {
                    const BlitSelectionRow* row = SelectBlitRoutine(depth, scaled, bit, format);
                    ASSERT_NE(row, nullptr);
                    EXPECT_EQ(row->test.mask,
                              std::string(row->name).find("Mask") != std::string::npos)
                        << row->name;
                    if (row->test.mask) {
                        EXPECT_NE(bit & maskBits, 0u) << row->name;
                    }
                    const bool isBuilt =
                        std::find(built.begin(), built.end(), row->name) != built.end();
                    EXPECT_EQ(row->routine.IsAvailable(), isBuilt) << row->name;
                }
            }
        }
    }
}

class BlitDispatch : public ::testing::Test {
  protected:
    void ExpectUnlocked() {
        EXPECT_EQ(source.GetAccessCount(), 0);
        EXPECT_EQ(destination.GetAccessCount(), 0);
        EXPECT_EQ(mask.GetAccessCount(), 0);
    }
    void TearDown() override { ExpectUnlocked(); }

    BufferSurface source;
    BufferSurface destination;
    BufferSurface mask;
};

TEST_F(BlitDispatch, DrawsTheClippedPartInPlace) {
    MakePicture(source, 100, 50, FMT_INDEX8, 1);
    MakePicture(destination, 640, 480, FMT_INDEX8, 99);
    BufferSurface before;
    ASSERT_EQ(before.CopyFrom(&destination), ResultOk);
    ASSERT_EQ(source.Blit(&destination, -10, -5, 100, 50, 0, 0, 100, 50, 0, 0), ResultOk);
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            const uint8_t want = (x < 90 && y < 45) ? At(source, x + 10, y + 5) : At(before, x, y);
            ASSERT_EQ(At(destination, x, y), want) << x << ", " << y;
        }
    }
}

TEST_F(BlitDispatch, MirrorYTurnsAWholePictureUpright) {
    MakePicture(source, 5, 3, FMT_RGB24, 3);
    MakePicture(destination, 5, 3, FMT_RGB24, 0);
    ASSERT_EQ(source.Blit(&destination, 0, 0, 5, 3, 0, 0, 5, 3, BLIT_MIRROR_Y, 0), ResultOk);
    for (int32_t y = 0; y < 3; ++y) {
        EXPECT_EQ(std::memcmp(destination.Row(y), source.Row(2 - y), 15), 0) << y;
    }
}

// A clipped mirrored blit shows the same pixels as the matching window of the unclipped one.
TEST_F(BlitDispatch, ClippedMirroredBlitsMatchTheUnclippedPicture) {
    MakePicture(source, 12, 9, FMT_RGB565, 5);
    BufferSurface wide;
    for (uint32_t flags : {BLIT_MIRROR_X, BLIT_MIRROR_Y, BLIT_MIRROR_X | BLIT_MIRROR_Y}) {
        for (int32_t dx : {-7, -1, 0, 3, 9}) {
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
}

TEST_F(BlitDispatch, KeysComeFromTheirOwnSurfaces) {
    MakePicture(source, 4, 1, FMT_INDEX8, 0);
    source.Row(0)[0] = 7;
    source.Row(0)[2] = 7;
    source.SetSourceKey(7);
    source.SetDestKey(0);
    ASSERT_EQ(destination.Create(4, 1, FMT_INDEX8, 0, nullptr), ResultOk);
    std::memcpy(destination.Row(0), "\x09\x09\x05\x09", 4);
    destination.SetDestKey(9);
    destination.SetSourceKey(0);
    const uint8_t s1 = source.Row(0)[1];
    ASSERT_EQ(source.Blit(&destination, 0, 0, 4, 1, 0, 0, 4, 1, BLIT_SRCKEY | BLIT_DESTKEY, 0),
              ResultOk);
    const uint8_t want[4] = {9, s1, 5, source.Row(0)[3]};
    EXPECT_EQ(std::memcmp(destination.Row(0), want, 4), 0);
}

TEST_F(BlitDispatch, LevelAndMaskArriveThroughExtra) {
    MakePicture(source, 8, 8, FMT_RGB32, 1);
    ASSERT_EQ(destination.Create(16, 8, FMT_RGB32, 0, nullptr), ResultOk);
    // Level 4 admits the one cell whose dither threshold is 1.
    ASSERT_EQ(source.Blit(&destination, 0, 0, 8, 8, 0, 0, 8, 8, BLIT_STIPPLE, 4), ResultOk);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(destination.Row(y));
            EXPECT_EQ(row[x],
                      x == 0 && y == 0 ? *reinterpret_cast<const uint32_t*>(source.Row(0)) : 0u)
                << x << ", " << y;
        }
    }

    // The mask is read at source coordinates: only source column 6 is opaque.
    ASSERT_EQ(mask.Create(8, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    for (int32_t y = 0; y < 8; ++y) mask.Row(y)[6] = 255;
    ASSERT_EQ(destination.Create(16, 8, FMT_RGB32, 0, nullptr), ResultOk);
    ASSERT_EQ(source.Blit(&destination, 9, 0, 4, 8, 4, 0, 4, 8, BLIT_MASK_STIPPLE,
                          reinterpret_cast<BlitExtra>(&mask)),
              ResultOk);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(destination.Row(y));
            const uint32_t* src = reinterpret_cast<const uint32_t*>(source.Row(y));
            EXPECT_EQ(row[x], x == 11 ? src[6] : 0u) << x << ", " << y;
        }
    }
}

TEST_F(BlitDispatch, RoutinesNotYetAvailableDrawNothing) {
    MakePicture(source, 8, 8, FMT_RGB555, 1);
    MakePicture(destination, 16, 16, FMT_RGB555, 2);
    const std::vector<uint8_t> before = Pixels(destination);
    EXPECT_EQ(source.Blit(&destination, 0, 0, 8, 8, 0, 0, 8, 8, BLIT_ALPHA, 128), ResultOk);
    EXPECT_EQ(source.Blit(&destination, 0, 0, 16, 16, 0, 0, 8, 8, 0, 0), ResultOk);
    EXPECT_EQ(Pixels(destination), before);
}

TEST_F(BlitDispatch, FailuresDrawNothingAndLeaveEverythingUnlocked) {
    MakePicture(source, 8, 8, FMT_INDEX8, 1);
    MakePicture(destination, 8, 8, FMT_INDEX8, 2);
    MakePicture(mask, 8, 8, FMT_INDEX8, 200);
    const std::vector<uint8_t> before = Pixels(destination);
    const BlitExtra maskExtra = reinterpret_cast<BlitExtra>(&mask);
    auto blit = [&](Surface* dst, uint32_t flags, BlitExtra extra) {
        return source.Blit(dst, 0, 0, 8, 8, 0, 0, 8, 8, flags, extra);
    };

    EXPECT_EQ(blit(nullptr, 0, 0), ResultInvalid);
    BufferSurface empty;
    EXPECT_EQ(blit(&empty, 0, 0), ResultNoImage);
    BufferSurface deeper;
    ASSERT_EQ(deeper.Create(8, 8, FMT_RGB565, 0, nullptr), ResultOk);
    EXPECT_EQ(blit(&deeper, 0, 0), ResultInvalid);

    // Mask modes without a usable mask succeed without drawing; a mask smaller than the source
    // rectangle is refused.
    EXPECT_EQ(blit(&destination, BLIT_MASK_ALPHA, 0), ResultOk);
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, reinterpret_cast<BlitExtra>(&deeper)),
              ResultOk);
    mask.refuseLock = true;
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, maskExtra), ResultOk);
    mask.refuseLock = false;
    BufferSurface small;
    ASSERT_EQ(small.Create(8, 7, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, reinterpret_cast<BlitExtra>(&small)),
              ResultInvalid);
    EXPECT_EQ(small.GetAccessCount(), 0);
    BufferSurface narrow;
    ASSERT_EQ(narrow.Create(7, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, reinterpret_cast<BlitExtra>(&narrow)),
              ResultInvalid);
    // Covering the part of the source that is read is enough.
    std::memset(narrow.Row(0), 255, 7);
    EXPECT_EQ(source.Blit(&destination, 0, 0, 8, 1, 0, 0, 8, 1, BLIT_MASK_STIPPLE,
                          reinterpret_cast<BlitExtra>(&narrow)),
              ResultInvalid);
    EXPECT_EQ(source.Blit(&destination, 1, 0, 8, 1, 0, 0, 8, 1, BLIT_MASK_STIPPLE,
                          reinterpret_cast<BlitExtra>(&narrow)),
              ResultOk);
    EXPECT_EQ(std::memcmp(destination.Row(0) + 1, source.Row(0), 7), 0);
    std::memcpy(destination.Row(0), before.data(), 8);

    destination.refuseLock = true;
    EXPECT_EQ(blit(&destination, 0, 0), ResultEncoded);
    destination.refuseLock = false;
    source.refuseLock = true;
    EXPECT_EQ(blit(&destination, 0, 0), ResultEncoded);
    source.refuseLock = false;
    EXPECT_EQ(Pixels(destination), before);

    // Indexed sources below 8 bits have no routines.
    BufferSurface nibbles;
    BufferSurface nibbleTarget;
    MakePicture(nibbles, 8, 8, FMT_INDEX4, 1);
    MakePicture(nibbleTarget, 8, 8, FMT_INDEX4, 2);
    const std::vector<uint8_t> nibblesBefore = Pixels(nibbleTarget);
    EXPECT_EQ(nibbles.Blit(&nibbleTarget, 0, 0, 8, 8, 0, 0, 8, 8, 0, 0), ResultOk);
    EXPECT_EQ(Pixels(nibbleTarget), nibblesBefore);
    EXPECT_EQ(nibbles.GetAccessCount(), 0);
    EXPECT_EQ(nibbleTarget.GetAccessCount(), 0);

    // With a usable mask the same call draws.
    EXPECT_EQ(blit(&destination, BLIT_MASK_STIPPLE, maskExtra), ResultOk);
    EXPECT_NE(Pixels(destination), before);
}

TEST_F(BlitDispatch, ASurfaceCanDrawOntoItself) {
    MakePicture(source, 8, 4, FMT_RGB565, 1);
    std::vector<uint8_t> top(source.Row(0), source.Row(0) + 16);
    ASSERT_EQ(source.Blit(&source, 0, 3, 8, 1, 0, 0, 8, 1, 0, 0), ResultOk);
    EXPECT_EQ(std::memcmp(source.Row(3), top.data(), 16), 0);
    EXPECT_EQ(source.DrawFrom(0, 2, 8, 1, &source, 0, 0, 8, 1, BLIT_MIRROR_X, 0), ResultOk);
    for (int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(std::memcmp(source.Row(2) + 2 * x, top.data() + 2 * (7 - x), 2), 0) << x;
    }
}
