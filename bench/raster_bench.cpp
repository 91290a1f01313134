// Throughput of the fill, translucent fill, line, inversion and contrast bodies on raw rows, and
// of the whole surface operations, beside peers doing the same work in the same program: memset
// as the limit and SDL2's and pixman's solid fills for FillRect; pixman's OVER of a translucent
// solid colour onto r5g6b5 for BlendFillRect; SDL2's software renderer for DrawLine; memcpy of
// the same rows for Invert and AdjustContrast on a 1920x1080 photograph-like picture. Items are
// pixels written, so items_per_second / 1e6 is megapixels per second.
//
// Names: "<body or peer>.<depth>/<width>x<height>"; a registry body is "<routine>.<kind>" (scalar,
// sse2, avx2) and the whole operation on a surface (lock, clip and the served body) is the
// operation's name. Lines are "line.<depth>/<length>" with a fan of lines of every slope drawn
// across a 1024x1024 picture.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics/core/pixel_format.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/raster/blend_fill_rows.h"
#include "graphics/raster/fill_rows.h"
#include "graphics/raster/line_steps.h"
#include "graphics/raster/raster_registry.h"

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

// The body kinds of a routine that run here, scalar first.
std::vector<gfx::BodyKind> KindsOf(gfx::RasterRoutine id) {
    std::vector<gfx::BodyKind> kinds;
    for (int k = 0; k < gfx::kBodyKindCount; ++k) {
        if (gfx::HasRunnableRasterBody(id, static_cast<gfx::BodyKind>(k)))
            kinds.push_back(static_cast<gfx::BodyKind>(k));
    }
    return kinds;
}

std::string BodyName(gfx::RasterRoutine id, gfx::BodyKind kind) {
    return std::string(gfx::NameOf(id)) + "." + gfx::BodyKindName(kind);
}

struct SurfaceDeleter {
    void operator()(gfx::Surface* s) const { s->Release(); }
};
using SurfacePtr = std::unique_ptr<gfx::Surface, SurfaceDeleter>;

SurfacePtr MakeSurface(Size size, gfx::PixelFormat format) {
    auto* s = new gfx::MemoryDibSurface;
    if (s->Create(size.width, size.height, format, 0, nullptr) != gfx::ResultOk) {
        s->Release();
        return nullptr;
    }
    return SurfacePtr(s);
}

struct Depth {
    int32_t bpp;
    gfx::RasterRoutine fill;
    gfx::PixelFormat format;
};
const Depth kDepths[] = {{8, gfx::RasterRoutine::FillRows8, gfx::FMT_INDEX8},
                         {16, gfx::RasterRoutine::FillRows16, gfx::FMT_RGB565},
                         {24, gfx::RasterRoutine::FillRows24, gfx::FMT_RGB24},
                         {32, gfx::RasterRoutine::FillRows32, gfx::FMT_RGB32}};

void RegisterFills() {
    for (Size size : kSizes) {
        const std::string at = "/" + SizeName(size);
        const gfx::FillArea area{0, 0, size.width, size.height};
        for (int32_t bpp : {1, 4}) {
            Register("FillRows." + std::to_string(bpp) + at, [=](benchmark::State& state) {
                Rows rows(size, bpp);
                for (auto _ : state) {
                    gfx::FillRows(rows.bytes.data(), rows.pitch, uint32_t(bpp), area, 0x1);
                    benchmark::ClobberMemory();
                }
                Count(state, size);
            });
        }
        for (const Depth& d : kDepths) {
            const std::string depth = "." + std::to_string(d.bpp) + at;
            for (gfx::BodyKind kind : KindsOf(d.fill)) {
                const auto body = reinterpret_cast<gfx::FillRowsBody>(gfx::AnyRasterBodyOf(d.fill, kind));
                Register(BodyName(d.fill, kind) + depth, [=](benchmark::State& state) {
                    Rows rows(size, d.bpp);
                    for (auto _ : state) {
                        body(rows.bytes.data(), rows.pitch, area, 0x1);
                        benchmark::ClobberMemory();
                    }
                    Count(state, size);
                });
            }
            Register("FillRect" + depth, [=](benchmark::State& state) {
                SurfacePtr s = MakeSurface(size, d.format);
                for (auto _ : state) {
                    s->FillRect(0, 0, size.width, size.height, 0x1);
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
        for (gfx::RasterRoutine id : {gfx::RasterRoutine::BlendFillRows555, gfx::RasterRoutine::BlendFillRows565}) {
            for (gfx::BodyKind kind : KindsOf(id)) {
                const auto body = reinterpret_cast<gfx::BlendFillRowsBody>(gfx::AnyRasterBodyOf(id, kind));
                Register(BodyName(id, kind) + ".16" + at, [=](benchmark::State& state) {
                    Rows rows(size, 16);
                    for (auto _ : state) {
                        body(rows.bytes.data(), rows.pitch, area, 0x1234, 100);
                        benchmark::ClobberMemory();
                    }
                    Count(state, size);
                });
            }
        }
        Register("BlendFillRect.565" + at, [=](benchmark::State& state) {
            SurfacePtr s = MakeSurface(size, gfx::FMT_RGB565);
            for (auto _ : state) {
                s->BlendFillRect(0, 0, size.width, size.height, 1, 0x1234, 100);
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

// A 1920x1080 picture with smooth light and colour and fine grain, as a photograph has, in the
// rows of a 24 or 32-bit surface.
constexpr Size kPicture{1920, 1080};

SurfacePtr MakePicture(gfx::PixelFormat format) {
    SurfacePtr s = MakeSurface(kPicture, format);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (!s || s->Lock(&rows, &pitch) != gfx::ResultOk) return nullptr;
    const int32_t bytes = int32_t(gfx::BitsPerPixel(format) / 8);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < kPicture.height; ++y) {
        uint8_t* p = rows + ptrdiff_t(y) * pitch;
        for (int32_t x = 0; x < kPicture.width; ++x, p += bytes) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            const double light = 0.5 + 0.5 * std::sin(x * 0.004) * std::cos(y * 0.006);
            p[0] = uint8_t(std::clamp(int(200 * light) + grain, 0, 255));
            p[1] = uint8_t(std::clamp(int(120 + 90 * std::sin((x + y) * 0.01)) + grain, 0, 255));
            p[2] = uint8_t(std::clamp(int(255 * (1 - light)) + grain, 0, 255));
            if (bytes == 4) p[3] = 0xFF;
        }
    }
    s->Unlock();
    return s;
}

// An 8-bit mask of the picture's size: 0 over the left quarter, then rising towards the right.
SurfacePtr FeatheredMask() {
    SurfacePtr mask = MakeSurface(kPicture, gfx::FMT_INDEX8);
    uint8_t* m = nullptr;
    int32_t pitch = 0;
    if (!mask || mask->Lock(&m, &pitch) != gfx::ResultOk) return nullptr;
    for (int32_t y = 0; y < kPicture.height; ++y)
        for (int32_t x = 0; x < kPicture.width; ++x)
            m[ptrdiff_t(y) * pitch + x] =
                uint8_t(x < kPicture.width / 4 ? 0 : x * 255 / (kPicture.width - 1));
    mask->Unlock();
    return mask;
}

// Locked rows of a picture for the row bodies; the surface stays locked while they are used.
struct LockedRows {
    explicit LockedRows(gfx::PixelFormat format) : surface(MakePicture(format)) {
        surface->Lock(&base, &pitch);
        rowBytes = size_t(kPicture.width) * (gfx::BitsPerPixel(format) / 8);
    }
    ~LockedRows() { surface->Unlock(); }
    gfx::ContrastRows Contrast() const {
        return {base, pitch, nullptr, 0, kPicture.width, kPicture.height,
                int32_t(rowBytes / size_t(kPicture.width))};
    }
    SurfacePtr surface;
    uint8_t* base = nullptr;
    int32_t pitch = 0;
    size_t rowBytes = 0;
};

void RegisterToneOperations() {
    const std::string at = "/" + SizeName(kPicture);
    for (gfx::PixelFormat format : {gfx::FMT_RGB24, gfx::FMT_RGB32}) {
        const std::string depth = "." + std::to_string(gfx::BitsPerPixel(format)) + at;
        Register("memcpy" + depth, [=](benchmark::State& state) {
            LockedRows rows(format);
            // The copy starts at another page offset than the picture: rows at equal page offsets
            // make some processors' string moves take a slow path, which is no limit to measure by.
            constexpr size_t kShift = 1344;
            std::vector<uint8_t> copy(size_t(rows.pitch) * kPicture.height + kShift);
            for (auto _ : state) {
                for (int32_t y = 0; y < kPicture.height; ++y)
                    std::memcpy(copy.data() + kShift + size_t(y) * rows.pitch,
                                rows.base + ptrdiff_t(y) * rows.pitch, rows.rowBytes);
                benchmark::ClobberMemory();
            }
            Count(state, kPicture);
        });
        for (gfx::BodyKind kind : KindsOf(gfx::RasterRoutine::InvertRows)) {
            const auto body = gfx::RasterBodyOf<gfx::RasterRoutine::InvertRows>(kind);
            Register(BodyName(gfx::RasterRoutine::InvertRows, kind) + depth, [=](benchmark::State& state) {
                LockedRows rows(format);
                for (auto _ : state) {
                    body(rows.base, rows.pitch, kPicture.height, rows.rowBytes);
                    benchmark::ClobberMemory();
                }
                Count(state, kPicture);
            });
        }
        for (gfx::BodyKind kind : KindsOf(gfx::RasterRoutine::SumChannels)) {
            const auto body = gfx::RasterBodyOf<gfx::RasterRoutine::SumChannels>(kind);
            Register(BodyName(gfx::RasterRoutine::SumChannels, kind) + depth, [=](benchmark::State& state) {
                LockedRows rows(format);
                const gfx::ContrastRows contrast = rows.Contrast();
                for (auto _ : state) benchmark::DoNotOptimize(body(contrast));
                Count(state, kPicture);
            });
        }
        for (gfx::BodyKind kind : KindsOf(gfx::RasterRoutine::ApplyContrastRows)) {
            const auto body = gfx::RasterBodyOf<gfx::RasterRoutine::ApplyContrastRows>(kind);
            Register(BodyName(gfx::RasterRoutine::ApplyContrastRows, kind) + depth, [=](benchmark::State& state) {
                LockedRows rows(format);
                const gfx::ContrastRows contrast = rows.Contrast();
                const gfx::ContrastTable tables[2] = {gfx::MakeContrastTable(30, 120),
                                                      gfx::MakeContrastTable(-30, 120)};
                int turn = 0;
                for (auto _ : state) {
                    body(tables[turn ^= 1], contrast);
                    benchmark::ClobberMemory();
                }
                Count(state, kPicture);
            });
        }
        Register("Invert" + depth, [=](benchmark::State& state) {
            SurfacePtr s = MakePicture(format);
            for (auto _ : state) {
                s->Invert();
                benchmark::ClobberMemory();
            }
            Count(state, kPicture);
        });
        // Raising and lowering by turns keeps the picture from flattening out over the run. The
        // strong change pushes values by more than their distance from the mean, which its
        // arithmetic takes with wider factors; the masked one goes through a mask that leaves
        // the left quarter as it is and weighs the rest more and more towards the right, as a
        // feathered selection does.
        struct ContrastCase {
            const char* name;
            int32_t strength;
            bool masked;
        };
        for (const ContrastCase c : {ContrastCase{"AdjustContrast", 30, false},
                                     ContrastCase{"AdjustContrastStrong", 80, false},
                                     ContrastCase{"AdjustContrastMasked", 30, true}}) {
            Register(c.name + depth, [=](benchmark::State& state) {
                SurfacePtr s = MakePicture(format);
                SurfacePtr mask = c.masked ? FeatheredMask() : nullptr;
                int32_t amount = c.strength;
                for (auto _ : state) {
                    s->AdjustContrast(amount, mask.get());
                    amount = -amount;
                    benchmark::ClobberMemory();
                }
                Count(state, kPicture);
            });
        }
        // Turning the hue and scaling the saturation there and back by turns, as above; the
        // masked 32-bit case takes the fixed-point routine (the mask lets every pixel change).
        for (const bool masked : {false, true}) {
            if (masked && format != gfx::FMT_RGB32) continue;
            Register(std::string(masked ? "AdjustHueSaturationMasked" : "AdjustHueSaturation") + depth,
                     [=](benchmark::State& state) {
                         SurfacePtr s = MakePicture(format);
                         SurfacePtr mask = masked ? MakeSurface(kPicture, gfx::FMT_INDEX8) : nullptr;
                         if (mask) mask->FillRect(0, 0, kPicture.width, kPicture.height, 1);
                         int32_t turn = 30;
                         for (auto _ : state) {
                             s->AdjustHueSaturation(turn, turn / 3, 0, mask.get());
                             turn = -turn;
                             benchmark::ClobberMemory();
                         }
                         Count(state, kPicture);
                     });
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterFills();
    RegisterBlendFills();
    RegisterLines();
    RegisterToneOperations();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
