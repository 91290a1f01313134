// Format conversion (Surface::ConvertFormat on a memory DIB: copy, re-create, convert) beside
// SDL2's SDL_ConvertSurface of the same picture between the same layouts, at 640x480. The direct
// targets run once as ConvertFormat serves them (".named") and once per body of their routine
// (".scalar", ".sse2", ".avx2" where it runs here); the indexed target once with the exhaustive
// palette search and once through the colour tree ("_tree"), each plain and with error diffusion
// ("_dither", "_tree_dither").
#define SDL_MAIN_HANDLED
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/image/memory_dib_surface.h"
#include "graphics/raster/convert_flags.h"
#include "graphics/raster/raster_registry.h"

using namespace gfx;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

uint32_t SdlFormat(PixelFormat f) {
    switch (f) {
        case FMT_INDEX8: return SDL_PIXELFORMAT_INDEX8;
        case FMT_RGB565: return SDL_PIXELFORMAT_RGB565;
        case FMT_RGB24: return SDL_PIXELFORMAT_BGR24;  // bytes blue, green, red
        default: return SDL_PIXELFORMAT_XRGB8888;
    }
}

// A 6x6x6 colour cube and a grey ramp: the palette of the indexed cases.
std::vector<PaletteEntry> CubePalette() {
    std::vector<PaletteEntry> e(256);
    for (int i = 0; i < 256; ++i) {
        e[i] = i < 216 ? PaletteEntry{uint8_t(i / 36 * 51), uint8_t(i / 6 % 6 * 51), uint8_t(i % 6 * 51), 0}
                       : PaletteEntry{uint8_t((i - 216) * 6), uint8_t((i - 216) * 6), uint8_t((i - 216) * 6), 0};
    }
    return e;
}

Palette* NewCube() {
    auto* p = new Palette;
    const auto e = CubePalette();
    p->Create(256);
    p->SetEntries(e.data(), 0, 256);
    return p;
}

// A smooth picture with some noise, so that neither side meets only a few colours.
void Paint(Surface& s) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    s.Lock(&rows, &pitch);
    srand(1);
    const uint32_t row = RowBytes(s.GetFormat(), s.GetWidth());
    for (int y = 0; y < s.GetHeight(); ++y)
        for (uint32_t k = 0; k < row; ++k) rows[y * pitch + k] = uint8_t(k * 3 + y + (rand() & 15));
    s.Unlock();
}

// The routine that converts between the two sides without dither, when it has fast bodies.
bool FastRoutine(PixelFormat from, PixelFormat to, RasterRoutine* routine) {
    if (IsIndexedFormat(to)) return false;
    *routine = IsIndexedFormat(from) ? RasterRoutine::ConvertLookupPack : RasterRoutine::ConvertRepack;
    return true;
}

void Library(benchmark::State& state, PixelFormat from, PixelFormat to, uint32_t flags, int body) {
    RasterRoutine routine{};
    if (body >= 0 && (!FastRoutine(from, to, &routine) ||
                      !ForceRasterRoutineBody(routine, static_cast<BodyKind>(body)))) {
        state.SkipWithError("no such body here");
        return;
    }
    Palette* cube = NewCube();
    // The painted picture is made once; each run starts from a copy of it, outside the timing.
    MemoryDibSurface painted;
    painted.Create(kWidth, kHeight, from, 0, nullptr);
    if (from == FMT_INDEX8) painted.SetPalette(cube);
    Paint(painted);
    MemoryDibSurface s;
    for (auto _ : state) {
        state.PauseTiming();
        s.CopyFrom(&painted);
        state.ResumeTiming();
        if (s.ConvertFormat(to, to == FMT_INDEX8 ? cube : nullptr, flags, 0, nullptr, 0) != ResultOk) {
            state.SkipWithError("conversion refused");
            break;
        }
    }
    cube->Release();
    RestoreRasterBodies();
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void Sdl(benchmark::State& state, PixelFormat from, PixelFormat to) {
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 0, SdlFormat(from));
    SDL_PixelFormat* target = SDL_AllocFormat(SdlFormat(to));
    SDL_Palette* palette = SDL_AllocPalette(256);
    const auto cube = CubePalette();
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {cube[i].red, cube[i].green, cube[i].blue, 255};
    SDL_SetPaletteColors(palette, colours, 0, 256);
    if (from == FMT_INDEX8) SDL_SetSurfacePalette(src, palette);
    if (to == FMT_INDEX8) SDL_SetPixelFormatPalette(target, palette);
    srand(1);
    auto* px = static_cast<uint8_t*>(src->pixels);
    for (int y = 0; y < kHeight; ++y)
        for (int k = 0; k < src->pitch; ++k) px[y * src->pitch + k] = uint8_t(k * 3 + y + (rand() & 15));
    for (auto _ : state) {
        SDL_Surface* out = SDL_ConvertSurface(src, target, 0);
        benchmark::DoNotOptimize(out);
        SDL_FreeSurface(out);
    }
    SDL_FreePalette(palette);
    SDL_FreeFormat(target);
    SDL_FreeSurface(src);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

struct Case {
    const char* name;
    PixelFormat from, to;
};
const Case kCases[] = {{"RGB565_to_RGB24", FMT_RGB565, FMT_RGB24},
                       {"RGB565_to_RGB32", FMT_RGB565, FMT_RGB32},
                       {"RGB24_to_RGB565", FMT_RGB24, FMT_RGB565},
                       {"RGB32_to_RGB24", FMT_RGB32, FMT_RGB24},
                       {"INDEX8_to_RGB32", FMT_INDEX8, FMT_RGB32},
                       {"RGB24_to_INDEX8", FMT_RGB24, FMT_INDEX8}};

const bool kRegistered = [] {
    for (const Case& c : kCases) {
        const std::string name = std::string("Convert/") + c.name;
        RasterRoutine routine{};
        if (FastRoutine(c.from, c.to, &routine)) {
            benchmark::RegisterBenchmark((name + ".named").c_str(), Library, c.from, c.to, 0u, -1);
            for (int k = 0; k < kBodyKindCount; ++k) {
                if (!HasRunnableRasterBody(routine, static_cast<BodyKind>(k))) continue;
                benchmark::RegisterBenchmark((name + "." + BodyKindName(static_cast<BodyKind>(k))).c_str(),
                                             Library, c.from, c.to, 0u, k);
            }
        } else {
            benchmark::RegisterBenchmark(name.c_str(), Library, c.from, c.to, 0u, -1);
            benchmark::RegisterBenchmark((name + "_tree").c_str(), Library, c.from, c.to, CONVERT_TREE_MATCH, -1);
        }
        benchmark::RegisterBenchmark((name + "_dither").c_str(), Library, c.from, c.to,
                                     CONVERT_DITHER, -1);
        if (c.to == FMT_INDEX8) {
            benchmark::RegisterBenchmark((name + "_tree_dither").c_str(), Library, c.from, c.to,
                                         CONVERT_DITHER | CONVERT_TREE_MATCH, -1);
        }
        benchmark::RegisterBenchmark((std::string("SDL2/") + c.name).c_str(), Sdl, c.from, c.to);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
