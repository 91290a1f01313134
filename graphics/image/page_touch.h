#pragma once

#include <cstddef>

namespace gfx {

// Makes the whole pages of a block resident by reading one byte per page, with a lead of 16
// pages: for each page p from the 16th on, the bytes at the start of pages p - 16 and p are read.
// A block of fewer than 17 whole pages is not read at all. Nothing is written. Returns the number
// of bytes read.
size_t PageTouch(const void* address, size_t length);

}  // namespace gfx
