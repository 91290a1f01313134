#pragma once
// The cases the blit benchmarks time, shared by the Google Benchmark program and the plain timing
// program: for each routine of the registry the modes it is timed in and at which sizes, and the
// scene of one case (its pictures and the call). Routines and bodies are read from the registry
// at run time, so a body that lands is timed without a change here.
//
// Case names: "<routine>.<mode>.<body>/<width>x<height>", the size being the destination's; body
// is "named" (the body Blit serves) or the instruction set of a body ("scalar", "sse2", ...).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/blit_pictures.h"
#include "graphics/blit/blit_registry.h"
#include "graphics/core/blit_flags.h"

namespace bench {

// How a case's source rectangle relates to its destination rectangle.
enum class Scaling {
    None,
    Enlarge2,  // the source is half the destination's width and height
    Reduce2,   // twice
    Reduce4,   // four times
};

struct Mode {
    const char* name;
    uint32_t flags;
    Scaling scaling = Scaling::None;
};

inline bool IsBlend(const gfx::RoutineInfo& info) {
    const std::string_view name = info.name;
    return name.find("Alpha") != name.npos || name.find("Premul") != name.npos;
}
inline bool IsPremul(const gfx::RoutineInfo& info) {
    return std::string_view(info.name).find("Premul") != std::string_view::npos;
}

// The modes each routine is timed in. Stipple routines draw half the pixels with the source key
// on; constant blends mix at level 128 without keys; mask blends take the soft-edged mask, and
// at 24 and 32 bits also its exact form.
inline std::vector<Mode> ModesOf(const gfx::RoutineInfo& info) {
    using gfx::CallShape;
    const bool blend = IsBlend(info), exact = blend && info.bitsPerPixel >= 24;
    constexpr uint32_t kMirror = gfx::BLIT_MIRROR_X | gfx::BLIT_MIRROR_Y;
    constexpr Scaling kUp = Scaling::Enlarge2, kDown = Scaling::Reduce2;
    switch (info.shape) {
        case CallShape::Copy:
            return {{"copy", 0}};
        case CallShape::Keyed:
            return {{"copy", 0},
                    {"srckey", gfx::BLIT_SRCKEY},
                    {"destkey", gfx::BLIT_DESTKEY},
                    {"mirror", kMirror}};
        case CallShape::Level:
            if (blend) return {{"alpha128", 0}};
            return {{"level128", gfx::BLIT_SRCKEY}};
        case CallShape::Mask:
            if (!blend) return {{"mask", 0}};
            if (exact) return {{"softmask", 0}, {"softmask_exact", gfx::BLIT_EXACT}};
            return {{"softmask", 0}};
        case CallShape::ScaledKeyed:
            return {{"copy_up2x", 0, kUp},
                    {"srckey_up2x", gfx::BLIT_SRCKEY, kUp},
                    {"copy_down2x", 0, kDown},
                    {"srckey_down2x", gfx::BLIT_SRCKEY, kDown}};
        case CallShape::ScaledLevel:
            return {{"level128_up2x", gfx::BLIT_SRCKEY, kUp},
                    {"level128_down2x", gfx::BLIT_SRCKEY, kDown}};
        case CallShape::ScaledMask:
            if (exact) {
                return {{"softmask_up2x", 0, kUp},
                        {"softmask_down2x", 0, kDown},
                        {"softmask_exact_up2x", gfx::BLIT_EXACT, kUp},
                        {"softmask_exact_down2x", gfx::BLIT_EXACT, kDown}};
            }
            return {{"softmask_up2x", 0, kUp}, {"softmask_down2x", 0, kDown}};
        case CallShape::ScaledSmooth:
            return {{"bilinear_up2x", 0, kUp}, {"box_down4x", 0, Scaling::Reduce4}};
    }
    return {};
}

// Destination sizes: sprites and a 640x480 screen; the older unscaled modes also full HD.
inline std::vector<Size> SizesOf(const gfx::RoutineInfo& info) {
    if (IsBlend(info) || gfx::IsScaledShape(info.shape)) return {{64, 64}, {640, 480}};
    return {{64, 64}, {640, 480}, {1920, 1080}};
}

inline Size SourceSize(Scaling scaling, Size dst) {
    switch (scaling) {
        case Scaling::Enlarge2:
            return {dst.width / 2, dst.height / 2};
        case Scaling::Reduce2:
            return {dst.width * 2, dst.height * 2};
        case Scaling::Reduce4:
            return {dst.width * 4, dst.height * 4};
        case Scaling::None:
            break;
    }
    return dst;
}

inline std::string SizeName(Size size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

inline std::string CaseName(const gfx::RoutineInfo& info, const Mode& mode, const char* body,
                            Size size) {
    return std::string(info.name) + "." + mode.name + "." + body + "/" + SizeName(size);
}

// The pictures of one case and the call that draws them; the call points into the pictures, so
// a scene stays where it is made.
struct Scene {
    Picture src;
    Picture dst;
    Picture mask;
    gfx::BlitCall call;
    int bytes;
    int64_t pixels;  // destination pixels drawn per call

    Scene(const gfx::RoutineInfo& info, const Mode& mode, Size dstSize)
        : bytes(static_cast<int>(info.bitsPerPixel / 8)),
          pixels(static_cast<int64_t>(dstSize.width) * dstSize.height) {
        const Size srcSize = SourceSize(mode.scaling, dstSize);
        if (IsPremul(info)) {
            mask = RemainingMask(srcSize);
            src = PremulSprite(srcSize, mask);
        } else {
            mask = IsBlend(info) ? SoftMask(srcSize) : MaskRamp(srcSize);
            src = Sprite(srcSize, bytes);
        }
        dst = Backdrop(dstSize, bytes);
        call.dst = dst.rows.data();
        call.dstPitch = dst.pitch;
        call.width = dstSize.width;
        call.height = dstSize.height;
        call.src = src.rows.data();
        call.srcPitch = src.pitch;
        call.sw = srcSize.width;
        call.sh = srcSize.height;
        call.flags = mode.flags;
        call.srcKey = call.dstKey = KeyOf(bytes);
        call.level = 128;
        call.mask = mask.rows.data();
        call.maskPitch = mask.pitch;
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

// One timed body of a routine: "named" for the body Blit serves (chosen when the case runs),
// otherwise the body of `kind`.
struct BodyChoice {
    const char* name;
    bool named;
    gfx::BodyKind kind;

    const gfx::BlitBody& Body(gfx::RoutineId id) const {
        return named ? gfx::ServedBody(id) : gfx::BodyOf(id, kind);
    }
};

// Calls fn(id, mode, size, body) for every case of every built routine that `want` accepts: the
// named body and each body that runs on this processor.
template <class Want, class Fn>
void ForEachCase(Want want, Fn fn) {
    for (size_t i = 0; i < gfx::kRoutineCount; ++i) {
        const gfx::RoutineId id = gfx::RoutineAt(i);
        const gfx::RoutineInfo& info = gfx::InfoOf(id);
        if (!gfx::BodyOf(id, gfx::BodyKind::Scalar).IsAvailable() || !want(info)) continue;
        std::vector<BodyChoice> bodies{{"named", true, gfx::BodyKind::Scalar}};
        for (int k = 0; k < gfx::kBodyKindCount; ++k) {
            const gfx::BodyKind kind = static_cast<gfx::BodyKind>(k);
            if (gfx::HasRunnableBody(id, kind))
                bodies.push_back({gfx::BodyKindName(kind), false, kind});
        }
        for (const Mode& mode : ModesOf(info)) {
            for (Size size : SizesOf(info)) {
                for (const BodyChoice& body : bodies) fn(id, mode, size, body);
            }
        }
    }
}

}  // namespace bench
