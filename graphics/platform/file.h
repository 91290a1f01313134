#pragma once

#include <cstdint>

namespace gfx {

// An open file. Pointer-sized so that it fits the owner field of a stream.
using FileHandle = uintptr_t;
inline constexpr FileHandle kInvalidFile = ~FileHandle{0};

// Open and create options, combined with |.
enum FileFlags : uint32_t {
    FILEMODE_READ = 0x1,
    FILEMODE_WRITE = 0x2,
    FILEMODE_SHARE_READ = 0x4,
    FILEMODE_SHARE_WRITE = 0x8,
    FILEMODE_SEQUENTIAL = 0x10,  // access hint: front to back (otherwise random access)
    FILEMODE_TEMPORARY = 0x20,   // a short-lived file, deleted when its handle is closed
};

// Creates the file or truncates an existing one. kInvalidFile on failure.
FileHandle FileCreate(const char* path, uint32_t flags);

// Creates the file only when nothing of that name exists yet, so that two writers never share
// it. kInvalidFile on failure, also when the name is taken.
FileHandle FileCreateNew(const char* path, uint32_t flags);

// Opens an existing file. kInvalidFile on failure.
FileHandle FileOpenExisting(const char* path, uint32_t flags);

// Current length of the file; false when it cannot be found.
bool FileLength(FileHandle file, uint64_t* length);

// Makes the file exactly length bytes long.
bool FileSetLength(FileHandle file, uint64_t length);

// Writes size bytes at the current position; returns the count written.
uint32_t FileWrite(FileHandle file, const void* data, uint32_t size);

// Hands what was written to the storage device before returning; false when it reports a failure
// (a write that was held back and could not be completed).
bool FileFlush(FileHandle file);

// Closes the handle (a temporary file disappears). kInvalidFile is ignored.
void FileClose(FileHandle file);

// True when `path` names an existing file; a folder is not a file.
bool FileExists(const char* path);
bool FileDelete(const char* path);

// Renames the closed file `from` to `to` in one step, replacing a file already at `to`: a reader
// of `to` sees the old file or the new one, never a mixture. Both names should be in one folder.
// False, with both files as they were, when the rename is refused (`to` is a folder, say).
bool FileReplace(const char* from, const char* to);

// Creates or replaces the file (write access, no sharing) and writes the whole block to it.
// Returns the count written, 0 when the file cannot be created.
uint32_t WriteBlockToFile(const char* path, const void* data, uint32_t size);

}  // namespace gfx
