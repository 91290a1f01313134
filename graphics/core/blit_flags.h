#pragma once

#include <cstdint>

namespace gfx {

// Flags of Blit, DrawFrom and DrawFrame.
inline constexpr uint32_t BLIT_SRCKEY = 0x1;
inline constexpr uint32_t BLIT_DESTKEY = 0x2;
inline constexpr uint32_t BLIT_MIRROR_X = 0x4;
inline constexpr uint32_t BLIT_MIRROR_Y = 0x8;
inline constexpr uint32_t BLIT_STIPPLE = 0x10;
inline constexpr uint32_t BLIT_ALPHA = 0x20;
inline constexpr uint32_t BLIT_MASK_ALPHA = 0x80;
inline constexpr uint32_t BLIT_MASK_STIPPLE = 0x100;
inline constexpr uint32_t BLIT_SMOOTH = 0x400;
inline constexpr uint32_t BLIT_MASK_PREMUL = 0x800;
inline constexpr uint32_t BLIT_EXACT = 0x10000;
inline constexpr uint32_t BLIT_NOCLIP = 0x80000000;

// The mode argument of a blit: a level for the constant modes, or the address of the mask
// surface for the mask modes.
using BlitExtra = uintptr_t;

}  // namespace gfx
