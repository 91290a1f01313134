// Throughput of the fill, translucent fill and line bodies on raw rows, beside peers doing the
// same work in the same program: memset as the limit and SDL2's and pixman's solid fills for
// FillRect; pixman's OVER of a translucent solid colour onto r5g6b5 for BlendFillRect; SDL2's
// software renderer for DrawLine. Items are pixels written, so items_per_second / 1e6 is
// megapixels per second.
//
// Names: "<body or peer>.<depth>/<width>x<height>"; lines are "line.<depth>/<length>" with a
// fan of lines of every slope drawn across a 1024x1024 picture.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/raster/blend_fill_rows.h"
#include "graphics/raster/fill_rows.h"
#include "graphics/raster/line_steps.h"

namespace {

struct Size {
    int32_t width;
    int32_t height;
};

constexpr Size kSizes[] = {{64, 64}, {640, 480}, {1920, 1080}};

std::string SizeName(Size s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

// Rows padded to 4 bytes, as every surface has them.
struct Rows {
    Rows(Size size, int32_t bitsPerPixel)
        : pitch((size.width * bitsPerPixel + 31) / 32 * 4), bytes(size_t(pitch) * size.height, 0x5A) {}
    int32_t pitch;
    std::vector<uint8_t> bytes;
};

void Count(benchmark::State& state, Size size) {
    state.SetItemsProcessed(state.iterations() * int64_t{size.width} * size.height);
}

template <class Body>
void Register(const std::string& name, Body body) {
    benchmark::RegisterBenchmark(name.c_str(), body);
}

void RegisterFills() {
    for (Size size : kSizes) {
        const std::string at = "/" + SizeName(size);
        const gfx::FillArea area{0, 0, size.width, size.height};
        for (int32_t bpp : {1, 4, 8, 16, 24, 32}) {
            Register("FillRows." + std::to_string(bpp) + at, [=](benchmark::State& state) {
                Rows rows(size, bpp);
                for (auto _ : state) {
                    gfx::FillRows(rows.bytes.data(), rows.pitch, uint32_t(bpp), area, 0x1);
                    benchmark::ClobberMemory();
                }
                Count(state, size);
            });
        }
        for (int32_t bpp : {8, 16, 24, 32}) {
            Register("memset." + std::to_string(bpp) + at, [=](benchmark::State& state) {
                Rows rows(size, bpp);
                for (auto _ : state) {
                    for (int32_t y = 0; y < size.height; ++y)
                        std::memset(rows.bytes.data() + size_t(y) * rows.pitch, 0x11,
                                    size_t(size.width) * bpp / 8);
                    benchmark::ClobberMemory();
                }
                Count(state, size);
            });
            Register("SDL_FillRect." + std::to_string(bpp) + at, [=](benchmark::State& state) {
                SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(
                    0, size.width, size.height, bpp,
                    bpp == 8 ? SDL_PIXELFORMAT_INDEX8
                             : bpp == 16 ? SDL_PIXELFORMAT_RGB565
                                         : bpp == 24 ? SDL_PIXELFORMAT_RGB24 : SDL_PIXELFORMAT_ARGB8888);
                for (auto _ : state) {
                    SDL_FillRect(s, nullptr, 0x1);
                    benchmark::ClobberMemory();
                }
                SDL_FreeSurface(s);
                Count(state, size);
            });
        }
        for (int32_t bpp : {8, 16, 32}) {
            Register("pixman_fill." + std::to_string(bpp) + at, [=](benchmark::State& state) {
                Rows rows(size, bpp);
                for (auto _ : state) {
                    pixman_fill(reinterpret_cast<uint32_t*>(rows.bytes.data()), rows.pitch / 4, bpp,
                                0, 0, size.width, size.height, 0x1);
                    benchmark::ClobberMemory();
                }
                Count(state, size);
            });
        }
    }
}

void RegisterBlendFills() {
    for (Size size : kSizes) {
        const std::string at = "/" + SizeName(size);
        const gfx::FillArea area{0, 0, size.width, size.height};
        Register("BlendFillRows565.16" + at, [=](benchmark::State& state) {
            Rows rows(size, 16);
            for (auto _ : state) {
                gfx::BlendFillRows565(rows.bytes.data(), rows.pitch, area, 0x1234, 100);
                benchmark::ClobberMemory();
            }
            Count(state, size);
        });
        Register("pixman_over_solid.565" + at, [=](benchmark::State& state) {
            Rows rows(size, 16);
            pixman_image_t* dst =
                pixman_image_create_bits(PIXMAN_r5g6b5, size.width, size.height,
                                         reinterpret_cast<uint32_t*>(rows.bytes.data()), rows.pitch);
            const pixman_color_t colour{0x1000, 0x4000, 0x8000, 0x9800};  // 152 of 256 opaque
            pixman_image_t* solid = pixman_image_create_solid_fill(&colour);
            for (auto _ : state) {
                pixman_image_composite32(PIXMAN_OP_OVER, solid, nullptr, dst, 0, 0, 0, 0, 0, 0,
                                         size.width, size.height);
                benchmark::ClobberMemory();
            }
            pixman_image_unref(solid);
            pixman_image_unref(dst);
            Count(state, size);
        });
    }
}

// A fan of 64 lines from the centre of a 1024x1024 picture to points around its border.
constexpr int32_t kLineSide = 1024;
constexpr int32_t kFan = 64;

gfx::LineEnd FanEnd(int32_t k) {
    const int32_t t = k * 4 * (kLineSide - 1) / kFan;
    if (t < kLineSide) return {t, 0};
    if (t < 2 * kLineSide) return {kLineSide - 1, t - kLineSide};
    if (t < 3 * kLineSide) return {3 * kLineSide - 1 - t, kLineSide - 1};
    return {0, 4 * kLineSide - 1 - t};
}

int64_t FanPixels() {
    int64_t pixels = 0;
    for (int32_t k = 0; k < kFan; ++k) {
        const gfx::LineEnd e = FanEnd(k);
        pixels += std::max(std::abs(e.x - kLineSide / 2), std::abs(e.y - kLineSide / 2));
    }
    return pixels;
}

void RegisterLines() {
    const Size size{kLineSide, kLineSide};
    const gfx::LineEnd centre{kLineSide / 2, kLineSide / 2};
    using Steps = void (*)(uint8_t*, int32_t, gfx::LineEnd, gfx::LineEnd, uint32_t);
    const struct {
        int32_t bpp;
        Steps steps;
        Uint32 sdlFormat;
    } depths[] = {{8, gfx::DrawLineSteps8, SDL_PIXELFORMAT_INDEX8},
                  {16, gfx::DrawLineSteps16, SDL_PIXELFORMAT_RGB565},
                  {24, gfx::DrawLineSteps24, SDL_PIXELFORMAT_RGB24},
                  {32, gfx::DrawLineSteps32, SDL_PIXELFORMAT_ARGB8888}};
    for (const auto& d : depths) {
        const std::string at = "." + std::to_string(d.bpp) + "/fan" + std::to_string(kFan);
        Register("DrawLineSteps" + at, [=](benchmark::State& state) {
            Rows rows(size, d.bpp);
            for (auto _ : state) {
                for (int32_t k = 0; k < kFan; ++k)
                    d.steps(rows.bytes.data(), rows.pitch, centre, FanEnd(k), 0x7);
                benchmark::ClobberMemory();
            }
            state.SetItemsProcessed(state.iterations() * FanPixels());
        });
        if (d.bpp == 8) continue;  // the software renderer draws on truecolour surfaces only
        Register("SDL_RenderDrawLine" + at, [=](benchmark::State& state) {
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kLineSide, kLineSide, d.bpp, d.sdlFormat);
            SDL_Renderer* r = SDL_CreateSoftwareRenderer(s);
            SDL_SetRenderDrawColor(r, 1, 2, 3, 255);
            for (auto _ : state) {
                for (int32_t k = 0; k < kFan; ++k) {
                    const gfx::LineEnd e = FanEnd(k);
                    SDL_RenderDrawLine(r, centre.x, centre.y, e.x, e.y);
                }
                benchmark::ClobberMemory();
            }
            SDL_DestroyRenderer(r);
            SDL_FreeSurface(s);
            state.SetItemsProcessed(state.iterations() * FanPixels());
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterFills();
    RegisterBlendFills();
    RegisterLines();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
