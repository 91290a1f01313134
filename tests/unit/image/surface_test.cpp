#include "graphics/image/surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

// Counts live instances of a palette or region.
template <class T>
class Counted : public T {
  public:
    static inline int live = 0;
    Counted() { ++live; }
    ~Counted() override { --live; }
};
using CountedPalette = Counted<Palette>;
using CountedRegion = Counted<ClipRegion>;

// A source that records the arguments of the last blit asked of it.
class RecordingSurface : public BufferSurface {
  public:
    Result Blit(Surface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                int32_t sy, int32_t sw, int32_t sh, uint32_t flags, BlitExtra extra) override {
        ++calls;
        target = destination;
        last = {dx, dy, dw, dh, sx, sy, sw, sh, int64_t(flags), int64_t(extra)};
        return ResultOk;
    }
    Surface* target = nullptr;
    std::vector<int64_t> last;
    int calls = 0;
};

}  // namespace

TEST(Surface, CopyFromReversesRowsBetweenRowOrdersOnly) {
    for (bool sourceBottomUp : {false, true}) {
        for (bool targetBottomUp : {false, true}) {
            BufferSurface source(sourceBottomUp);
            ASSERT_EQ(source.Create(5, 4, FMT_RGB24, 0, nullptr), ResultOk);
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 16; ++x) source.Row(y)[x] = uint8_t(y * 16 + x);
            }
            BufferSurface target(targetBottomUp);
            ASSERT_EQ(target.CopyFrom(&source), ResultOk);
            ASSERT_EQ(target.GetFormat(), FMT_RGB24);
            ASSERT_EQ(target.GetHeight(), 4);
            const bool reversed = sourceBottomUp != targetBottomUp;
            for (int y = 0; y < 4; ++y) {
                EXPECT_EQ(std::memcmp(target.Row(reversed ? 3 - y : y), source.Row(y), 16), 0)
                    << sourceBottomUp << targetBottomUp << y;
            }
            EXPECT_EQ(source.GetAccessCount() + target.GetAccessCount(), 0);
        }
    }
}

TEST(Surface, CopyFromTakesPaletteColoursAndFramesButNotKeysOrRegion) {
    BufferSurface source;
    ASSERT_EQ(source.Create(3, 6, FMT_INDEX8, 0, nullptr), ResultOk);
    Palette* palette = source.NewPalette();
    ASSERT_EQ(palette->Create(256), ResultOk);
    const PaletteEntry colour{10, 20, 30, 0};
    palette->SetEntries(&colour, 255, 1);
    source.SetPalette(palette);
    palette->Release();
    source.SetFrameCount(3);
    source.SetSourceKey(7);
    ClipRegion* region = source.NewRegion();
    source.SetRegion(region);
    region->Release();

    BufferSurface target;
    ASSERT_EQ(target.CopyFrom(&source), ResultOk);
    Palette* copied = target.GetPalette();
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, source.GetPalette());
    EXPECT_EQ(copied->GetRefCount(), 1);  // held by the target alone
    PaletteEntry got{};
    ASSERT_EQ(copied->GetEntries(&got, 255, 1), ResultOk);
    EXPECT_EQ(got.blue, 30);
    EXPECT_EQ(target.GetFrameCount(), 3);
    uint32_t key = 1;
    target.GetSourceKey(&key);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(target.GetRegion(), nullptr);
}

TEST(Surface, CopyFromFailuresLeaveNothingLocked) {
    BufferSurface target;
    ASSERT_EQ(target.Create(2, 2, FMT_RGB32, 0, nullptr), ResultOk);
    EXPECT_EQ(target.CopyFrom(nullptr), ResultInvalid);
    BufferSurface empty;
    EXPECT_EQ(target.CopyFrom(&empty), ResultNoImage);  // the source's Lock status
    BufferSurface refusing;
    ASSERT_EQ(refusing.Create(2, 2, FMT_RGB32, 0, nullptr), ResultOk);
    refusing.refuseLock = true;
    EXPECT_EQ(target.CopyFrom(&refusing), ResultEncoded);
    EXPECT_EQ(target.GetFormat(), FMT_RGB32);  // untouched when the source cannot be read

    // A copy onto itself must not free what it reads.
    target.Row(1)[0] = 0x5A;
    EXPECT_EQ(target.CopyFrom(&target), ResultOk);
    EXPECT_EQ(target.Row(1)[0], 0x5A);

    // The base kind makes no storage: the source is unlocked again.
    Surface base;
    EXPECT_EQ(base.CopyFrom(&target), ResultUnsupported);
    EXPECT_EQ(target.GetAccessCount(), 0);
}

TEST(Surface, AttachmentsHoldReferencesUntilFreeOrTheLastRelease) {
    CountedPalette::live = 0;
    CountedRegion::live = 0;
    BufferSurface::live = 0;
    auto* surface = new BufferSurface;
    auto* palette = new CountedPalette;
    auto* region = new CountedRegion;
    surface->SetPalette(palette);
    surface->SetRegion(region);
    surface->SetPalette(palette);  // re-attaching keeps it alive
    surface->SetRegion(region);
    EXPECT_EQ(palette->Release(), 1);
    EXPECT_EQ(region->Release(), 1);

    surface->SetPalette(nullptr);
    EXPECT_EQ(CountedPalette::live, 0);
    surface->Free();
    EXPECT_EQ(CountedRegion::live, 0);
    EXPECT_EQ(surface->GetRegion(), nullptr);

    auto* kept = new CountedPalette;
    surface->SetPalette(kept);
    kept->Release();
    surface->AddRef();
    EXPECT_EQ(surface->Release(), 1);
    EXPECT_EQ(BufferSurface::live, 1);
    EXPECT_EQ(surface->Release(), 0);
    EXPECT_EQ(BufferSurface::live, 0);
    EXPECT_EQ(CountedPalette::live, 0);
}

TEST(Surface, DrawFrameDrawsOneWholeFrameAndRefusesOthers) {
    RecordingSurface strip;
    ASSERT_EQ(strip.Create(7, 10, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(strip.SetFrameCount(-5), 1);
    EXPECT_EQ(strip.SetFrameCount(3), 3);
    BufferSurface target;

    // 10 lines in 3 frames: frame 2 is rows 6-8 and row 9 is never drawn.
    ASSERT_EQ(target.DrawFrame(4, 5, &strip, 2, BLIT_SRCKEY, 77), ResultOk);
    EXPECT_EQ(strip.target, &target);
    EXPECT_EQ(strip.last, (std::vector<int64_t>{4, 5, 7, 3, 0, 6, 7, 3, BLIT_SRCKEY, 77}));
    EXPECT_EQ(target.DrawFrame(0, 0, &strip, 3, 0, 0), ResultInvalid);
    EXPECT_EQ(target.DrawFrame(0, 0, &strip, -1, 0, 0), ResultInvalid);
    EXPECT_EQ(target.DrawFrame(0, 0, nullptr, 0, 0, 0), ResultInvalid);
    EXPECT_EQ(strip.calls, 1);

    ASSERT_EQ(target.DrawFrom(1, 2, 3, 4, &strip, 5, 6, 7, 8, BLIT_MIRROR_Y, 9), ResultOk);
    EXPECT_EQ(strip.last, (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8, BLIT_MIRROR_Y, 9}));
    EXPECT_EQ(target.DrawFrom(0, 0, 1, 1, nullptr, 0, 0, 1, 1, 0, 0), ResultInvalid);
}
