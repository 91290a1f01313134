#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/core/instruction_sets.h"
#include "graphics/raster/blend_fill_rows.h"
#include "graphics/raster/contrast_rows.h"
#include "graphics/raster/convert_routines.h"
#include "graphics/raster/fill_rows.h"
#include "graphics/raster/invert_rows.h"

namespace gfx {

// The raster row routines, each listed once: X(name, body type, scalar body, fast bodies...).
// The scalar body is the reference and the fallback. Each fast body is written after the
// instruction set it needs, GFX_SSE2(body), GFX_SSSE3(body) or GFX_AVX2(body), and must give the
// scalar body's results bit for bit. A body here is only a name: raster_registry.cpp, which
// includes the bodies' headers, is the one place the list is expanded into functions and the
// one place that chooses among them. Adding a routine is one line here.
#define GFX_RASTER_ROUTINES(X)                                                                 \
    X(FillRows8, FillRowsBody, FillRows8, GFX_SSE2(FillRowsSse2<1>), GFX_AVX2(FillRowsAvx2<1>)) \
    X(FillRows16, FillRowsBody, FillRows16, GFX_SSE2(FillRowsSse2<2>), GFX_AVX2(FillRowsAvx2<2>)) \
    X(FillRows24, FillRowsBody, FillRows24, GFX_SSE2(FillRowsSse2<3>), GFX_AVX2(FillRowsAvx2<3>)) \
    X(FillRows32, FillRowsBody, FillRows32, GFX_SSE2(FillRowsSse2<4>), GFX_AVX2(FillRowsAvx2<4>)) \
    X(BlendFillRows555, BlendFillRowsBody, BlendFillRows555,                                     \
      GFX_SSE2((BlendFillRowsSse2<Channels555, BlendFillRows555>)),                              \
      GFX_AVX2((BlendFillRowsAvx2<Channels555, BlendFillRows555>)))                              \
    X(BlendFillRows565, BlendFillRowsBody, BlendFillRows565,                                     \
      GFX_SSE2((BlendFillRowsSse2<Channels565, BlendFillRows565>)),                              \
      GFX_AVX2((BlendFillRowsAvx2<Channels565, BlendFillRows565>)))                              \
    X(InvertRows, InvertRowsBody, InvertRows, GFX_SSE2(InvertRowsSse2), GFX_AVX2(InvertRowsAvx2)) \
    X(SumChannels, SumChannelsBody, SumChannels, GFX_SSE2(SumChannelsSse2),                    \
      GFX_AVX2(SumChannelsAvx2))                                                                 \
    X(SumMaskedChannels, MaskedSumsBody, SumMaskedChannels, GFX_AVX2(SumMaskedChannelsAvx2))     \
    X(ApplyContrastRows, ContrastRowsBody, ApplyContrastRows, GFX_SSE2(ApplyContrastRowsSse2),  \
      GFX_AVX2(ApplyContrastRowsAvx2))                                                           \
    X(ConvertRepack, ConvertRoutine, ConvertRepack, GFX_SSE2(ConvertRepackSse2),                 \
      GFX_AVX2(ConvertRepackAvx2))                                                               \
    X(ConvertLookupPack, ConvertRoutine, ConvertLookupPack, GFX_SSE2(ConvertLookupPackSse2),     \
      GFX_AVX2(ConvertLookupPackAvx2))

enum class RasterRoutine : uint8_t {
#define GFX_RASTER_ID(name, ...) name,
    GFX_RASTER_ROUTINES(GFX_RASTER_ID)
#undef GFX_RASTER_ID
};

#define GFX_RASTER_ONE(...) +1
inline constexpr size_t kRasterRoutineCount = 0 GFX_RASTER_ROUTINES(GFX_RASTER_ONE);
#undef GFX_RASTER_ONE

inline constexpr const char* kRasterRoutineNames[kRasterRoutineCount] = {
#define GFX_RASTER_NAME(name, ...) #name,
    GFX_RASTER_ROUTINES(GFX_RASTER_NAME)
#undef GFX_RASTER_NAME
};

constexpr const char* NameOf(RasterRoutine id) { return kRasterRoutineNames[size_t(id)]; }
constexpr RasterRoutine RasterRoutineAt(size_t index) { return static_cast<RasterRoutine>(index); }

// The function type of a routine's bodies: RasterBodyType<RasterRoutine::FillRows8>::Type.
template <RasterRoutine R>
struct RasterBodyType;
#define GFX_RASTER_TYPE(name, type, ...)           \
    template <>                                    \
    struct RasterBodyType<RasterRoutine::name> {   \
        using Type = type;                         \
    };
GFX_RASTER_ROUTINES(GFX_RASTER_TYPE)
#undef GFX_RASTER_TYPE

// A body with its type taken off; only the typed accessors below call one.
using AnyRasterBody = void (*)();

// The body of `kind` of a routine, null when it has none in this build; the served body.
AnyRasterBody AnyRasterBodyOf(RasterRoutine id, BodyKind kind);
AnyRasterBody AnyServedRasterBody(RasterRoutine id);

template <RasterRoutine R>
typename RasterBodyType<R>::Type RasterBodyOf(BodyKind kind) {
    return reinterpret_cast<typename RasterBodyType<R>::Type>(AnyRasterBodyOf(R, kind));
}

// The body the raster operations run: at start-up each routine takes the widest of its bodies
// that this processor runs.
template <RasterRoutine R>
typename RasterBodyType<R>::Type ServedRasterBody() {
    return reinterpret_cast<typename RasterBodyType<R>::Type>(AnyServedRasterBody(R));
}
BodyKind ServedRasterKind(RasterRoutine id);

// Whether the routine has a body of `kind` that this processor runs.
bool HasRunnableRasterBody(RasterRoutine id, BodyKind kind);

// For tests and benchmarks only; shipped programs keep the start-up choice.
// ForceRasterRoutineBody serves one routine by its body of `kind`, or returns false and changes
// nothing when it has no such body that runs here. ForceRasterBody serves every routine by its
// body of `kind` where it has one that runs here and by its scalar body elsewhere.
// RestoreRasterBodies goes back to the start-up choice.
bool ForceRasterRoutineBody(RasterRoutine id, BodyKind kind);
void ForceRasterBody(BodyKind kind);
void RestoreRasterBodies();

}  // namespace gfx
