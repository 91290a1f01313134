#pragma once

#include <cstddef>
#include <cstdint>

namespace zd_jpeg {

// As DecodeJpegFile, for a JPEG file's bytes already in memory (the fuzz target's entry).
void* DecodeJpegBytes(const uint8_t* data, size_t size, size_t memoryLimit);

}  // namespace zd_jpeg
