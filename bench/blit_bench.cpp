// Throughput of the unscaled blit routines on raw rows, beside the peers that do the same work in
// the same program: memcpy of the same rows, and SDL2's software blit of the same image, plain and
// with a colour key, in the same pixel format. Every benchmark counts pixels as items and pixel
// bytes as bytes, so items_per_second / 1e6 is megapixels per second.
//
// Names: "<routine>.<mode>.<body>/<width>x<height>" where body is "named" (the routine Blit
// calls), "scalar" or "sse2"; peers are "memcpy.<bpp>/<size>" and "sdl.<bpp>.<mode>/<size>".
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/blit/blit_copy.h"
#include "graphics/blit/blit_copy_sse2.h"
#include "graphics/core/blit_flags.h"
#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_keyed_sse2.h"
#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/blit_mask_stipple_sse2.h"
#include "graphics/blit/blit_routines.h"
#include "graphics/blit/blit_stipple.h"
#include "graphics/blit/blit_stipple_sse2.h"

namespace {

using namespace gfx;

struct Size {
    int32_t width;
    int32_t height;
};
constexpr Size kSizes[] = {{64, 64}, {640, 480}, {1920, 1080}};

// The key of the sprite pictures, a value that no opaque pixel takes.
uint32_t KeyOf(int bytes) { return bytes == 1 ? 0xFDu : bytes == 2 ? 0xF81Fu : 0x00FF00FFu; }

// Rows of one picture, padded to 4 bytes as surfaces are.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int bytes = 0;
    int32_t pitch = 0;
    std::vector<uint8_t> rows;

    Picture(Size size, int bpp)
        : width(size.width),
          height(size.height),
          bytes(bpp),
          pitch((size.width * bpp + 3) / 4 * 4),
          rows(static_cast<size_t>(pitch) * size.height) {}

    void Set(int32_t x, int32_t y, uint32_t v) {
        uint8_t* p = rows.data() + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytes;
        for (int b = 0; b < bytes; ++b) p[b] = static_cast<uint8_t>(v >> (8 * b));
    }
};

uint32_t Noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// A sprite: an opaque ellipse of varied colours filling the picture, the key around it, so that
// keyed blits see long runs of each kind as real sprites do.
Picture Sprite(Size size, int bytes) {
    Picture p(size, bytes);
    const uint32_t key = KeyOf(bytes);
    const uint32_t valueMask = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
    uint32_t state = 12345;
    const double cx = size.width / 2.0, cy = size.height / 2.0;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            const double ex = (x + 0.5 - cx) / cx, ey = (y + 0.5 - cy) / cy;
            uint32_t v = Noise(state) & valueMask;
            if (v == key) v ^= 1;
            p.Set(x, y, ex * ex + ey * ey <= 1.0 ? v : key);
        }
    }
    return p;
}

// A destination: varied colours, with the destination key in the left half of every row.
Picture Backdrop(Size size, int bytes) {
    Picture p(size, bytes);
    uint32_t state = 777;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            p.Set(x, y, x < size.width / 2 ? KeyOf(bytes) : Noise(state));
        }
    }
    return p;
}

// A mask ramp from 0 to 255 across each row.
Picture MaskRamp(Size size) {
    Picture p(size, 1);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) p.Set(x, y, (x * 256 / size.width + y) & 0xFF);
    }
    return p;
}

void Count(benchmark::State& state, Size size, int bytes) {
    const int64_t pixels = static_cast<int64_t>(size.width) * size.height;
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * pixels * bytes);
}

std::string SizeName(Size size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// --- the routines --------------------------------------------------------------------------

struct Mode {
    const char* name;
    uint32_t flags;
};

template <class Fn>
void RegisterCopy(const char* routine, const char* body, int bytes, Fn fn) {
    for (Size size : kSizes) {
        const std::string name = std::string(routine) + ".copy." + body + "/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Picture src = Sprite(size, bytes);
            Picture dst = Backdrop(size, bytes);
            for (auto _ : state) {
                fn(dst.rows.data(), dst.pitch, 0, 0, size.width, size.height, src.rows.data(),
                   src.pitch, 0, 0);
                benchmark::ClobberMemory();
            }
            Count(state, size, bytes);
        });
    }
}

template <class Fn>
void RegisterKeyed(const char* routine, const char* body, int bytes, Mode mode, Fn fn) {
    for (Size size : kSizes) {
        const std::string name =
            std::string(routine) + "." + mode.name + "." + body + "/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Picture src = Sprite(size, bytes);
            Picture dst = Backdrop(size, bytes);
            for (auto _ : state) {
                fn(dst.rows.data(), dst.pitch, 0, 0, size.width, size.height, src.rows.data(),
                   src.pitch, 0, 0, mode.flags, KeyOf(bytes), KeyOf(bytes));
                benchmark::ClobberMemory();
            }
            Count(state, size, bytes);
        });
    }
}

template <class Fn>
void RegisterStipple(const char* routine, const char* body, int bytes, Fn fn) {
    for (Size size : kSizes) {
        const std::string name = std::string(routine) + ".level128." + body + "/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Picture src = Sprite(size, bytes);
            Picture dst = Backdrop(size, bytes);
            for (auto _ : state) {
                fn(dst.rows.data(), dst.pitch, 0, 0, size.width, size.height, src.rows.data(),
                   src.pitch, 0, 0, BLIT_SRCKEY, KeyOf(bytes), 0u, 128u);
                benchmark::ClobberMemory();
            }
            Count(state, size, bytes);
        });
    }
}

template <class Fn>
void RegisterMaskStipple(const char* routine, const char* body, int bytes, Fn fn) {
    for (Size size : kSizes) {
        const std::string name = std::string(routine) + ".mask." + body + "/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Picture src = Sprite(size, bytes);
            const Picture mask = MaskRamp(size);
            Picture dst = Backdrop(size, bytes);
            for (auto _ : state) {
                fn(dst.rows.data(), dst.pitch, 0, 0, size.width, size.height, src.rows.data(),
                   src.pitch, 0, 0, mask.rows.data(), mask.pitch, 0u);
                benchmark::ClobberMemory();
            }
            Count(state, size, bytes);
        });
    }
}

constexpr Mode kPlain{"copy", 0};
constexpr Mode kSrcKey{"srckey", BLIT_SRCKEY};
constexpr Mode kDstKey{"destkey", BLIT_DESTKEY};
constexpr Mode kMirror{"mirror", BLIT_MIRROR_X | BLIT_MIRROR_Y};

template <class Named, class Scalar, class Fast>
void RegisterKeyedFamily(const char* routine, int bytes, Named named, Scalar scalar, Fast fast) {
    for (Mode mode : {kPlain, kSrcKey, kDstKey, kMirror}) {
        RegisterKeyed(routine, "named", bytes, mode, named);
        RegisterKeyed(routine, "scalar", bytes, mode, scalar);
#if defined(__SSE2__)
        RegisterKeyed(routine, "sse2", bytes, mode, fast);
#else
        (void)fast;
#endif
    }
}

void RegisterRoutines() {
#if defined(__SSE2__)
#define GFX_FAST(name) name##Sse2
#else
#define GFX_FAST(name) name##Scalar
#endif
    RegisterCopy("Blt8Copy", "named", 1, Blt8Copy);
    RegisterCopy("Blt8Copy", "scalar", 1, Blt8CopyScalar);
    RegisterCopy("Blt8Copy", "sse2", 1, GFX_FAST(Blt8Copy));
    RegisterCopy("Blt16Copy", "named", 2, Blt16Copy);
    RegisterCopy("Blt16Copy", "scalar", 2, Blt16CopyScalar);
    RegisterCopy("Blt16Copy", "sse2", 2, GFX_FAST(Blt16Copy));

    RegisterKeyedFamily("Blt8Keyed", 1, Blt8Keyed, Blt8KeyedScalar, GFX_FAST(Blt8Keyed));
    RegisterKeyedFamily("Blt16Keyed", 2, Blt16Keyed, Blt16KeyedScalar, GFX_FAST(Blt16Keyed));
    RegisterKeyedFamily("Blt24Keyed", 3, Blt24Keyed, Blt24KeyedScalar, GFX_FAST(Blt24Keyed));
    RegisterKeyedFamily("Blt32Keyed", 4, Blt32Keyed, Blt32KeyedScalar, GFX_FAST(Blt32Keyed));

    for (const char* body : {"named", "scalar", "sse2"}) {
        const bool named = body[0] == 'n', scalar = body[0] == 's' && body[1] == 'c';
        RegisterStipple("Blt8Stipple", body, 1,
                        named    ? Blt8Stipple
                        : scalar ? Blt8StippleScalar
                                 : GFX_FAST(Blt8Stipple));
        RegisterStipple("Blt16Stipple", body, 2,
                        named    ? Blt16Stipple
                        : scalar ? Blt16StippleScalar
                                 : GFX_FAST(Blt16Stipple));
        RegisterStipple("Blt32Stipple", body, 4,
                        named    ? Blt32Stipple
                        : scalar ? Blt32StippleScalar
                                 : GFX_FAST(Blt32Stipple));
        RegisterMaskStipple("Blt8MaskStipple", body, 1,
                            named    ? Blt8MaskStipple
                            : scalar ? Blt8MaskStippleScalar
                                     : GFX_FAST(Blt8MaskStipple));
        RegisterMaskStipple("Blt16MaskStipple", body, 2,
                            named    ? Blt16MaskStipple
                            : scalar ? Blt16MaskStippleScalar
                                     : GFX_FAST(Blt16MaskStipple));
        RegisterMaskStipple("Blt32MaskStipple", body, 4,
                            named    ? Blt32MaskStipple
                            : scalar ? Blt32MaskStippleScalar
                                     : GFX_FAST(Blt32MaskStipple));
    }
    RegisterStipple("Blt24Stipple", "named", 3, Blt24Stipple);
    RegisterStipple("Blt24Stipple", "scalar", 3, Blt24StippleScalar);
    RegisterStipple("Blt24Stipple", "sse2", 3, GFX_FAST(Blt24Stipple));
    // The 24-bit mask stipple has no vector body.
    RegisterMaskStipple("Blt24MaskStipple", "named", 3, Blt24MaskStipple);
#undef GFX_FAST
}

// --- the peers -----------------------------------------------------------------------------

void RegisterMemcpy(int bytes) {
    for (Size size : kSizes) {
        const std::string name = "memcpy." + std::to_string(bytes * 8) + "/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Picture src = Sprite(size, bytes);
            Picture dst = Backdrop(size, bytes);
            const size_t rowBytes = static_cast<size_t>(size.width) * bytes;
            for (auto _ : state) {
                for (int32_t y = 0; y < size.height; ++y) {
                    std::memcpy(dst.rows.data() + static_cast<size_t>(y) * dst.pitch,
                                src.rows.data() + static_cast<size_t>(y) * src.pitch, rowBytes);
                }
                benchmark::ClobberMemory();
            }
            Count(state, size, bytes);
        });
    }
}

// The SDL pixel format with our layout at each depth: 8-bit indexed, 5-6-5, bytes in the order
// blue, green, red, and 32-bit words with an unused top byte.
Uint32 SdlFormat(int bytes) {
    switch (bytes) {
        case 1:
            return SDL_PIXELFORMAT_INDEX8;
        case 2:
            return SDL_PIXELFORMAT_RGB565;
        case 3:
            return SDL_PIXELFORMAT_BGR24;
        default:
            return SDL_PIXELFORMAT_XRGB8888;
    }
}

void RegisterSdl(int bytes, bool keyed) {
    for (Size size : kSizes) {
        const std::string name = "sdl." + std::to_string(bytes * 8) +
                                 (keyed ? ".srckey" : ".copy") + "/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            Picture src = Sprite(size, bytes);
            Picture dst = Backdrop(size, bytes);
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
                src.rows.data(), size.width, size.height, bytes * 8, src.pitch, SdlFormat(bytes));
            SDL_Surface* d = SDL_CreateRGBSurfaceWithFormatFrom(
                dst.rows.data(), size.width, size.height, bytes * 8, dst.pitch, SdlFormat(bytes));
            SDL_Palette* palette = nullptr;
            if (s == nullptr || d == nullptr) {
                state.SkipWithError(SDL_GetError());
            } else {
                if (bytes == 1) {
                    // One shared palette, so SDL maps index to index.
                    palette = SDL_AllocPalette(256);
                    SDL_Color colors[256];
                    for (int k = 0; k < 256; ++k) {
                        colors[k] = {static_cast<Uint8>(k), static_cast<Uint8>(255 - k),
                                     static_cast<Uint8>(k * 7), 255};
                    }
                    SDL_SetPaletteColors(palette, colors, 0, 256);
                    SDL_SetSurfacePalette(s, palette);
                    SDL_SetSurfacePalette(d, palette);
                }
                SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
                if (keyed) SDL_SetColorKey(s, SDL_TRUE, KeyOf(bytes));
                for (auto _ : state) {
                    if (SDL_BlitSurface(s, nullptr, d, nullptr) != 0) {
                        state.SkipWithError(SDL_GetError());
                        break;
                    }
                    benchmark::ClobberMemory();
                }
                Count(state, size, bytes);
            }
            SDL_FreeSurface(s);
            SDL_FreeSurface(d);
            if (palette != nullptr) SDL_FreePalette(palette);
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterRoutines();
    for (int bytes = 1; bytes <= 4; ++bytes) {
        RegisterMemcpy(bytes);
        RegisterSdl(bytes, false);
        RegisterSdl(bytes, true);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
