#pragma once

#include <cstdint>
#include <string>

#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"

namespace gfx_tool {

// A new 256-entry palette (owned by the caller) holding the colours of `source`'s palette; the
// entries past them are marked reserved, so that the converter never picks them. Null when
// `source` has no palette.
gfx::Palette* WidenedPaletteOf(gfx::Surface& source, gfx::Surface& maker);

// A new 256-entry palette (owned by the caller): a 6 x 6 x 6 colour cube and a 40-step grey
// ramp, for direct pictures turned into 8-bit ones without a palette of their own.
gfx::Palette* ColourCubePalette(gfx::Surface& maker);

// ConvertFormat with a progress bar. `path` names the picture in the failure message; prints it
// and returns EXIT_FAILED on failure.
int ConvertPicture(gfx::Surface& surface, gfx::PixelFormat format, gfx::Palette* palette,
                   uint32_t flags, const std::string& path);

}  // namespace gfx_tool
