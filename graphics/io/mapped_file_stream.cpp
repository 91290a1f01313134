#include "graphics/io/mapped_file_stream.h"

#include "graphics/platform/file.h"
#include "graphics/platform/file_mapping.h"

namespace gfx {

MappedFileStream::MappedFileStream(uint32_t createSize, const char* path, bool temporary,
                                   const char* name, bool isReadOnly, bool sequential) {
    owner = kInvalidFile;
    extra = 0;
    uint32_t hints = (sequential ? uint32_t{FILEMODE_SEQUENTIAL} : 0u) |
                     (temporary ? uint32_t{FILEMODE_TEMPORARY} : 0u);
    bool hasPath = path != nullptr && path[0] != '\0';
    if (hasPath && createSize != 0) {
        FileHandle file = FileCreate(path, FILEMODE_READ | FILEMODE_WRITE | FILEMODE_SHARE_READ |
                                               FILEMODE_SHARE_WRITE | hints);
        if (file == kInvalidFile) return;
        if (!FileSetLength(file, createSize)) {
            FileClose(file);
            return;
        }
        owner = file;
        size = createSize;
        readOnly = 0;
    } else if (hasPath) {
        uint32_t access = isReadOnly ? FILEMODE_READ | FILEMODE_SHARE_READ
                                     : FILEMODE_READ | FILEMODE_WRITE | FILEMODE_SHARE_READ |
                                           FILEMODE_SHARE_WRITE;
        FileHandle file = FileOpenExisting(path, access | hints);
        if (file == kInvalidFile) return;
        uint64_t length = 0;
        // size is 32 bits: a longer file is refused rather than seen truncated.
        if (!FileLength(file, &length) || length > UINT32_MAX) {
            FileClose(file);
            return;
        }
        owner = file;
        size = static_cast<uint32_t>(length);
        readOnly = isReadOnly ? 1 : 0;
    } else {
        readOnly = isReadOnly ? 1 : 0;
    }
    if (name != nullptr) mappingName = name;
    kind = STREAM_MAPPED_FILE;
    lockCount = 0;
    Lock();
}

MappedFileStream::~MappedFileStream() {
    if (lockCount > 1) lockCount = 1;
    Unlock();
    FileClose(owner);
}

void MappedFileStream::Lock() {
    if (kind == STREAM_NONE) return;
    if (lockCount == 0) {
        MappingHandle mapping = 0;
        if (owner != kInvalidFile) {
            mapping = MappingCreateForFile(owner, readOnly != 0, mappingName.c_str());
        } else if (!mappingName.empty()) {
            mapping = MappingOpenNamed(mappingName.c_str(), true);
        }
        if (mapping != 0) {
            extra = mapping;
            data = static_cast<uint8_t*>(MappingMapView(mapping, readOnly != 0));
            // A file cut short since it was opened would leave size bytes past the view.
            if (data != nullptr && MappingViewLength(mapping, data) < size) {
                MappingUnmapView(mapping, data);
                data = nullptr;
            }
        }
    }
    ++lockCount;
}

void MappedFileStream::Unlock() {
    // Unpaired calls are ignored, as for every counted stream.
    if (kind == STREAM_NONE || lockCount <= 0) return;
    if (lockCount == 1) {
        MappingUnmapView(extra, data);
        MappingClose(extra);
        data = nullptr;
        extra = 0;
    }
    --lockCount;
}

}  // namespace gfx
