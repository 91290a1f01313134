#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

// The body of Invert: the first `rowBytes` bytes of each of `height` rows at `base`, `pitch`
// bytes apart, are complemented.
void InvertRows(uint8_t* base, int32_t pitch, int32_t height, size_t rowBytes);

// The shape of that body and of its fast twins.
using InvertRowsBody = void (*)(uint8_t* base, int32_t pitch, int32_t height, size_t rowBytes);

}  // namespace gfx
