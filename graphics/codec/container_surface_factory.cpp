#include <new>

#include "graphics/codec/container_surface.h"
#include "graphics/image/image_readers.h"

namespace gfx {

Surface* NewContainerSurface() { return new (std::nothrow) ContainerSurface; }

}  // namespace gfx
