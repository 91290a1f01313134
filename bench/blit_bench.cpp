// Throughput of the blit routines on raw rows, beside the peers that do the same work in the same
// program: memcpy of the destination rows as the limit; SDL2's software blit plain, with a colour
// key, with surface alpha modulation, scaled (nearest) and stretched linearly; pixman's OVER with
// an a8 mask, OVER of a premultiplied source, and its nearest and bilinear transforms; stb's box
// filter reduction. Every benchmark counts destination pixels as items and their bytes as bytes,
// so items_per_second / 1e6 is megapixels per second.
//
// Routine names are those of bench/blit_cases.h; peers are "memcpy.<bpp>/<size>" and
// "<peer>.<depth>.<mode>/<size>" with depth 8, 16, 24, 32, or 555 and 565 for the 16-bit
// channel layouts, and the destination size.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <stb_image_resize.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "bench/blit_cases.h"
#include "bench/blit_pictures.h"
#include "graphics/blit/blit_registry.h"

namespace {

using bench::Picture;
using bench::Size;

constexpr Size kSizes[] = {{64, 64}, {640, 480}, {1920, 1080}};
constexpr Size kBlendSizes[] = {{64, 64}, {640, 480}};

void Count(benchmark::State& state, Size size, int bytes) {
    const int64_t pixels = static_cast<int64_t>(size.width) * size.height;
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * pixels * bytes);
}

// --- the routines --------------------------------------------------------------------------

// Every case of every built routine of the registry.
void RegisterRoutines() {
    bench::ForEachCase([](const gfx::RoutineInfo&) { return true; },
                       [](gfx::RoutineId id, bench::Mode mode, Size size, bench::BodyChoice body) {
                           const gfx::RoutineInfo& info = gfx::InfoOf(id);
                           const std::string name = bench::CaseName(info, mode, body.name, size);
                           benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
                               const bench::Scene scene(info, mode, size);
                               const gfx::BlitBody& fn = body.Body(id);
                               for (auto _ : state) {
                                   fn.Call(scene.call);
                                   benchmark::ClobberMemory();
                               }
                               Count(state, size, scene.bytes);
                           });
                       });
}

// --- the peers -----------------------------------------------------------------------------

// Registers one peer at a destination size; `run` makes its pictures and times the loop.
void RegisterPeer(const std::string& prefix, Size size,
                  std::function<void(benchmark::State&, Size)> run) {
    const std::string name = prefix + "/" + bench::SizeName(size);
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) { run(state, size); });
}

void RegisterMemcpy(int bytes) {
    for (Size size : kSizes) {
        RegisterPeer("memcpy." + std::to_string(bytes * 8), size,
                     [=](benchmark::State& state, Size size) {
                         Picture src = bench::Sprite(size, bytes);
                         Picture dst = bench::Backdrop(size, bytes);
                         const size_t rowBytes = static_cast<size_t>(size.width) * bytes;
                         for (auto _ : state) {
                             for (int32_t y = 0; y < size.height; ++y)
                                 std::memcpy(dst.Row(y), src.Row(y), rowBytes);
                             benchmark::ClobberMemory();
                         }
                         Count(state, size, bytes);
                     });
    }
}

// The SDL pixel format with our layout at each depth: 8-bit indexed, 5-6-5 or 5-5-5, bytes in
// the order blue, green, red, and 32-bit words with an unused top byte.
Uint32 SdlFormat(int bytes, bool is555 = false) {
    switch (bytes) {
        case 1:
            return SDL_PIXELFORMAT_INDEX8;
        case 2:
            return is555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
        case 3:
            return SDL_PIXELFORMAT_BGR24;
        default:
            return SDL_PIXELFORMAT_XRGB8888;
    }
}

// An SDL surface over a picture's rows; 8-bit surfaces share one palette, so SDL maps index to
// index.
class SdlSurface {
  public:
    SdlSurface(Picture& p, Uint32 format) {
        surface_ = SDL_CreateRGBSurfaceWithFormatFrom(p.rows.data(), p.width, p.height, p.bytes * 8,
                                                      p.pitch, format);
        if (surface_ != nullptr && p.bytes == 1) SDL_SetSurfacePalette(surface_, SharedPalette());
        if (surface_ != nullptr) SDL_SetSurfaceBlendMode(surface_, SDL_BLENDMODE_NONE);
    }
    ~SdlSurface() { SDL_FreeSurface(surface_); }
    SdlSurface(const SdlSurface&) = delete;
    SdlSurface& operator=(const SdlSurface&) = delete;
    SDL_Surface* get() const { return surface_; }

  private:
    static SDL_Palette* SharedPalette() {
        static SDL_Palette* palette = [] {
            SDL_Palette* p = SDL_AllocPalette(256);
            SDL_Color colors[256];
            for (int k = 0; k < 256; ++k) {
                colors[k] = {static_cast<Uint8>(k), static_cast<Uint8>(255 - k),
                             static_cast<Uint8>(k * 7), 255};
            }
            SDL_SetPaletteColors(p, colors, 0, 256);
            return p;
        }();
        return palette;
    }
    SDL_Surface* surface_ = nullptr;
};

// Times one SDL call that draws s onto d.
template <class Draw>
void TimeSdl(benchmark::State& state, Size size, const SdlSurface& s, const SdlSurface& d,
             int bytes, Draw draw) {
    if (s.get() == nullptr || d.get() == nullptr) return state.SkipWithError(SDL_GetError());
    for (auto _ : state) {
        if (draw(s.get(), d.get()) != 0) return state.SkipWithError(SDL_GetError());
        benchmark::ClobberMemory();
    }
    Count(state, size, bytes);
}

void RegisterSdl(int bytes, bool keyed) {
    for (Size size : kSizes) {
        const std::string prefix =
            "sdl." + std::to_string(bytes * 8) + (keyed ? ".srckey" : ".copy");
        RegisterPeer(prefix, size, [=](benchmark::State& state, Size size) {
            Picture src = bench::Sprite(size, bytes);
            Picture dst = bench::Backdrop(size, bytes);
            SdlSurface s(src, SdlFormat(bytes)), d(dst, SdlFormat(bytes));
            if (keyed && s.get() != nullptr)
                SDL_SetColorKey(s.get(), SDL_TRUE, bench::KeyOf(bytes));
            TimeSdl(state, size, s, d, bytes, [](SDL_Surface* a, SDL_Surface* b) {
                return SDL_BlitSurface(a, nullptr, b, nullptr);
            });
        });
    }
}

// The constant blend's peer: the blit with surface alpha modulation at 128.
void RegisterSdlAlphaMod(int bytes, bool is555) {
    const std::string depth = bytes == 2 ? (is555 ? "555" : "565") : std::to_string(bytes * 8);
    for (Size size : kBlendSizes) {
        RegisterPeer(
            "sdl." + depth + ".alphamod128", size, [=](benchmark::State& state, Size size) {
                Picture src = bench::Sprite(size, bytes);
                Picture dst = bench::Backdrop(size, bytes);
                SdlSurface s(src, SdlFormat(bytes, is555)), d(dst, SdlFormat(bytes, is555));
                if (s.get() != nullptr) {
                    SDL_SetSurfaceBlendMode(s.get(), SDL_BLENDMODE_BLEND);
                    SDL_SetSurfaceAlphaMod(s.get(), 128);
                }
                TimeSdl(state, size, s, d, bytes, [](SDL_Surface* a, SDL_Surface* b) {
                    return SDL_BlitSurface(a, nullptr, b, nullptr);
                });
            });
    }
}

// The nearest scaled routines' peer, plain and with the colour key, enlarging 2x and reducing to
// half; and at 32 bits SDL's linear stretch enlarging 2x.
void RegisterSdlScaled(int bytes) {
    const std::string depth = std::to_string(bytes * 8);
    struct Variant {
        const char* mode;
        bench::Scaling scaling;
        bool keyed;
        bool linear;
    };
    const Variant variants[] = {{"scaled_up2x", bench::Scaling::Enlarge2, false, false},
                                {"scaled_down2x", bench::Scaling::Reduce2, false, false},
                                {"scaledkey_up2x", bench::Scaling::Enlarge2, true, false},
                                {"scaledkey_down2x", bench::Scaling::Reduce2, true, false},
                                {"linear_up2x", bench::Scaling::Enlarge2, false, true}};
    for (const Variant& v : variants) {
        // SDL scales 8-bit surfaces by its plain stretch only, and stretches linearly at 32 bits.
        if ((v.linear && bytes != 4) || (v.keyed && bytes == 1)) continue;
        for (Size size : kBlendSizes) {
            RegisterPeer("sdl." + depth + "." + v.mode, size,
                         [=](benchmark::State& state, Size size) {
                             Picture src = bench::Sprite(bench::SourceSize(v.scaling, size), bytes);
                             Picture dst = bench::Backdrop(size, bytes);
                             SdlSurface s(src, SdlFormat(bytes)), d(dst, SdlFormat(bytes));
                             if (v.keyed && s.get() != nullptr)
                                 SDL_SetColorKey(s.get(), SDL_TRUE, bench::KeyOf(bytes));
                             TimeSdl(state, size, s, d, bytes, [&](SDL_Surface* a, SDL_Surface* b) {
                                 if (v.linear) return SDL_SoftStretchLinear(a, nullptr, b, nullptr);
                                 if (bytes == 1) return SDL_SoftStretch(a, nullptr, b, nullptr);
                                 return SDL_BlitScaled(a, nullptr, b, nullptr);
                             });
                         });
        }
    }
}

// A pixman image over a picture's rows (pixman takes rows of 32-bit words; ours are padded to 4
// bytes and allocated aligned).
pixman_image_t* PixmanImage(Picture& p, pixman_format_code_t format) {
    return pixman_image_create_bits(format, p.width, p.height,
                                    reinterpret_cast<uint32_t*>(p.rows.data()), p.pitch);
}

// Times one pixman_image_composite32 of src (with mask, if any) onto dst over the destination.
void TimePixman(benchmark::State& state, Size size, int bytes, pixman_op_t op, pixman_image_t* src,
                pixman_image_t* mask, pixman_image_t* dst) {
    if (src == nullptr || dst == nullptr) {
        state.SkipWithError("pixman_image_create_bits failed");
    } else {
        for (auto _ : state) {
            pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, size.width, size.height);
            benchmark::ClobberMemory();
        }
        Count(state, size, bytes);
    }
    for (pixman_image_t* image : {src, mask, dst}) {
        if (image != nullptr) pixman_image_unref(image);
    }
}

// The mask blends' peer: OVER of a source in the destination's format through the soft a8 mask.
void RegisterPixmanMaskOver(const char* depth, int bytes, pixman_format_code_t format) {
    for (Size size : kBlendSizes) {
        RegisterPeer(std::string("pixman.") + depth + ".over_a8", size,
                     [=](benchmark::State& state, Size size) {
                         Picture src = bench::Sprite(size, bytes);
                         Picture mask = bench::SoftMask(size);
                         Picture dst = bench::Backdrop(size, bytes);
                         TimePixman(state, size, bytes, PIXMAN_OP_OVER, PixmanImage(src, format),
                                    PixmanImage(mask, PIXMAN_a8), PixmanImage(dst, format));
                     });
    }
}

// The premultiplied mask blend's peer: OVER of the premultiplied sprite, whose alpha is what the
// mask leaves of the destination.
void RegisterPixmanPremulOver() {
    for (Size size : kBlendSizes) {
        RegisterPeer("pixman.32.over_premul", size, [](benchmark::State& state, Size size) {
            Picture src = bench::PremulSprite(size, bench::RemainingMask(size));
            Picture dst = bench::Backdrop(size, 4);
            TimePixman(state, size, 4, PIXMAN_OP_OVER, PixmanImage(src, PIXMAN_a8r8g8b8), nullptr,
                       PixmanImage(dst, PIXMAN_x8r8g8b8));
        });
    }
}

// pixman's scaling transforms at 32 bits, enlarging 2x: nearest and bilinear, edges padded.
void RegisterPixmanScaled(const char* mode, pixman_filter_t filter) {
    for (Size size : kBlendSizes) {
        RegisterPeer(
            std::string("pixman.32.") + mode, size, [=](benchmark::State& state, Size size) {
                Picture src = bench::Sprite(bench::SourceSize(bench::Scaling::Enlarge2, size), 4);
                Picture dst = bench::Backdrop(size, 4);
                pixman_image_t* s = PixmanImage(src, PIXMAN_x8r8g8b8);
                if (s != nullptr) {
                    pixman_transform_t half;
                    pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5),
                                                pixman_double_to_fixed(0.5));
                    pixman_image_set_transform(s, &half);
                    pixman_image_set_filter(s, filter, nullptr, 0);
                    pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
                }
                TimePixman(state, size, 4, PIXMAN_OP_SRC, s, nullptr,
                           PixmanImage(dst, PIXMAN_x8r8g8b8));
            });
    }
}

// stb's box filter reducing to a quarter of the width and height, every byte a channel.
void RegisterStbBox(int bytes) {
    for (Size size : kBlendSizes) {
        RegisterPeer(
            "stb." + std::to_string(bytes * 8) + ".box_down4x", size,
            [=](benchmark::State& state, Size size) {
                Picture src =
                    bench::Sprite(bench::SourceSize(bench::Scaling::Reduce4, size), bytes);
                Picture dst = bench::Backdrop(size, bytes);
                for (auto _ : state) {
                    if (!stbir_resize_uint8_generic(
                            src.rows.data(), src.width, src.height, src.pitch, dst.rows.data(),
                            dst.width, dst.height, dst.pitch, bytes, STBIR_ALPHA_CHANNEL_NONE, 0,
                            STBIR_EDGE_CLAMP, STBIR_FILTER_BOX, STBIR_COLORSPACE_LINEAR, nullptr)) {
                        return state.SkipWithError("stbir_resize_uint8_generic failed");
                    }
                    benchmark::ClobberMemory();
                }
                Count(state, size, bytes);
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
        RegisterSdlScaled(bytes);
    }
    RegisterSdlAlphaMod(2, true);
    RegisterSdlAlphaMod(2, false);
    RegisterSdlAlphaMod(3, false);
    RegisterSdlAlphaMod(4, false);
    RegisterPixmanMaskOver("555", 2, PIXMAN_x1r5g5b5);
    RegisterPixmanMaskOver("565", 2, PIXMAN_r5g6b5);
    RegisterPixmanMaskOver("24", 3, PIXMAN_r8g8b8);
    RegisterPixmanMaskOver("32", 4, PIXMAN_x8r8g8b8);
    RegisterPixmanPremulOver();
    RegisterPixmanScaled("nearest_up2x", PIXMAN_FILTER_NEAREST);
    RegisterPixmanScaled("bilinear_up2x", PIXMAN_FILTER_BILINEAR);
    RegisterStbBox(3);
    RegisterStbBox(4);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
