#pragma once

// The fast bodies of a conversion routine of the raster registry that run here, named by their
// instruction set: so also whichever body ConvertFormat runs for the routine.
#include <vector>

#include "graphics/raster/raster_registry.h"

struct FastConvertBody {
    const char* name;
    gfx::ConvertRoutine fn;
};

template <gfx::RasterRoutine R>
std::vector<FastConvertBody> FastConvertBodies() {
    std::vector<FastConvertBody> bodies;
    for (int k = 1; k < gfx::kBodyKindCount; ++k) {
        const auto kind = static_cast<gfx::BodyKind>(k);
        if (gfx::HasRunnableRasterBody(R, kind)) {
            bodies.push_back({gfx::BodyKindName(kind), gfx::RasterBodyOf<R>(kind)});
        }
    }
    return bodies;
}
