#pragma once

#include "graphics/image/surface.h"

namespace gfx {

// Copies the picture of `source` into `target`, which has the same size and format, locking both
// for the copy. Rows are turned over when exactly one of the two is bottom-up, so the picture
// stays upright. ResultInvalid when the sizes or formats differ or either side's rows are shorter
// than a row of the format; otherwise the status of a Lock that fails, or ResultOk.
Result CopySurfaceRows(Surface* source, Surface* target);

}  // namespace gfx
