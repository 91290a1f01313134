#pragma once

#include "graphics/core/result.h"
#include "graphics/image/surface.h"
#include "graphics/io/byte_writer.h"

namespace gfx {

// Writes the surface as a Windows bitmap file: a MemoryDibSurface's packed DIB as it holds it
// (plain or encoded, rows as stored); any other surface as a plain bottom-up DIB of its format
// and palette, rows read through Lock. ResultOk, or the status of what failed; on failure no
// file is left at `path` and an existing file there is unchanged.
//
// The colour table follows the surface's palette, also where the held table could not (a
// read-only block). A bitmap has no frame count: the image loads back as one frame. A BGR
// surface is written with its own masks and loads back with the same pixel bytes under the
// RGB code of its family, the only 16-bit codes a bitmap header is read as.
Result SaveBitmapFile(Surface& surface, const char* path);

// The bytes of that file, sent to `out`: ResultInvalid when `out` refuses them.
Result WriteBitmapFile(Surface& surface, ByteWriter& out);

}  // namespace gfx
