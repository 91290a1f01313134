#pragma once

#include <cstdint>

namespace gfx {

// The external JPEG decoder: a module loaded by this name at each call (the platform layer maps
// it to the native file name) and unloaded right after.
inline constexpr char JPEG_DECODER_MODULE[] = "zd_jpeg.dll";
inline constexpr char JPEG_DECODER_ENTRY[] = "ReadJPEG";

// The module's export: the path of a JPEG file and two arguments that are 0 for the plain
// full-size decode. Returns a packed DIB in fixed global memory that passes to the caller, or
// null. C linkage, the platform's default (cdecl) calling convention.
using ReadJpegFunction = void* (*)(const char* path, uint32_t second, uint32_t third);

// Loads the decoder module, calls its ReadJPEG and unloads it. Null when the module or its export
// is missing or the decoder fails.
void* CallJpegDecoder(const char* path, uint32_t second, uint32_t third);

// Tests only: the module name CallJpegDecoder loads instead of JPEG_DECODER_MODULE (null restores
// it), so that a test can make the decoder go missing.
void SetJpegDecoderModuleForTesting(const char* moduleName);

}  // namespace gfx
