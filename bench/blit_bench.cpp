// Throughput of the unscaled blit routines on raw rows, beside the peers that do the same work in
// the same program: memcpy of the same rows, and SDL2's software blit of the same image, plain and
// with a colour key, in the same pixel format. Every benchmark counts pixels as items and pixel
// bytes as bytes, so items_per_second / 1e6 is megapixels per second.
//
// Names: "<routine>.<mode>.<body>/<width>x<height>" where body is "named" (the body Blit serves)
// or the instruction set of a body ("scalar", "sse2", ...), all read from the routine registry;
// peers are "memcpy.<bpp>/<size>" and "sdl.<bpp>.<mode>/<size>".
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "graphics/blit/blit_registry.h"
#include "graphics/core/blit_flags.h"

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

constexpr Mode kPlain{"copy", 0};
constexpr Mode kSrcKey{"srckey", BLIT_SRCKEY};
constexpr Mode kDstKey{"destkey", BLIT_DESTKEY};
constexpr Mode kMirror{"mirror", BLIT_MIRROR_X | BLIT_MIRROR_Y};
// Stipple routines draw half the pixels, with the source key on; mask routines take the ramp.
constexpr Mode kLevel{"level128", BLIT_SRCKEY};
constexpr Mode kMask{"mask", 0};

// The modes each call shape is timed in.
std::vector<Mode> ModesOf(CallShape shape) {
    switch (shape) {
        case CallShape::Copy:
            return {kPlain};
        case CallShape::Keyed:
            return {kPlain, kSrcKey, kDstKey, kMirror};
        case CallShape::Level:
            return {kLevel};
        case CallShape::Mask:
            return {kMask};
        default:
            return {};
    }
}

// Times one body of a routine ("named": the body Blit serves) in one mode, over whole pictures.
void RegisterBody(RoutineId id, const char* bodyName, std::optional<BodyKind> kind, Mode mode) {
    const RoutineInfo& info = InfoOf(id);
    const int bytes = static_cast<int>(info.bitsPerPixel / 8);
    for (Size size : kSizes) {
        const std::string name = std::string(info.name) + "." + mode.name + "." + bodyName + "/" +
                                 SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Picture src = Sprite(size, bytes);
            const Picture mask = MaskRamp(size);
            Picture dst = Backdrop(size, bytes);
            BlitCall call;
            call.dst = dst.rows.data();
            call.dstPitch = dst.pitch;
            call.width = size.width;
            call.height = size.height;
            call.src = src.rows.data();
            call.srcPitch = src.pitch;
            call.flags = mode.flags;
            call.srcKey = call.dstKey = KeyOf(bytes);
            call.level = 128;
            call.mask = mask.rows.data();
            call.maskPitch = mask.pitch;
            const BlitBody& body = kind ? BodyOf(id, *kind) : ServedBody(id);
            for (auto _ : state) {
                body.Call(call);
                benchmark::ClobberMemory();
            }
            Count(state, size, bytes);
        });
    }
}

// Every built routine of the registry, by the body Blit serves and by each body that runs here.
void RegisterRoutines() {
    for (size_t i = 0; i < kRoutineCount; ++i) {
        const RoutineId id = RoutineAt(i);
        if (!BodyOf(id, BodyKind::Scalar).IsAvailable()) continue;
        for (Mode mode : ModesOf(InfoOf(id).shape)) {
            RegisterBody(id, "named", std::nullopt, mode);
            for (int k = 0; k < kBodyKindCount; ++k) {
                const BodyKind kind = static_cast<BodyKind>(k);
                if (HasRunnableBody(id, kind)) RegisterBody(id, BodyKindName(kind), kind, mode);
            }
        }
    }
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
