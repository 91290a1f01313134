#pragma once

#include "graphics/core/result.h"
#include "graphics/image/surface.h"
#include "graphics/io/byte_writer.h"

namespace gfx {

// The order in which a file keeps the lines of an image.
enum class RowOrder { TopLineFirst, BottomLineFirst };

// Writes every row of the surface, RowBytes of its format and width each (padding included), in
// `order`, whichever order the surface keeps them in memory. The rows are read through Lock:
// its status when it refuses (an encoded image, a device context handed out), ResultInvalid when
// `out` does not take the bytes.
Result WriteSurfaceRows(Surface& surface, ByteWriter& out, RowOrder order);

// What WriteSurfaceRows would refuse, found before a writer puts out anything: no image
// (ResultNoImage), a size or format it cannot hold (ResultInvalid), or pixels that do not lock
// (Lock's status: encoded pixels have no rows).
Result CheckSurfaceRows(Surface& surface);

}  // namespace gfx
