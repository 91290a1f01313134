#include "graphics/platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "graphics/platform/posix/file_record.h"

namespace gfx {
namespace {

int OpenMode(uint32_t flags) {
    bool read = flags & FILEMODE_READ, write = flags & FILEMODE_WRITE;
    return read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
}

FileHandle Wrap(int fd, const char* path, uint32_t flags) {
    if (fd < 0) return kInvalidFile;
    struct stat st;
    // Only regular files are files here; a folder opens on POSIX but not as a file elsewhere.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return kInvalidFile;
    }
    auto* record = new (std::nothrow) FileRecord;
    if (record == nullptr) {
        close(fd);
        return kInvalidFile;
    }
    record->fd = fd;
    if (flags & FILEMODE_TEMPORARY) {
        // Absolute, so that a change of the current directory does not redirect the removal.
        char* absolute = realpath(path, nullptr);
        record->deleteOnClose = absolute != nullptr ? absolute : path;
        free(absolute);
    }
    posix_fadvise(fd, 0, 0,
                  (flags & FILEMODE_SEQUENTIAL) ? POSIX_FADV_SEQUENTIAL : POSIX_FADV_RANDOM);
    return reinterpret_cast<FileHandle>(record);
}

}  // namespace

FileHandle FileCreate(const char* path, uint32_t flags) {
    if (path == nullptr || path[0] == '\0') return kInvalidFile;
    int fd = open(path, OpenMode(flags) | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return Wrap(fd, path, flags);
}

FileHandle FileCreateNew(const char* path, uint32_t flags) {
    if (path == nullptr || path[0] == '\0') return kInvalidFile;
    int fd = open(path, OpenMode(flags) | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return Wrap(fd, path, flags);
}

FileHandle FileOpenExisting(const char* path, uint32_t flags) {
    if (path == nullptr || path[0] == '\0') return kInvalidFile;
    int fd = open(path, OpenMode(flags) | O_CLOEXEC);
    return Wrap(fd, path, flags);
}

bool FileLength(FileHandle file, uint64_t* length) {
    FileRecord* record = RecordOf(file);
    struct stat st;
    if (record == nullptr || fstat(record->fd, &st) != 0) return false;
    *length = static_cast<uint64_t>(st.st_size);
    return true;
}

bool FileSetLength(FileHandle file, uint64_t length) {
    FileRecord* record = RecordOf(file);
    if (record == nullptr || length > static_cast<uint64_t>(INT64_MAX)) return false;
    return ftruncate(record->fd, static_cast<off_t>(length)) == 0;
}

uint32_t FileWrite(FileHandle file, const void* data, uint32_t size) {
    FileRecord* record = RecordOf(file);
    if (record == nullptr || (data == nullptr && size != 0)) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t written = 0;
    while (written < size) {
        ssize_t n = write(record->fd, bytes + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<uint32_t>(n);
    }
    return written;
}

bool FileFlush(FileHandle file) {
    FileRecord* record = RecordOf(file);
    return record != nullptr && fsync(record->fd) == 0;
}

void FileClose(FileHandle file) {
    FileRecord* record = RecordOf(file);
    if (record == nullptr) return;
    close(record->fd);
    if (!record->deleteOnClose.empty()) unlink(record->deleteOnClose.c_str());
    delete record;
}

bool FileExists(const char* path) {
    struct stat st;
    return path != nullptr && stat(path, &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FileDelete(const char* path) { return path != nullptr && unlink(path) == 0; }

bool FileReplace(const char* from, const char* to) {
    return from != nullptr && to != nullptr && from[0] != '\0' && to[0] != '\0' &&
           std::rename(from, to) == 0;
}

uint32_t WriteBlockToFile(const char* path, const void* data, uint32_t size) {
    FileHandle file = FileCreate(path, FILEMODE_WRITE);
    if (file == kInvalidFile) return 0;
    uint32_t written = FileWrite(file, data, size);
    FileClose(file);
    return written;
}

}  // namespace gfx
