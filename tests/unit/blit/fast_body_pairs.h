#pragma once

// The fast bodies of the registry that run on this machine, each with the scalar body it must
// match, for the randomized differential tests. Whichever body Blit runs under a routine's name is
// one of these or the scalar body itself.
#include <vector>

#include "graphics/blit/blit_registry.h"

namespace gfx {

struct FastBodyPair {
    RoutineId routine;
    BodyKind kind;
    int bytes;
    const BlitBody* scalar;
    const BlitBody* fast;
};

// The pairs of the scaled routines, or of the unscaled ones.
inline std::vector<FastBodyPair> FastBodyPairs(bool scaled) {
    std::vector<FastBodyPair> pairs;
    for (size_t i = 0; i < kRoutineCount; ++i) {
        const RoutineId id = RoutineAt(i);
        const RoutineInfo& info = InfoOf(id);
        const BlitBody& scalar = BodyOf(id, BodyKind::Scalar);
        if (IsScaledShape(info.shape) != scaled || !scalar.IsAvailable()) continue;
        const int bytes = static_cast<int>(info.bitsPerPixel / 8);
        for (int k = 1; k < kBodyKindCount; ++k) {
            const BodyKind kind = static_cast<BodyKind>(k);
            if (!HasRunnableBody(id, kind)) continue;
            pairs.push_back({id, kind, bytes, &scalar, &BodyOf(id, kind)});
        }
    }
    return pairs;
}

}  // namespace gfx
