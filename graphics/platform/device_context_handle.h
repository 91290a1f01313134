#pragma once

namespace gfx {

// A platform drawing context: a memory device context that holds a surface's pixels, or the
// reference context a surface is made compatible with. Opaque above the platform layer.
struct DeviceContextObject;
using DeviceContextHandle = DeviceContextObject*;

}  // namespace gfx
