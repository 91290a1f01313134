#pragma once

#include <cstdint>

#include "graphics/platform/file.h"

namespace gfx {

// A file mapping object. Pointer-sized; 0 is "none".
using MappingHandle = uintptr_t;

// Maps the whole of an open file. A non-empty name makes the mapping findable by
// MappingOpenNamed while it exists. 0 on failure (an empty file cannot be mapped).
MappingHandle MappingCreateForFile(FileHandle file, bool readOnly, const char* name);

// Creates a named, writable mapping of size bytes not backed by any file of ours. It lives until
// its creator closes it.
MappingHandle MappingCreateNamed(const char* name, uint32_t size);

// Opens an existing named mapping. 0 when no mapping has that name.
MappingHandle MappingOpenNamed(const char* name, bool writable);

// Maps a view of the whole mapping; null on failure.
void* MappingMapView(MappingHandle mapping, bool readOnly);

// Bytes reachable through a view returned by MappingMapView for this mapping (at least the
// mapping's length; 0 when unknown).
uint64_t MappingViewLength(MappingHandle mapping, const void* view);

// Unmaps a view returned by MappingMapView for this mapping.
void MappingUnmapView(MappingHandle mapping, void* view);

// Closes the mapping object. 0 is ignored.
void MappingClose(MappingHandle mapping);

}  // namespace gfx
