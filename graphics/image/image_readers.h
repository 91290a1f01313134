#pragma once

#include "graphics/image/surface.h"

namespace gfx {

// The readers of image kinds that live above the image layer, which Load reaches without
// including them: the codec layer (graphics/codec/) defines these functions.

// Decodes the JPEG file at `path` through the external decoder. Returns its packed DIB in a fixed
// global-memory block that passes to the caller, or null when there is no decoder or it fails.
void* ReadJpegFile(const char* path);

// A new empty container surface, or null when memory is short or the kind is not built in.
Surface* NewContainerSurface();

}  // namespace gfx
