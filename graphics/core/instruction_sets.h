#pragma once

#include <cstdint>

namespace gfx {

// The instruction sets a fast body (blit or raster) may need, narrowest first; scalar bodies need
// none. SSE2 is the x86 baseline (every x86-64 build, and 32-bit builds with -msse2); the wider
// sets are used only where the processor reports them at run time.
enum class BodyKind : uint8_t {
    Scalar,
    Sse2,
    Ssse3,
    Avx2,
};

inline constexpr int kBodyKindCount = 4;

// "scalar", "sse2", "ssse3" or "avx2": how tests and benchmarks name a body.
const char* BodyKindName(BodyKind kind);

// Whether this program on this processor can run bodies of the kind: scalar always, SSE2 where
// the build's baseline has it, the wider sets where the compiler can build them and the
// processor (with its operating system) supports them.
bool BodyKindRunsHere(BodyKind kind);

}  // namespace gfx

// Bodies for the sets wider than the baseline are compiled in files built for the baseline, each
// function marked with its set by a target attribute (GCC and compatible compilers on x86), and
// are only called once BodyKindRunsHere has said yes. They may hand cases they leave out to the
// baseline's SSE2 bodies.
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__)) && defined(__SSE2__)
#define GFX_HAVE_X86_TARGETS 1
#endif
