#pragma once

#include <cstddef>
#include <cstdint>

namespace zd_jpeg {

// The most memory one decode may take for its picture, and (where the decoder lets it be bounded)
// for the decoder's own buffers. ReadJPEG allows all that a packed DIB can describe.
inline constexpr size_t kNoMemoryLimit = UINT32_MAX;

// Decodes the JPEG file at `path` into a packed DIB in fixed global memory (see PackedDibBlock):
// 8-bit grey with a grey table for greyscale files, 24-bit for colour, CMYK and YCCK files.
// Returns null, having freed everything, for a file that cannot be read, is not a JPEG the
// decoder supports, ends before its end-of-image marker, or needs more than memoryLimit bytes.
void* DecodeJpegFile(const char* path, size_t memoryLimit);

}  // namespace zd_jpeg
