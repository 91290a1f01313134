#pragma once

#include "graphics/core/result.h"
#include "graphics/image/surface.h"

namespace gfx_tool {

// The library's file writers, which the tool reaches only through here. Each writes atomically:
// on failure nothing is left at `path` and a file already there is unchanged.
gfx::Result SaveBitmap(gfx::Surface& surface, const char* path);
gfx::Result SaveContainer(gfx::Surface& surface, const char* path);

}  // namespace gfx_tool
