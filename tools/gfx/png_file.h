#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/core/result.h"
#include "graphics/image/surface.h"

namespace gfx_tool {

// PNG is not one of the library's formats: these turn PNG bytes into a surface and back.
//
// Reading: an indexed PNG becomes an 8-bit surface with its palette (each pixel takes the first
// palette entry of its colour, so indices survive wherever the palette's colours are distinct);
// grey and RGB become 24-bit; any PNG with alpha becomes 32-bit with the alpha in byte 3.
//
// Writing: indexed surfaces of 1 to 8 bits are written as 8-bit indexed PNG with their palette,
// 16 and 24-bit surfaces as RGB (5 and 6-bit channels widened by repeating their high bits),
// 32-bit surfaces as RGBA when any pixel's byte 3 is non-zero and as RGB otherwise.

// Re-creates `surface` from the PNG in `bytes`. ResultInvalid for bytes that are not a PNG the
// reader understands, or a damaged one; ResultUnsupported for a size no surface can hold. `what`
// says why in a few words.
gfx::Result ReadPng(const uint8_t* bytes, size_t size, gfx::Surface* surface, std::string* what);

// The PNG of `surface`. ResultNoImage for an empty surface, or the status of its Lock.
gfx::Result EncodePng(gfx::Surface& surface, std::vector<uint8_t>* png, std::string* what);

}  // namespace gfx_tool
