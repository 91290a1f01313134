// The gfx tool's PNG reader on arbitrary bytes: a picture it accepts must be a whole surface whose
// every row can be read, and writing it out again must give a PNG that reads back to a picture of
// the same size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/surface_input.h"
#include "graphics/image/memory_dib_surface.h"
#include "tools/gfx/png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gfx::MemoryDibSurface surface;
    std::string what;
    if (gfx_tool::ReadPng(data, size, &surface, &what) != gfx::ResultOk) return 0;
    ReadEveryRow(surface);
    std::vector<uint8_t> png;
    if (gfx_tool::EncodePng(surface, &png, &what) != gfx::ResultOk) std::abort();
    gfx::MemoryDibSurface again;
    if (gfx_tool::ReadPng(png.data(), png.size(), &again, &what) != gfx::ResultOk) std::abort();
    if (again.GetWidth() != surface.GetWidth() || again.GetHeight() != surface.GetHeight()) {
        std::abort();
    }
    return 0;
}
