#pragma once

#include "graphics/core/result.h"
#include "graphics/image/surface.h"
#include "graphics/io/byte_writer.h"

namespace gfx {

// One of the file writers: the whole file of a surface, sent to `out`.
using SurfaceFileWriter = Result (*)(Surface& surface, ByteWriter& out);

// Saves the surface at `path` through `write` into a ReplacingFile, committed only when every
// byte went out: on failure no file is left at `path` and an older file there is unchanged.
// ResultInvalid for an empty path or a file that cannot be made or replaced, ResultNoImage for
// a surface without an image, else the writer's status.
Result SaveReplacing(Surface& surface, const char* path, SurfaceFileWriter write);

}  // namespace gfx
