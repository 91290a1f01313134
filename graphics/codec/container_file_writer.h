#pragma once

#include "graphics/core/result.h"
#include "graphics/image/surface.h"
#include "graphics/io/byte_writer.h"

namespace gfx {

// Writes the surface as a zbm container that ContainerSurface reads back bit for bit (format,
// palette, rows, frame count). Encoded surfaces are refused (ResultEncoded) — the caller decodes
// first. Same failure rule as SaveBitmapFile: on failure no file is left at `path` and an
// existing file there is unchanged.
Result SaveContainerFile(Surface& surface, const char* path);

// The bytes of that file, sent to `out`: ResultInvalid when `out` refuses them.
Result WriteContainerFile(Surface& surface, ByteWriter& out);

}  // namespace gfx
