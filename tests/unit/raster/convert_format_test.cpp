#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/codec/container_surface.h"
#include "graphics/core/dib_header.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/raster/color_tree.h"
#include "graphics/raster/convert_flags.h"
#include "tests/unit/image/buffer_surface.h"

using namespace gfx;

namespace {

using Values = std::vector<uint32_t>;
using Entries = std::vector<PaletteEntry>;
struct Colour {
    int r, g, b;
};
int& Channel(Colour& c, int ch) { return ch == 0 ? c.r : (ch == 1 ? c.g : c.b); }

// Each direct format by hand: shift and width of red, green and blue.
struct Layout {
    PixelFormat format;
    int rs, rw, gs, gw, bs, bw;
};
constexpr Layout kLayouts[] = {{FMT_RGB555, 10, 5, 5, 5, 0, 5}, {FMT_BGR555, 0, 5, 5, 5, 10, 5},
                               {FMT_RGB565, 11, 5, 5, 6, 0, 5}, {FMT_BGR565, 0, 5, 5, 6, 11, 5},
                               {FMT_RGB24, 16, 8, 8, 8, 0, 8},  {FMT_RGB32, 16, 8, 8, 8, 0, 8}};
const Layout& LayoutOf(PixelFormat f) {
    return *std::find_if(std::begin(kLayouts), std::end(kLayouts), [&](const Layout& l) { return l.format == f; });
}
int Field(uint32_t v, int shift, int width) { return int((v >> shift) & ((1u << width) - 1)) << (8 - width); }
uint32_t Pack(int v, int shift, int width) { return uint32_t(v >> (8 - width)) << shift; }
Colour Read(PixelFormat f, uint32_t v) {
    const Layout& l = LayoutOf(f);
    return {Field(v, l.rs, l.rw), Field(v, l.gs, l.gw), Field(v, l.bs, l.bw)};
}
uint32_t Write(PixelFormat f, Colour c) {
    const Layout& l = LayoutOf(f);
    return Pack(c.r, l.rs, l.rw) | Pack(c.g, l.gs, l.gw) | Pack(c.b, l.bs, l.bw);
}

int Nearest(const Entries& pal, Colour c, bool tree) {
    if (tree) {
        ColorTree t;
        for (size_t i = 0; i < pal.size(); ++i)
            if (pal[i].flags != 1) t.Insert(pal[i].red, pal[i].green, pal[i].blue, int(i));
        uint8_t r = uint8_t(c.r), g = uint8_t(c.g), b = uint8_t(c.b);
        return t.Lookup(&r, &g, &b, false)->paletteIndex;
    }
    int best = -1, bestScore = 0;
    for (int i = 0; i < int(pal.size()); ++i) {
        const int s = std::abs(c.r - pal[i].red) + std::abs(c.g - pal[i].green) + std::abs(c.b - pal[i].blue);
        if (pal[i].flags != 1 && (best < 0 || s < bestScore)) best = i, bestScore = s;
    }
    return best;
}

// The whole conversion, with the errors gathered in a full-size grid.
Values Model(const Values& in, int w, int h, PixelFormat from, PixelFormat to, const Entries& fromPal,
             const Entries& toPal, uint32_t flags) {
    const bool dither = flags & CONVERT_DITHER;
    std::vector<Colour> err(size_t(w) * (h + 1), Colour{0, 0, 0});
    Values out(in.size());
    for (int y = 0; y < h; ++y) {
        Colour carry{0, 0, 0};
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            const uint32_t v = in[i];
            Colour c = IsIndexedFormat(from) ? Colour{fromPal[v].red, fromPal[v].green, fromPal[v].blue}
                                             : Read(from, v);
            if (dither) {
                const Colour& e = err[i];
                c = {std::clamp(c.r + e.r + carry.r, 0, 255), std::clamp(c.g + e.g + carry.g, 0, 255),
                     std::clamp(c.b + e.b + carry.b, 0, 255)};
            }
            Colour got;
            if (IsIndexedFormat(to)) {
                const int k = Nearest(toPal, c, flags & CONVERT_TREE_MATCH);
                out[i] = uint32_t(k), got = {toPal[k].red, toPal[k].green, toPal[k].blue};
            } else {
                out[i] = Write(to, c), got = Read(to, out[i]);
            }
            const int e[3] = {c.r - got.r, c.g - got.g, c.b - got.b};
            for (int ch = 0; dither && ch < 3; ++ch) {
                auto below = [&](int dx, int share) {
                    if (x + dx >= 0 && x + dx < w) Channel(err[i + w + dx], ch) += int(std::floor(share * e[ch] / 16.0));
                };
                below(-1, 3), below(0, 5), below(1, 1);
                if (x < w - 1) Channel(carry, ch) = e[ch] - int(std::floor(9 * e[ch] / 16.0));
            }
        }
    }
    return out;
}

Values Pixels(Surface& s) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    Values out;
    if (s.Lock(&rows, &pitch) != ResultOk) return out;
    const int bytes = int(BitsPerPixel(s.GetFormat()) / 8);
    for (int y = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x) {
            uint32_t v = 0;
            for (int k = 0; k < bytes; ++k) v |= uint32_t(rows[y * pitch + x * bytes + k]) << (8 * k);
            out.push_back(v);
        }
    s.Unlock();
    return out;
}

void SetPixels(Surface& s, const Values& values) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(s.Lock(&rows, &pitch), ResultOk);
    const int bytes = int(BitsPerPixel(s.GetFormat()) / 8);
    for (int y = 0, i = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x, ++i)
            for (int k = 0; k < bytes; ++k) rows[y * pitch + x * bytes + k] = uint8_t(values[i] >> (8 * k));
    s.Unlock();
}

Entries RandomEntries(unsigned seed, int reservedEvery) {
    srand(seed);
    Entries e(256);
    for (int i = 0; i < 256; ++i)
        e[i] = {uint8_t(rand()), uint8_t(rand()), uint8_t(rand()), uint8_t(i % reservedEvery == 0)};
    return e;
}

void Attach(Surface& s, const Entries& entries) {
    auto* p = new Palette;
    p->Create(uint32_t(entries.size()));
    p->SetEntries(entries.data(), 0, uint32_t(entries.size()));
    ASSERT_EQ(s.SetPalette(p), ResultOk);
    p->Release();
}

Palette* NewPaletteOf(const Entries& entries) {
    auto* p = new Palette;
    p->Create(uint32_t(entries.size()));
    p->SetEntries(entries.data(), 0, uint32_t(entries.size()));
    return p;
}

std::vector<int> progressSeen;
void RecordProgress(int32_t userData, int32_t percent) { progressSeen.push_back(userData * 1000 + percent); }

}  // namespace

// Every pair of formats, plain and dithered, scored and tree matching, on a memory DIB
// (bottom-up) and a top-down kind, against the model.
TEST(ConvertFormat, EveryRoutineMatchesThePerPixelModel) {
    const int w = 13, h = 5;
    const Entries fromPal = RandomEntries(3, 1000), toPal = RandomEntries(4, 7);
    const PixelFormat formats[] = {FMT_INDEX8, FMT_RGB555, FMT_BGR555, FMT_RGB565, FMT_BGR565, FMT_RGB24, FMT_RGB32};
    for (PixelFormat from : formats)
        for (PixelFormat to : formats)
            for (uint32_t flags = 0; flags < 4; ++flags)
                for (int kind = 0; kind < 2; ++kind) {
                    SCOPED_TRACE(testing::Message() << std::hex << from << " to " << to << " flags " << flags
                                                    << " kind " << kind);
                    // A packed DIB stores a blue-lowest layout as the red-lowest one of its depth.
                    auto stored = [&](PixelFormat f) { return kind == 0 && (f & 0xFF0000) == 0xC60000 ? f ^ 0x220000 : f; };
                    MemoryDibSurface dib;
                    BufferSurface buffer;
                    Surface& s = kind ? static_cast<Surface&>(buffer) : dib;
                    ASSERT_EQ(s.Create(w, h, from, 0, nullptr), ResultOk);
                    if (IsIndexedFormat(from)) Attach(s, fromPal);
                    s.SetFrameCount(5);
                    Values in(size_t(w) * h);
                    for (auto& v : in) v = (uint32_t(rand()) ^ (uint32_t(rand()) << 15)) & ((2u << (BitsPerPixel(from) - 1)) - 1);
                    SetPixels(s, in);
                    Palette* target = IsIndexedFormat(to) ? NewPaletteOf(toPal) : nullptr;
                    ASSERT_EQ(s.ConvertFormat(to, target, flags | 0x100, 0, nullptr, 0), ResultOk);
                    if (target) target->Release();
                    EXPECT_EQ(s.GetFormat(), stored(to));
                    EXPECT_EQ(s.GetWidth() * 100 + s.GetHeight(), w * 100 + h);
                    EXPECT_EQ(s.GetFrameCount(), 5);
                    const bool untouched = stored(from) == to && !target;
                    EXPECT_EQ(Pixels(s), untouched ? in : Model(in, w, h, stored(from), stored(to), fromPal, toPal, flags));
                }
}

TEST(ConvertFormat, ChannelsTruncateErrorsCarryAndReservedEntriesAreSkipped) {
    MemoryDibSurface s;
    ASSERT_EQ(s.Create(4, 1, FMT_RGB565, 0, nullptr), ResultOk);
    SetPixels(s, {0xFFFF, 0, 0, 0});
    ASSERT_EQ(s.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(s)[0], 0xF8FCF8u);  // left-aligned, no bit replication
    ASSERT_EQ(s.ConvertFormat(FMT_RGB565, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(s)[0], 0xFFFFu);
    ASSERT_EQ(s.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultOk);
    SetPixels(s, {0x070000, 0xABCDEF, 0, 0});
    ASSERT_EQ(s.ConvertFormat(FMT_RGB32, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(s), (Values{0x070000, 0xABCDEF, 0, 0}));  // top bytes 0
    ASSERT_EQ(s.ConvertFormat(FMT_RGB565, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(s)[0], 0u);  // red 7 truncates to 0

    // Red 4 dithered to 5 bits: the carry reaches a full step at the fourth pixel.
    BufferSurface d;
    ASSERT_EQ(d.Create(6, 2, FMT_RGB24, 0, nullptr), ResultOk);
    SetPixels(d, Values(12, 0x040000));
    ASSERT_EQ(d.ConvertFormat(FMT_RGB555, nullptr, CONVERT_DITHER, 0, nullptr, 0), ResultOk);
    const Values dithered = Pixels(d);
    EXPECT_EQ(Values(dithered.begin(), dithered.begin() + 4), (Values{0, 0, 0, 1u << 10}));

    Entries pal(256, PaletteEntry{200, 200, 200, 0});
    pal[3] = {10, 20, 30, 1};  // exact but reserved
    pal[4] = {12, 20, 30, 0};
    pal[5] = {10, 22, 30, 0};  // as near as entry 4
    for (uint32_t flags : {0u, CONVERT_TREE_MATCH}) {
        MemoryDibSurface m;
        ASSERT_EQ(m.Create(1, 1, FMT_RGB24, 0, nullptr), ResultOk);
        SetPixels(m, {0x0A141E});
        Palette* p = NewPaletteOf(pal);
        ASSERT_EQ(m.ConvertFormat(FMT_INDEX8, p, flags, 0, nullptr, 0), ResultOk);
        p->Release();
        EXPECT_EQ(Pixels(m)[0], flags ? 5u : 4u) << flags;  // the tree descends by bits
    }
}

TEST(ConvertFormat, RemapsOntoANewPaletteAndReportsProgressBeforeEachRow) {
    MemoryDibSurface s;
    ASSERT_EQ(s.Create(4, 3, FMT_INDEX8, 0, nullptr), ResultOk);
    Entries oldPal(256), newPal(256);
    for (int i = 0; i < 256; ++i) oldPal[i] = {uint8_t(i), uint8_t(255 - i), 0, 0};
    for (int i = 0; i < 256; ++i) newPal[i] = oldPal[255 - i];
    Attach(s, oldPal);
    SetPixels(s, {0, 1, 2, 3, 250, 251, 252, 253, 9, 9, 9, 9});
    Palette* p = NewPaletteOf(newPal);
    progressSeen.clear();
    ASSERT_EQ(s.ConvertFormat(FMT_INDEX8, p, 0, 0, RecordProgress, 7), ResultOk);
    EXPECT_EQ(s.GetPalette(), p);
    p->Release();
    EXPECT_EQ(Pixels(s), (Values{255, 254, 253, 252, 5, 4, 3, 2, 246, 246, 246, 246}));
    EXPECT_EQ(progressSeen, (std::vector<int>{7000, 7033, 7066}));
    // The format it has, without a palette: nothing happens at all.
    ASSERT_EQ(s.ConvertFormat(FMT_INDEX8, nullptr, 0, 0, RecordProgress, 0), ResultOk);
    EXPECT_EQ(progressSeen.size(), 3u);

    // A source palette shorter than 256 entries is read only as far as it goes.
    BufferSurface b;
    ASSERT_EQ(b.Create(3, 1, FMT_INDEX8, 0, nullptr), ResultOk);
    Attach(b, {{255, 0, 0, 0}, {0, 255, 0, 0}});
    SetPixels(b, {0, 1, 200});
    ASSERT_EQ(b.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(b), (Values{0xFF0000, 0x00FF00, 0}));
    // Without a palette of its own, a memory DIB matches the black one its Create makes.
    ASSERT_EQ(s.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultOk);
    ASSERT_EQ(s.ConvertFormat(FMT_INDEX8, nullptr, CONVERT_DITHER, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(s), Values(12, 0));
    // Container rows, in a blue-lowest layout.
    ContainerSurface c;
    ASSERT_EQ(c.Create(2, 2, FMT_BGR565, 0, nullptr), ResultOk);
    SetPixels(c, {0x001F, 0xF800, 0x07E0, 0xFFFF});
    ASSERT_EQ(c.ConvertFormat(FMT_RGB555, nullptr, CONVERT_DITHER, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(c), (Values{0x7C00, 0x001F, 0x03E0, 0x7FFF}));
}

TEST(ConvertFormat, RefusalsAndFailuresLeaveThePictureAsItWas) {
    MemoryDibSurface empty;
    EXPECT_EQ(empty.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultNoImage);
    MemoryDibSurface s;
    ASSERT_EQ(s.Create(3, 2, FMT_RGB24, 0, nullptr), ResultOk);
    const Values picture = {1, 2, 3, 0xFFFFFF, 0x808080, 0x123456};
    SetPixels(s, picture);
    auto expectUnchanged = [&](const char* what) {
        EXPECT_EQ(s.GetFormat(), FMT_RGB24) << what;
        EXPECT_EQ(Pixels(s), picture) << what;
    };

    EXPECT_EQ(s.ConvertFormat(FMT_INDEX4, nullptr, 0, 0, nullptr, 0), ResultInvalid);
    EXPECT_EQ(s.ConvertFormat(0x18C60888, nullptr, 0, 0, nullptr, 0), ResultInvalid);
    Palette* reserved = NewPaletteOf(Entries(256, PaletteEntry{1, 2, 3, 1}));
    EXPECT_EQ(s.ConvertFormat(FMT_INDEX8, reserved, CONVERT_TREE_MATCH, 0, nullptr, 0), ResultInvalid);
    expectUnchanged("refused formats and palette");
    // Refused by the re-created surface: the picture comes back.
    EXPECT_EQ(s.ConvertFormat(FMT_RGB565, reserved, 0, 0, nullptr, 0), ResultPaletteMismatch);
    reserved->Release();
    expectUnchanged("palette on a direct format");
    MemoryDibSurface wide;  // 20000 pixels of 32 bits do not fit a row
    ASSERT_EQ(wide.Create(20000, 1, FMT_RGB24, 0, nullptr), ResultOk);
    EXPECT_EQ(wide.ConvertFormat(FMT_RGB32, nullptr, 0, 0, nullptr, 0), ResultInvalid);
    EXPECT_EQ(wide.GetFormat() == FMT_RGB24 && wide.GetWidth() == 20000, true);

    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(s.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(s.ConvertFormat(FMT_RGB555, nullptr, 0, 0, nullptr, 0), ResultLocked);
    s.Unlock();
    ASSERT_EQ(s.Encode(MakeTag('P', 'K', 'C', 'C')), ResultOk);
    EXPECT_EQ(s.ConvertFormat(FMT_RGB555, nullptr, 0, 0, nullptr, 0), ResultEncoded);
    ASSERT_EQ(s.Decode(), ResultOk);
    expectUnchanged("locked and encoded");

    BufferSurface unreadable;
    ASSERT_EQ(unreadable.Create(2, 2, FMT_RGB24, 0, nullptr), ResultOk);
    unreadable.refuseLock = true;
    EXPECT_EQ(unreadable.ConvertFormat(FMT_RGB555, nullptr, 0, 0, nullptr, 0), ResultEncoded);
    EXPECT_EQ(unreadable.GetFormat(), FMT_RGB24);
    MemoryDibSurface small;
    ASSERT_EQ(small.Create(2, 2, FMT_INDEX4, 0, nullptr), ResultOk);
    EXPECT_EQ(small.ConvertFormat(FMT_INDEX4, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(small.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultInvalid);
    EXPECT_EQ(small.GetFormat(), FMT_INDEX4);
}

namespace {

// A memory DIB's picture goes to the conversion's copy as its block, palette and all, and comes
// back whole when the new format cannot be made; the palette's references are not lost or
// leaked either way.
TEST(ConvertFormat, AMemoryDibsPictureComesBackWithItsPaletteAndFrames) {
    Entries colours(256);
    for (int i = 0; i < 256; ++i) colours[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    Palette* own = NewPaletteOf(colours);
    MemoryDibSurface s;
    ASSERT_EQ(s.Create(5, 3, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(s.SetPalette(own), ResultOk);
    s.SetFrameCount(3);
    const Values picture = {0, 1, 2, 3, 4, 250, 251, 252, 253, 254, 255, 7, 8, 9, 10};
    SetPixels(s, picture);
    const int32_t held = own->AddRef() - 1;
    own->Release();

    Palette* tooShort = NewPaletteOf(Entries(16, PaletteEntry{9, 9, 9, 0}));
    EXPECT_EQ(s.ConvertFormat(FMT_INDEX8, tooShort, 0, 0, nullptr, 0), ResultPaletteMismatch);
    tooShort->Release();
    EXPECT_EQ(s.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(Pixels(s), picture);
    EXPECT_EQ(s.GetFrameCount(), 3);
    ASSERT_NE(s.GetPalette(), nullptr);
    EXPECT_EQ(std::memcmp(s.GetPalette()->GetEntryData(), colours.data(), 256 * 4), 0);
    EXPECT_EQ(own->AddRef() - 1, held);
    own->Release();

    // Converted through the palette it had, which the surface then lets go.
    ASSERT_EQ(s.ConvertFormat(FMT_RGB32, nullptr, 0, 0, nullptr, 0), ResultOk);
    EXPECT_EQ(s.GetPalette(), nullptr);
    EXPECT_EQ(s.GetFrameCount(), 3);
    const Values converted = Pixels(s);
    for (size_t k = 0; k < picture.size(); ++k) {
        const PaletteEntry& e = colours[picture[k]];
        EXPECT_EQ(converted[k], (uint32_t(e.red) << 16) | (uint32_t(e.green) << 8) | e.blue) << k;
    }
    EXPECT_EQ(own->AddRef() - 1, held - 1);
    own->Release();
    own->Release();
}

}  // namespace
