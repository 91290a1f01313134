#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/blit/blit_call_shapes.h"
#include "graphics/blit/instruction_sets.h"

namespace gfx {

// The blit routines, each listed once: X(name, bits per pixel, call shape, scalar body, fast
// bodies...). The scalar body is the reference and the fallback, the family template at the
// routine's pixel size; kNoBody marks a routine that is not built yet, whose selection rows draw
// nothing. Each fast body is written after the instruction set it needs, GFX_SSE2(body),
// GFX_SSSE3(body) or GFX_AVX2(body), and must give the scalar body's results bit for bit. A body
// here is only a name: blit_registry.cpp, which includes the family headers, is the one place
// the list is expanded into functions, and the one place that chooses among them.
//
// Adding a body to a routine is one entry on its line (and the body in its family's file);
// adding a routine is one line here and one row per selection table that names it.
#define GFX_BLIT_ROUTINES(X)                                                                   \
    /* Unscaled copy, colour-key and stipple routines. */                                      \
    X(Blt8Copy, 8, Copy, CopyRowsScalar<Pixel8>, GFX_SSE2(CopySse2<Pixel8>))                   \
    X(Blt8Keyed, 8, Keyed, KeyedScalar<Pixel8>, GFX_SSE2(KeyedSse2<Pixel8>),                   \
      GFX_AVX2(KeyedAvx2<Pixel8>))                                                             \
    X(Blt8Stipple, 8, Level, StippleScalar<Pixel8>, GFX_SSE2(StippleSse2<Pixel8>),             \
      GFX_AVX2(StippleAvx2<Pixel8>))                                                           \
    X(Blt8MaskStipple, 8, Mask, MaskStippleScalar<Pixel8>, GFX_SSE2(MaskStippleSse2<Pixel8>),  \
      GFX_AVX2(MaskStippleAvx2<Pixel8>))                                                       \
    X(Blt16Copy, 16, Copy, CopyRowsScalar<Pixel16>, GFX_SSE2(CopySse2<Pixel16>))               \
    X(Blt16Keyed, 16, Keyed, KeyedScalar<Pixel16>, GFX_SSE2(KeyedSse2<Pixel16>),               \
      GFX_AVX2(KeyedAvx2<Pixel16>))                                                            \
    X(Blt16Stipple, 16, Level, StippleScalar<Pixel16>, GFX_SSE2(StippleSse2<Pixel16>),         \
      GFX_AVX2(StippleAvx2<Pixel16>))                                                          \
    X(Blt16MaskStipple, 16, Mask, MaskStippleScalar<Pixel16>,                                  \
      GFX_SSE2(MaskStippleSse2<Pixel16>), GFX_AVX2(MaskStippleAvx2<Pixel16>))                  \
    X(Blt24Keyed, 24, Keyed, KeyedScalar<Pixel24>, GFX_SSE2(KeyedSse2<Pixel24>),               \
      GFX_SSSE3(Keyed24Ssse3), GFX_AVX2(Keyed24Avx2))                                          \
    X(Blt24Stipple, 24, Level, StippleScalar<Pixel24>, GFX_SSE2(StippleSse2<Pixel24>),         \
      GFX_SSSE3(Stipple24Ssse3), GFX_AVX2(Stipple24Avx2))                                      \
    X(Blt24MaskStipple, 24, Mask, MaskStippleScalar<Pixel24>, GFX_SSSE3(MaskStipple24Ssse3),   \
      GFX_AVX2(MaskStipple24Avx2))                                                             \
    X(Blt32Keyed, 32, Keyed, KeyedScalar<Pixel32>, GFX_SSE2(KeyedSse2<Pixel32>),               \
      GFX_AVX2(KeyedAvx2<Pixel32>))                                                            \
    X(Blt32Stipple, 32, Level, StippleScalar<Pixel32>, GFX_SSE2(StippleSse2<Pixel32>),         \
      GFX_AVX2(StippleAvx2<Pixel32>))                                                          \
    X(Blt32MaskStipple, 32, Mask, MaskStippleScalar<Pixel32>,                                  \
      GFX_SSE2(MaskStippleSse2<Pixel32>), GFX_AVX2(MaskStippleAvx2<Pixel32>))                  \
    /* Unscaled alpha blends. */                                                               \
    X(Blt16MaskAlpha555, 16, Mask, MaskAlphaScalar<Pixel16, MaskAlphaRule<Channels555, 0>>,    \
      GFX_SSE2((MaskAlphaSse2<Pixel16, MaskAlphaRule<Channels555, 0>>)),                       \
      GFX_AVX2((MaskAlphaAvx2<Pixel16, MaskAlphaRule<Channels555, 0>>)))                       \
    X(Blt16MaskAlpha565, 16, Mask, MaskAlphaScalar<Pixel16, MaskAlphaRule<Channels565, 0>>,    \
      GFX_SSE2((MaskAlphaSse2<Pixel16, MaskAlphaRule<Channels565, 0>>)),                       \
      GFX_AVX2((MaskAlphaAvx2<Pixel16, MaskAlphaRule<Channels565, 0>>)))                       \
    X(Blt16Alpha555, 16, Level, AlphaScalar<Pixel16, Channels555>,                             \
      GFX_SSE2((AlphaSse2<Pixel16, Channels555>)),                                             \
      GFX_AVX2((AlphaAvx2<Pixel16, Channels555>)))                                             \
    X(Blt16Alpha565, 16, Level, AlphaScalar<Pixel16, Channels565>,                             \
      GFX_SSE2((AlphaSse2<Pixel16, Channels565>)),                                             \
      GFX_AVX2((AlphaAvx2<Pixel16, Channels565>)))                                             \
    X(Blt24MaskAlpha, 24, Mask, MaskAlphaScalar<Pixel24, MaskAlphaRule<Channels888, 256>>,     \
      GFX_SSE2((MaskAlphaSse2<Pixel24, MaskAlphaRule<Channels888, 256>>)))                     \
    X(Blt24Alpha, 24, Level, AlphaScalar<Pixel24, Channels888>,                                \
      GFX_SSE2((AlphaSse2<Pixel24, Channels888>)), GFX_AVX2((AlphaAvx2<Pixel24, Channels888>))) \
    X(Blt32MaskAlpha, 32, Mask, MaskAlphaScalar<Pixel32, MaskAlphaRule<Channels888, 255>>,     \
      GFX_SSE2((MaskAlphaSse2<Pixel32, MaskAlphaRule<Channels888, 255>>)),                     \
      GFX_AVX2((MaskAlphaAvx2<Pixel32, MaskAlphaRule<Channels888, 255>>)))                     \
    X(Blt32MaskPremul, 32, Mask, PremulScalar, GFX_SSE2(PremulSse2), GFX_AVX2(PremulAvx2))     \
    X(Blt32Alpha, 32, Level, AlphaScalar<Pixel32, Channels888>,                                \
      GFX_SSE2((AlphaSse2<Pixel32, Channels888>)), GFX_SSSE3(Alpha32Ssse3),                  \
      GFX_AVX2((AlphaAvx2<Pixel32, Channels888>)))                                             \
    /* Scaled routines, nearest neighbour. */                                                  \
    X(Blt8ScaledKeyed, 8, ScaledKeyed, ScaledKeyedScalar<Pixel8>,                              \
      GFX_SSE2(ScaledKeyedSse2<Pixel8>), GFX_AVX2(ScaledKeyedAvx2<Pixel8>))                    \
    X(Blt8ScaledStipple, 8, ScaledLevel, ScaledStippleScalar<Pixel8>,                          \
      GFX_SSE2(ScaledStippleSse2<Pixel8>), GFX_AVX2(ScaledStippleAvx2<Pixel8>))                \
    X(Blt16ScaledKeyed, 16, ScaledKeyed, ScaledKeyedScalar<Pixel16>,                           \
      GFX_SSE2(ScaledKeyedSse2<Pixel16>), GFX_AVX2(ScaledKeyedAvx2<Pixel16>))                  \
    X(Blt16ScaledStipple, 16, ScaledLevel, ScaledStippleScalar<Pixel16>,                       \
      GFX_SSE2(ScaledStippleSse2<Pixel16>), GFX_AVX2(ScaledStippleAvx2<Pixel16>))              \
    X(Blt16ScaledMaskAlpha555, 16, ScaledMask, ScaledMaskAlpha16Scalar<Channels555>,           \
      GFX_SSE2(ScaledMaskAlpha16Sse2<Channels555>),                                            \
      GFX_AVX2(ScaledMaskAlpha16Avx2<Channels555>))                                            \
    X(Blt16ScaledMaskAlpha565, 16, ScaledMask, ScaledMaskAlpha16Scalar<Channels565>,           \
      GFX_SSE2(ScaledMaskAlpha16Sse2<Channels565>),                                            \
      GFX_AVX2(ScaledMaskAlpha16Avx2<Channels565>))                                            \
    X(Blt24ScaledKeyed, 24, ScaledKeyed, ScaledKeyedScalar<Pixel24>,                           \
      GFX_SSE2(ScaledKeyedSse2<Pixel24>), GFX_SSSE3(ScaledKeyed24Ssse3))                       \
    X(Blt24ScaledStipple, 24, ScaledLevel, ScaledStippleScalar<Pixel24>,                       \
      GFX_SSE2(ScaledStippleSse2<Pixel24>), GFX_SSSE3(ScaledStipple24Ssse3))                   \
    X(Blt24ScaledMaskAlpha, 24, ScaledMask, ScaledMaskAlpha24Scalar,                           \
      GFX_SSE2(ScaledMaskAlpha24Sse2<>), GFX_AVX2(ScaledMaskAlpha24Avx2))                      \
    X(Blt32ScaledKeyed, 32, ScaledKeyed, ScaledKeyedScalar<Pixel32>,                           \
      GFX_SSE2(ScaledKeyedSse2<Pixel32>), GFX_AVX2(ScaledKeyedAvx2<Pixel32>))                  \
    X(Blt32ScaledStipple, 32, ScaledLevel, ScaledStippleScalar<Pixel32>,                       \
      GFX_SSE2(ScaledStippleSse2<Pixel32>), GFX_AVX2(ScaledStippleAvx2<Pixel32>))              \
    /* Filtered scaling. */                                                                    \
    X(Blt8ScaledSmooth, 8, ScaledSmooth, ScaledSmoothScalar<1>)                                \
    X(Blt24ScaledSmooth, 24, ScaledSmooth, ScaledSmoothScalar<3>,                              \
      GFX_SSE2(ScaledSmoothSse2<3>))                                                           \
    X(Blt32ScaledSmooth, 32, ScaledSmooth, ScaledSmoothScalar<4>,                              \
      GFX_SSE2(ScaledSmoothSse2<4>), GFX_SSSE3(ScaledSmooth32Ssse3),                           \
      GFX_AVX2(ScaledSmooth32Avx2))

// The scalar body of a routine that is not built yet.
inline constexpr std::nullptr_t kNoBody = nullptr;

enum class RoutineId : uint8_t {
#define GFX_ROUTINE_ID(name, ...) name,
    GFX_BLIT_ROUTINES(GFX_ROUTINE_ID)
#undef GFX_ROUTINE_ID
};

#define GFX_ROUTINE_ONE(...) +1
inline constexpr size_t kRoutineCount = 0 GFX_BLIT_ROUTINES(GFX_ROUTINE_ONE);
#undef GFX_ROUTINE_ONE

// What the list says of a routine besides its bodies.
struct RoutineInfo {
    const char* name;
    uint32_t bitsPerPixel;
    CallShape shape;
};

inline constexpr RoutineInfo kRoutineInfo[kRoutineCount] = {
#define GFX_ROUTINE_INFO(name, bits, shape, ...) {#name, bits, CallShape::shape},
    GFX_BLIT_ROUTINES(GFX_ROUTINE_INFO)
#undef GFX_ROUTINE_INFO
};

constexpr const RoutineInfo& InfoOf(RoutineId id) {
    return kRoutineInfo[static_cast<size_t>(id)];
}
constexpr RoutineId RoutineAt(size_t index) { return static_cast<RoutineId>(index); }

// The body of `kind` of a routine; empty when the routine has none in this build.
const BlitBody& BodyOf(RoutineId id, BodyKind kind);
// Whether the routine has a body of `kind` that this processor runs.
bool HasRunnableBody(RoutineId id, BodyKind kind);

// The body that Blit runs for a routine, and its kind: at start-up each routine takes the widest
// of its bodies that this processor runs. Empty for a routine not built yet.
const BlitBody& ServedBody(RoutineId id);
BodyKind ServedKind(RoutineId id);

// Runs a routine as Blit does, with the arguments of its shape from `call`.
inline int32_t CallRoutine(RoutineId id, const BlitCall& call) {
    return ServedBody(id).Call(call);
}

// For tests and benchmarks only; shipped programs keep the start-up choice. ForceRoutineBody
// serves one routine by its body of `kind`, or returns false and changes nothing when it has no
// such body that runs here. ForceBlitBody serves every routine by its body of `kind` where it has
// one that runs here and by its scalar body elsewhere. RestoreBlitBodies goes back to the start-up
// choice.
bool ForceRoutineBody(RoutineId id, BodyKind kind);
void ForceBlitBody(BodyKind kind);
void RestoreBlitBodies();

}  // namespace gfx
