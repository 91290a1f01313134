#include "graphics/raster/raster_registry.h"

#include "graphics/raster/blend_fill_rows_avx2.h"
#include "graphics/raster/blend_fill_rows_sse2.h"
#include "graphics/raster/convert_pixels_avx2.h"
#include "graphics/raster/convert_pixels_sse2.h"
#include "graphics/raster/contrast_rows_avx2.h"
#include "graphics/raster/contrast_rows_sse2.h"
#include "graphics/raster/fill_rows_avx2.h"
#include "graphics/raster/fill_rows_sse2.h"
#include "graphics/raster/invert_rows_avx2.h"
#include "graphics/raster/invert_rows_sse2.h"

namespace gfx {

namespace {

// A fast body of the list with the instruction set it needs, or none where this build cannot
// have bodies of that set.
template <class Fn>
struct FastBody {
    BodyKind kind;
    Fn fn;
};
struct NoFastBody {};

template <class Fn>
constexpr FastBody<Fn> Fast(BodyKind kind, Fn fn) {
    return FastBody<Fn>{kind, fn};
}

#if defined(__SSE2__)
#define GFX_SSE2(body) Fast(BodyKind::Sse2, &body)
#else
#define GFX_SSE2(body) NoFastBody{}
#endif
#if defined(GFX_HAVE_X86_TARGETS)
#define GFX_SSSE3(body) Fast(BodyKind::Ssse3, &body)
#define GFX_AVX2(body) Fast(BodyKind::Avx2, &body)
#else
#define GFX_SSSE3(body) NoFastBody{}
#define GFX_AVX2(body) NoFastBody{}
#endif

// The bodies of one routine, by kind; null where it has none.
struct RoutineBodies {
    AnyRasterBody byKind[kBodyKindCount];
};

template <class Type>
void Add(RoutineBodies&, NoFastBody) {}

template <class Type, class Fn>
void Add(RoutineBodies& bodies, FastBody<Fn> fast) {
    // A body of another type than its routine's does not compile here.
    const Type fn = fast.fn;
    bodies.byKind[static_cast<int>(fast.kind)] = reinterpret_cast<AnyRasterBody>(fn);
}

template <class Type, class... Fast>
RoutineBodies Bodies(Type scalar, Fast... fast) {
    RoutineBodies bodies{};
    bodies.byKind[static_cast<int>(BodyKind::Scalar)] = reinterpret_cast<AnyRasterBody>(scalar);
    (Add<Type>(bodies, fast), ...);
    return bodies;
}

// Built on first use, so that a raster operation run by another file's start-up finds it.
const RoutineBodies& BodiesOf(RasterRoutine id) {
    static const RoutineBodies all[kRasterRoutineCount] = {
#define GFX_RASTER_BODIES(name, type, ...) Bodies<type>(__VA_ARGS__),
        GFX_RASTER_ROUTINES(GFX_RASTER_BODIES)
#undef GFX_RASTER_BODIES
    };
    return all[static_cast<size_t>(id)];
}

// Which body serves each routine.
struct Serving {
    BodyKind kind[kRasterRoutineCount];
    AnyRasterBody body[kRasterRoutineCount];
};

void Serve(Serving& serving, size_t i, BodyKind kind) {
    serving.kind[i] = kind;
    serving.body[i] = AnyRasterBodyOf(RasterRoutineAt(i), kind);
}

// The widest body of each routine that this processor runs.
Serving StartUpChoice() {
    Serving serving{};
    for (size_t i = 0; i < kRasterRoutineCount; ++i) {
        BodyKind widest = BodyKind::Scalar;
        for (int k = kBodyKindCount - 1; k > 0; --k) {
            if (HasRunnableRasterBody(RasterRoutineAt(i), static_cast<BodyKind>(k))) {
                widest = static_cast<BodyKind>(k);
                break;
            }
        }
        Serve(serving, i, widest);
    }
    return serving;
}

Serving& Served() {
    static Serving serving = StartUpChoice();
    return serving;
}

}  // namespace

AnyRasterBody AnyRasterBodyOf(RasterRoutine id, BodyKind kind) {
    return BodiesOf(id).byKind[static_cast<int>(kind)];
}

AnyRasterBody AnyServedRasterBody(RasterRoutine id) {
    return Served().body[static_cast<size_t>(id)];
}

BodyKind ServedRasterKind(RasterRoutine id) { return Served().kind[static_cast<size_t>(id)]; }

bool HasRunnableRasterBody(RasterRoutine id, BodyKind kind) {
    return AnyRasterBodyOf(id, kind) != nullptr && BodyKindRunsHere(kind);
}

bool ForceRasterRoutineBody(RasterRoutine id, BodyKind kind) {
    if (!HasRunnableRasterBody(id, kind)) return false;
    Serve(Served(), static_cast<size_t>(id), kind);
    return true;
}

void ForceRasterBody(BodyKind kind) {
    for (size_t i = 0; i < kRasterRoutineCount; ++i) {
        Serve(Served(), i, HasRunnableRasterBody(RasterRoutineAt(i), kind) ? kind : BodyKind::Scalar);
    }
}

void RestoreRasterBodies() { Served() = StartUpChoice(); }

}  // namespace gfx
