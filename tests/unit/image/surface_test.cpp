#include "graphics/image/surface.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

class CountedPalette : public Palette {
  public:
    static inline int live = 0;
    CountedPalette() { ++live; }
    ~CountedPalette() override { --live; }
};

class CountedRegion : public ClipRegion {
  public:
    static inline int live = 0;
    CountedRegion() { ++live; }
    ~CountedRegion() override { --live; }
};

// A source that records what it is asked to draw.
class RecordingSurface : public BufferSurface {
  public:
    Result Blit(Surface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                int32_t sy, int32_t sw, int32_t sh, uint32_t flags, BlitExtra extra) override {
        ++calls;
        last = {destination, dx, dy, dw, dh, sx, sy, sw, sh, flags, extra};
        return ResultOk;
    }
    struct Call {
        Surface* destination;
        int32_t dx, dy, dw, dh, sx, sy, sw, sh;
        uint32_t flags;
        BlitExtra extra;
    } last{};
    int calls = 0;
};

// Fills every byte of every row (padding included) with a value made of row and column.
void FillRows(BufferSurface& s, int32_t pitch) {
    for (int32_t y = 0; y < s.GetHeight(); ++y) {
        for (int32_t x = 0; x < pitch; ++x) s.Row(y)[x] = static_cast<uint8_t>(y * 16 + x);
    }
}

}  // namespace

TEST(Surface, CopyFromReversesRowsBetweenRowOrdersOnly) {
    for (bool sourceBottomUp : {false, true}) {
        for (bool targetBottomUp : {false, true}) {
            BufferSurface source(sourceBottomUp);
            ASSERT_EQ(source.Create(5, 4, FMT_RGB24, 0, nullptr), ResultOk);
            FillRows(source, 16);
            BufferSurface target(targetBottomUp);
            ASSERT_EQ(target.CopyFrom(&source), ResultOk);
            EXPECT_EQ(target.GetWidth(), 5);
            EXPECT_EQ(target.GetHeight(), 4);
            EXPECT_EQ(target.GetFormat(), FMT_RGB24);
            const bool reversed = sourceBottomUp != targetBottomUp;
            for (int32_t y = 0; y < 4; ++y) {
                EXPECT_EQ(std::memcmp(target.Row(reversed ? 3 - y : y), source.Row(y), 16), 0)
                    << sourceBottomUp << targetBottomUp << y;
            }
            EXPECT_EQ(source.GetAccessCount(), 0);
            EXPECT_EQ(target.GetAccessCount(), 0);
        }
    }
}

TEST(Surface, CopyFromTakesPaletteColoursAndFramesButNotKeysOrRegion) {
    CountedPalette::live = 0;
    BufferSurface source;
    ASSERT_EQ(source.Create(3, 6, FMT_INDEX8, 0, nullptr), ResultOk);
    auto* palette = new CountedPalette;
    ASSERT_EQ(palette->Create(256), ResultOk);
    PaletteEntry colour{10, 20, 30, 0};
    ASSERT_EQ(palette->SetEntries(&colour, 255, 1), ResultOk);
    source.SetPalette(palette);
    palette->Release();
    source.SetFrameCount(3);
    source.SetSourceKey(7);
    source.SetDestKey(8);
    ClipRegion* region = source.NewRegion();
    region->SetRect(0, 0, 2, 2);
    source.SetRegion(region);
    region->Release();

    BufferSurface target;
    target.SetSourceKey(99);
    ASSERT_EQ(target.CopyFrom(&source), ResultOk);
    ASSERT_NE(target.GetPalette(), nullptr);
    EXPECT_NE(target.GetPalette(), source.GetPalette());
    EXPECT_EQ(target.GetPalette()->GetEntryCount(), 256u);
    PaletteEntry got{};
    ASSERT_EQ(target.GetPalette()->GetEntries(&got, 255, 1), ResultOk);
    EXPECT_EQ(got.red, 10);
    EXPECT_EQ(got.blue, 30);
    EXPECT_EQ(target.GetPalette()->GetRefCount(), 1);  // held by the target alone
    EXPECT_EQ(target.GetFrameCount(), 3);
    uint32_t key = 1;
    target.GetSourceKey(&key);
    EXPECT_EQ(key, 0u);
    target.GetDestKey(&key);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(target.GetRegion(), nullptr);
    EXPECT_EQ(CountedPalette::live, 1);  // the copy is a plain Palette
}

TEST(Surface, CopyFromFailuresLeaveNothingLocked) {
    BufferSurface target;
    ASSERT_EQ(target.Create(2, 2, FMT_RGB32, 0, nullptr), ResultOk);
    EXPECT_EQ(target.CopyFrom(nullptr), ResultInvalid);

    // An empty source refuses its Lock: the target keeps its image.
    BufferSurface empty;
    EXPECT_EQ(target.CopyFrom(&empty), ResultNoImage);
    EXPECT_EQ(target.GetFormat(), FMT_RGB32);
    BufferSurface refusing;
    ASSERT_EQ(refusing.Create(2, 2, FMT_RGB32, 0, nullptr), ResultOk);
    refusing.refuseLock = true;
    EXPECT_EQ(target.CopyFrom(&refusing), ResultEncoded);
    EXPECT_EQ(target.GetWidth(), 2);

    // A copy onto itself changes nothing.
    target.Row(1)[0] = 0x5A;
    EXPECT_EQ(target.CopyFrom(&target), ResultOk);
    EXPECT_EQ(target.Row(1)[0], 0x5A);
    EXPECT_EQ(target.GetAccessCount(), 0);

    // The base kind makes no storage: the source is unlocked again.
    BufferSurface source;
    ASSERT_EQ(source.Create(2, 2, FMT_RGB32, 0, nullptr), ResultOk);
    Surface base;
    EXPECT_EQ(base.CopyFrom(&source), ResultUnsupported);
    EXPECT_EQ(source.GetAccessCount(), 0);
    EXPECT_EQ(base.GetFormat(), 0u);
}

TEST(Surface, AttachmentsHoldReferencesUntilFreeOrDestruction) {
    CountedPalette::live = 0;
    CountedRegion::live = 0;
    BufferSurface::live = 0;
    auto* surface = new BufferSurface;
    auto* palette = new CountedPalette;
    auto* region = new CountedRegion;

    surface->SetPalette(palette);
    surface->SetRegion(region);
    EXPECT_EQ(palette->GetRefCount(), 2);
    EXPECT_EQ(region->GetRefCount(), 2);
    // Attaching what is already attached keeps it alive.
    surface->SetPalette(palette);
    surface->SetRegion(region);
    EXPECT_EQ(palette->GetRefCount(), 2);
    EXPECT_EQ(region->GetRefCount(), 2);
    palette->Release();
    region->Release();
    EXPECT_EQ(CountedPalette::live, 1);
    EXPECT_EQ(CountedRegion::live, 1);

    surface->SetPalette(nullptr);
    EXPECT_EQ(CountedPalette::live, 0);
    EXPECT_EQ(surface->GetPalette(), nullptr);
    surface->Free();
    EXPECT_EQ(CountedRegion::live, 0);
    EXPECT_EQ(surface->GetRegion(), nullptr);

    // The last Release of the surface drops what it still holds.
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

TEST(Surface, FreshAndResetSurfacesAreEmpty) {
    Surface* base = Surface().NewSurface();
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base->GetKind(), KIND_BASE);
    EXPECT_EQ(base->GetFrameCount(), 1);
    EXPECT_EQ(base->GetRefCount(), 1);
    uint8_t* address = nullptr;
    int32_t pitch = 0;
    EXPECT_EQ(base->Lock(&address, &pitch), ResultUnsupported);
    base->Release();

    BufferSurface surface;
    surface.Create(4, 4, FMT_INDEX8, 0, nullptr);
    surface.SetSourceKey(3);
    surface.SetFrameCount(2);
    surface.AddRef();
    surface.Reset();
    EXPECT_EQ(surface.GetWidth(), 0);
    EXPECT_EQ(surface.GetFormat(), 0u);
    EXPECT_EQ(surface.GetFrameCount(), 1);
    EXPECT_EQ(surface.GetRefCount(), 2);
    uint32_t key = 1;
    EXPECT_EQ(surface.GetSourceKey(&key), ResultOk);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(surface.GetSourceKey(nullptr), ResultInvalid);
    EXPECT_EQ(surface.GetDestKey(nullptr), ResultInvalid);

    EXPECT_EQ(surface.SetFrameCount(0), 1);
    EXPECT_EQ(surface.SetFrameCount(-5), 1);
    EXPECT_EQ(surface.SetFrameCount(4), 4);
    EXPECT_EQ(surface.GetFrameCount(), 4);

    Surface* sibling = surface.NewSurface();
    ASSERT_NE(dynamic_cast<BufferSurface*>(sibling), nullptr);
    sibling->Release();
}

TEST(Surface, DrawFrameDrawsOneWholeFrameAndRefusesOthers) {
    RecordingSurface strip;
    ASSERT_EQ(strip.Create(7, 10, FMT_INDEX8, 0, nullptr), ResultOk);
    strip.SetFrameCount(3);
    BufferSurface target;

    ASSERT_EQ(target.DrawFrame(4, 5, &strip, 2, BLIT_SRCKEY, 77), ResultOk);
    ASSERT_EQ(strip.calls, 1);
    EXPECT_EQ(strip.last.destination, &target);
    EXPECT_EQ(strip.last.dx, 4);
    EXPECT_EQ(strip.last.dy, 5);
    EXPECT_EQ(strip.last.dw, 7);
    EXPECT_EQ(strip.last.dh, 3);  // 10 lines / 3 frames: row 9 is never drawn
    EXPECT_EQ(strip.last.sx, 0);
    EXPECT_EQ(strip.last.sy, 6);
    EXPECT_EQ(strip.last.sw, 7);
    EXPECT_EQ(strip.last.sh, 3);
    EXPECT_EQ(strip.last.flags, BLIT_SRCKEY);
    EXPECT_EQ(strip.last.extra, 77u);

    EXPECT_EQ(target.DrawFrame(0, 0, &strip, 3, 0, 0), ResultInvalid);
    EXPECT_EQ(target.DrawFrame(0, 0, &strip, -1, 0, 0), ResultInvalid);
    EXPECT_EQ(target.DrawFrame(0, 0, nullptr, 0, 0, 0), ResultInvalid);
    EXPECT_EQ(strip.calls, 1);

    ASSERT_EQ(target.DrawFrom(1, 2, 3, 4, &strip, 5, 6, 7, 8, BLIT_MIRROR_Y, 9), ResultOk);
    EXPECT_EQ(strip.last.destination, &target);
    EXPECT_EQ(strip.last.sh, 8);
    EXPECT_EQ(strip.last.flags, BLIT_MIRROR_Y);
    EXPECT_EQ(target.DrawFrom(0, 0, 1, 1, nullptr, 0, 0, 1, 1, 0, 0), ResultInvalid);
}
