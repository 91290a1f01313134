// The module's one export. Its name is kept undecorated by the export list beside this file
// (read_jpeg.def on Windows, read_jpeg.map elsewhere), which also hides everything else.
#include <type_traits>

#include "graphics/codec/jpeg_decoder.h"
#include "zd_jpeg/decode_jpeg_file.h"

// `second` and `third` select nothing yet: every caller passes 0 for the full-size decode.
extern "C" void* ReadJPEG(const char* path, uint32_t /*second*/, uint32_t /*third*/) {
    return zd_jpeg::DecodeJpegFile(path, zd_jpeg::kNoMemoryLimit);
}

static_assert(std::is_same_v<decltype(&ReadJPEG), gfx::ReadJpegFunction>,
              "the export must match what the library calls");
