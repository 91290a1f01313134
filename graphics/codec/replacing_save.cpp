#include "graphics/codec/replacing_save.h"

#include "graphics/io/replacing_file.h"

namespace gfx {

Result SaveReplacing(Surface& surface, const char* path, SurfaceFileWriter write) {
    if (!path || !path[0]) return ResultInvalid;
    if (surface.GetFormat() == 0) return ResultNoImage;
    ReplacingFile file(path);
    if (!file.IsOpen()) return ResultInvalid;
    const Result status = write(surface, file);
    if (status != ResultOk) return status;
    return file.Commit() ? ResultOk : ResultInvalid;
}

}  // namespace gfx
