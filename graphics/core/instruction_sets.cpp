#include "graphics/core/instruction_sets.h"

namespace gfx {

const char* BodyKindName(BodyKind kind) {
    switch (kind) {
        case BodyKind::Scalar:
            return "scalar";
        case BodyKind::Sse2:
            return "sse2";
        case BodyKind::Ssse3:
            return "ssse3";
        case BodyKind::Avx2:
            return "avx2";
    }
    return "?";
}

bool BodyKindRunsHere(BodyKind kind) {
    switch (kind) {
        case BodyKind::Scalar:
            return true;
        case BodyKind::Sse2:
#if defined(__SSE2__)
            return true;
#else
            return false;
#endif
        case BodyKind::Ssse3:
        case BodyKind::Avx2:
#if defined(GFX_HAVE_X86_TARGETS)
            __builtin_cpu_init();
            return kind == BodyKind::Ssse3 ? __builtin_cpu_supports("ssse3") != 0
                                           : __builtin_cpu_supports("avx2") != 0;
#else
            return false;
#endif
    }
    return false;
}

}  // namespace gfx
