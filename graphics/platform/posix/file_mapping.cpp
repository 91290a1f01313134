#include "graphics/platform/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <new>
#include <string>

#include "graphics/platform/posix/file_record.h"

namespace gfx {
namespace {

// What a MappingHandle points to: its own descriptor of the file or shared-memory object.
struct MappingRecord {
    int fd = -1;
    bool readOnly = false;
    size_t viewLength = 0;
    std::string publishedName;  // file-backed mapping findable by name in this process
    std::string sharedName;     // shared-memory object that this creator removes on close
};

// Named mappings of files, by name. Other processes cannot open these; named mappings without a
// file are shared-memory objects and can be.
struct NameTable {
    std::mutex lock;
    std::map<std::string, int> fds;
};

NameTable& Names() {
    static NameTable table;
    return table;
}

std::string SharedObjectName(const char* name) {
    std::string result = "/gfxmap.";
    for (const char* p = name; *p; ++p) result += (*p == '/' || *p == '\\') ? '_' : *p;
    return result;
}

MappingHandle Wrap(int fd, bool readOnly) {
    if (fd < 0) return 0;
    auto* record = new (std::nothrow) MappingRecord;
    if (record == nullptr) {
        close(fd);
        return 0;
    }
    record->fd = fd;
    record->readOnly = readOnly;
    return reinterpret_cast<MappingHandle>(record);
}

MappingRecord* RecordOfMapping(MappingHandle mapping) {
    return reinterpret_cast<MappingRecord*>(mapping);
}

}  // namespace

MappingHandle MappingCreateForFile(FileHandle file, bool readOnly, const char* name) {
    FileRecord* fileRecord = RecordOf(file);
    struct stat st;
    if (fileRecord == nullptr || fstat(fileRecord->fd, &st) != 0 || st.st_size <= 0) return 0;
    MappingHandle mapping = Wrap(fcntl(fileRecord->fd, F_DUPFD_CLOEXEC, 0), readOnly);
    if (mapping == 0 || name == nullptr || name[0] == '\0') return mapping;
    NameTable& names = Names();
    std::lock_guard<std::mutex> guard(names.lock);
    if (names.fds.count(name) == 0) {
        names.fds[name] = RecordOfMapping(mapping)->fd;
        RecordOfMapping(mapping)->publishedName = name;
    }
    return mapping;
}

MappingHandle MappingCreateNamed(const char* name, uint32_t size) {
    if (name == nullptr || name[0] == '\0' || size == 0) return 0;
    std::string shared = SharedObjectName(name);
    int fd = shm_open(shared.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 ||
        (st.st_size < static_cast<off_t>(size) && ftruncate(fd, size) != 0)) {
        close(fd);
        shm_unlink(shared.c_str());
        return 0;
    }
    MappingHandle mapping = Wrap(fd, false);
    if (mapping != 0) RecordOfMapping(mapping)->sharedName = shared;
    return mapping;
}

MappingHandle MappingOpenNamed(const char* name, bool writable) {
    if (name == nullptr || name[0] == '\0') return 0;
    {
        NameTable& names = Names();
        std::lock_guard<std::mutex> guard(names.lock);
        auto it = names.fds.find(name);
        if (it != names.fds.end()) return Wrap(fcntl(it->second, F_DUPFD_CLOEXEC, 0), !writable);
    }
    int fd =
        shm_open(SharedObjectName(name).c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC, 0);
    return Wrap(fd, !writable);
}

void* MappingMapView(MappingHandle mapping, bool readOnly) {
    MappingRecord* record = RecordOfMapping(mapping);
    if (record == nullptr || (record->readOnly && !readOnly)) return nullptr;
    struct stat st;
    if (fstat(record->fd, &st) != 0 || st.st_size <= 0 ||
        static_cast<uint64_t>(st.st_size) > SIZE_MAX) {
        return nullptr;
    }
    size_t length = static_cast<size_t>(st.st_size);
    void* view = mmap(nullptr, length, readOnly ? PROT_READ : PROT_READ | PROT_WRITE, MAP_SHARED,
                      record->fd, 0);
    if (view == MAP_FAILED) return nullptr;
    record->viewLength = length;
    return view;
}

uint64_t MappingViewLength(MappingHandle mapping, const void* view) {
    MappingRecord* record = RecordOfMapping(mapping);
    return record == nullptr || view == nullptr ? 0 : record->viewLength;
}

void MappingUnmapView(MappingHandle mapping, void* view) {
    MappingRecord* record = RecordOfMapping(mapping);
    if (record == nullptr || view == nullptr) return;
    munmap(view, record->viewLength);
}

void MappingClose(MappingHandle mapping) {
    MappingRecord* record = RecordOfMapping(mapping);
    if (record == nullptr) return;
    if (!record->publishedName.empty()) {
        NameTable& names = Names();
        std::lock_guard<std::mutex> guard(names.lock);
        names.fds.erase(record->publishedName);
    }
    if (!record->sharedName.empty()) shm_unlink(record->sharedName.c_str());
    close(record->fd);
    delete record;
}

}  // namespace gfx
