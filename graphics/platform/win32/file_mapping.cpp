#include "graphics/platform/file_mapping.h"

#include <windows.h>

namespace gfx {
namespace {

MappingHandle Wrap(HANDLE mapping) { return reinterpret_cast<MappingHandle>(mapping); }

const char* NameOrNull(const char* name) {
    return name != nullptr && name[0] != '\0' ? name : nullptr;
}

}  // namespace

MappingHandle MappingCreateForFile(FileHandle file, bool readOnly, const char* name) {
    if (file == kInvalidFile) return 0;
    return Wrap(CreateFileMappingA(reinterpret_cast<HANDLE>(file), nullptr,
                                   readOnly ? PAGE_READONLY : PAGE_READWRITE, 0, 0,
                                   NameOrNull(name)));
}

MappingHandle MappingCreateNamed(const char* name, uint32_t size) {
    if (NameOrNull(name) == nullptr || size == 0) return 0;
    // Backed by the paging file.
    return Wrap(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name));
}

MappingHandle MappingOpenNamed(const char* name, bool writable) {
    if (NameOrNull(name) == nullptr) return 0;
    // Write access alone does not allow read-only views of the mapping.
    return Wrap(
        OpenFileMappingA(writable ? FILE_MAP_READ | FILE_MAP_WRITE : FILE_MAP_READ, TRUE, name));
}

void* MappingMapView(MappingHandle mapping, bool readOnly) {
    if (mapping == 0) return nullptr;
    return MapViewOfFile(reinterpret_cast<HANDLE>(mapping),
                         readOnly ? FILE_MAP_READ : FILE_MAP_WRITE, 0, 0, 0);
}

uint64_t MappingViewLength(MappingHandle, const void* view) {
    MEMORY_BASIC_INFORMATION region;
    if (view == nullptr || VirtualQuery(view, &region, sizeof region) == 0) return 0;
    return region.RegionSize;
}

void MappingUnmapView(MappingHandle, void* view) {
    if (view != nullptr) UnmapViewOfFile(view);
}

void MappingClose(MappingHandle mapping) {
    if (mapping != 0) CloseHandle(reinterpret_cast<HANDLE>(mapping));
}

}  // namespace gfx
