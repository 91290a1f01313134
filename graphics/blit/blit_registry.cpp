#include "graphics/blit/blit_registry.h"

#include "graphics/blit/blit_alpha.h"
#include "graphics/blit/blit_alpha_avx2.h"
#include "graphics/blit/blit_alpha_sse2.h"
#include "graphics/blit/blit_alpha_ssse3.h"
#include "graphics/blit/blit_copy.h"
#include "graphics/blit/blit_copy_sse2.h"
#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_keyed_avx2.h"
#include "graphics/blit/blit_keyed_ssse3.h"
#include "graphics/blit/blit_keyed_sse2.h"
#include "graphics/blit/blit_mask_alpha.h"
#include "graphics/blit/blit_mask_alpha_avx2.h"
#include "graphics/blit/blit_mask_alpha_sse2.h"
#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/blit_mask_stipple_avx2.h"
#include "graphics/blit/blit_mask_stipple_sse2.h"
#include "graphics/blit/blit_mask_stipple_ssse3.h"
#include "graphics/blit/blit_scaled.h"
#include "graphics/blit/blit_scaled_avx2.h"
#include "graphics/blit/blit_scaled_keyed_avx2.h"
#include "graphics/blit/blit_scaled_sse2.h"
#include "graphics/blit/blit_scaled_ssse3.h"
#include "graphics/blit/blit_smooth.h"
#include "graphics/blit/blit_smooth_avx2.h"
#include "graphics/blit/blit_smooth_sse2.h"
#include "graphics/blit/blit_smooth_ssse3.h"
#include "graphics/blit/blit_stipple.h"
#include "graphics/blit/blit_stipple_avx2.h"
#include "graphics/blit/blit_stipple_sse2.h"
#include "graphics/blit/blit_stipple_ssse3.h"

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

// The bodies of one routine, by kind; empty where it has none.
struct RoutineBodies {
    BlitBody byKind[kBodyKindCount];
};

template <CallShape S>
constexpr void Add(RoutineBodies&, NoFastBody) {}

template <CallShape S, class Fn>
constexpr void Add(RoutineBodies& bodies, FastBody<Fn> fast) {
    // A body of another call shape than its routine's does not compile here.
    const CallShapeFn<S> fn = fast.fn;
    bodies.byKind[static_cast<int>(fast.kind)] = BlitBody(fn);
}

template <CallShape S, class... Fast>
constexpr RoutineBodies Bodies(CallShapeFn<S> scalar, Fast... fast) {
    RoutineBodies bodies{};
    for (BlitBody& body : bodies.byKind) body = BlitBody(CallShapeFn<S>{});
    bodies.byKind[static_cast<int>(BodyKind::Scalar)] = BlitBody(scalar);
    (Add<S>(bodies, fast), ...);
    return bodies;
}

constexpr RoutineBodies kBodies[kRoutineCount] = {
#define GFX_ROUTINE_BODIES(name, bits, shape, ...) Bodies<CallShape::shape>(__VA_ARGS__),
    GFX_BLIT_ROUTINES(GFX_ROUTINE_BODIES)
#undef GFX_ROUTINE_BODIES
};

constexpr size_t Index(RoutineId id) { return static_cast<size_t>(id); }

// Which body serves each routine.
struct Serving {
    BodyKind kind[kRoutineCount];
};

// The widest body of each routine that this processor runs.
Serving StartUpChoice() {
    bool runs[kBodyKindCount];
    for (int k = 0; k < kBodyKindCount; ++k) runs[k] = BodyKindRunsHere(static_cast<BodyKind>(k));
    Serving serving{};
    for (size_t i = 0; i < kRoutineCount; ++i) {
        serving.kind[i] = BodyKind::Scalar;
        for (int k = kBodyKindCount - 1; k > 0; --k) {
            if (runs[k] && kBodies[i].byKind[k].IsAvailable()) {
                serving.kind[i] = static_cast<BodyKind>(k);
                break;
            }
        }
    }
    return serving;
}

Serving& Served() {
    static Serving serving = StartUpChoice();
    return serving;
}

}  // namespace

const BlitBody& BodyOf(RoutineId id, BodyKind kind) {
    return kBodies[Index(id)].byKind[static_cast<int>(kind)];
}

bool HasRunnableBody(RoutineId id, BodyKind kind) {
    return BodyOf(id, kind).IsAvailable() && BodyKindRunsHere(kind);
}

const BlitBody& ServedBody(RoutineId id) { return BodyOf(id, ServedKind(id)); }

BodyKind ServedKind(RoutineId id) { return Served().kind[Index(id)]; }

bool ForceRoutineBody(RoutineId id, BodyKind kind) {
    if (!HasRunnableBody(id, kind)) return false;
    Served().kind[Index(id)] = kind;
    return true;
}

void ForceBlitBody(BodyKind kind) {
    for (size_t i = 0; i < kRoutineCount; ++i) {
        Served().kind[i] = HasRunnableBody(RoutineAt(i), kind) ? kind : BodyKind::Scalar;
    }
}

void RestoreBlitBodies() { Served() = StartUpChoice(); }

}  // namespace gfx
