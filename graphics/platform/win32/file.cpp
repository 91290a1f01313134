#include "graphics/platform/file.h"

#include <windows.h>

namespace gfx {
namespace {

HANDLE Open(const char* path, uint32_t flags, DWORD disposition) {
    if (path == nullptr || path[0] == '\0') return INVALID_HANDLE_VALUE;
    DWORD access = ((flags & FILEMODE_READ) ? GENERIC_READ : 0) |
                   ((flags & FILEMODE_WRITE) ? GENERIC_WRITE : 0);
    DWORD share = ((flags & FILEMODE_SHARE_READ) ? FILE_SHARE_READ : 0) |
                  ((flags & FILEMODE_SHARE_WRITE) ? FILE_SHARE_WRITE : 0);
    DWORD attributes =
        FILE_ATTRIBUTE_NORMAL |
        ((flags & FILEMODE_SEQUENTIAL) ? FILE_FLAG_SEQUENTIAL_SCAN : FILE_FLAG_RANDOM_ACCESS);
    if (flags & FILEMODE_TEMPORARY) {
        attributes |= FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE;
    }
    return CreateFileA(path, access, share, nullptr, disposition, attributes, nullptr);
}

HANDLE HandleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

FileHandle FileCreate(const char* path, uint32_t flags) {
    return reinterpret_cast<FileHandle>(Open(path, flags, CREATE_ALWAYS));
}

FileHandle FileCreateNew(const char* path, uint32_t flags) {
    return reinterpret_cast<FileHandle>(Open(path, flags, CREATE_NEW));
}

FileHandle FileOpenExisting(const char* path, uint32_t flags) {
    return reinterpret_cast<FileHandle>(Open(path, flags, OPEN_EXISTING));
}

bool FileLength(FileHandle file, uint64_t* length) {
    LARGE_INTEGER size;
    if (file == kInvalidFile || !GetFileSizeEx(HandleOf(file), &size)) return false;
    *length = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool FileSetLength(FileHandle file, uint64_t length) {
    if (file == kInvalidFile) return false;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(HandleOf(file), position, nullptr, FILE_BEGIN) &&
           SetEndOfFile(HandleOf(file));
}

uint32_t FileWrite(FileHandle file, const void* data, uint32_t size) {
    DWORD written = 0;
    if (file == kInvalidFile || (data == nullptr && size != 0)) return 0;
    if (!WriteFile(HandleOf(file), data, size, &written, nullptr)) return 0;
    return written;
}

bool FileFlush(FileHandle file) {
    return file != kInvalidFile && file != 0 && FlushFileBuffers(HandleOf(file)) != FALSE;
}

void FileClose(FileHandle file) {
    if (file != kInvalidFile && file != 0) CloseHandle(HandleOf(file));
}

bool FileExists(const char* path) {
    // The attribute query has no length limit below the system's own, unlike an existence test
    // by opening, which refuses paths of 128 characters and more.
    if (path == nullptr) return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileDelete(const char* path) { return path != nullptr && DeleteFileA(path) != FALSE; }

bool FileReplace(const char* from, const char* to) {
    if (from == nullptr || to == nullptr || from[0] == '\0' || to[0] == '\0') return false;
    // A folder at `to` is refused by the move itself.
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

uint32_t WriteBlockToFile(const char* path, const void* data, uint32_t size) {
    if (path == nullptr || path[0] == '\0') return 0;
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, nullptr)) written = 0;
    CloseHandle(file);
    return written;
}

}  // namespace gfx
