// What a zbm container costs to open: ContainerSurface::Load of a file plus Lock of its rows,
// beside reading the same file into memory (fread of the whole file, the least work of a loader
// that copies) and Load with LOAD_COPY. Without the copy the rows are used where the mapping puts
// them, so the time should not grow with the file; the other two move every byte.
//
// Names: "load.mapped.<n>MB", "load.copy.<n>MB", "peer.fread.<n>MB", for files of 1, 4, 16 and
// 64 MB of 32-bit rows 1024 pixels wide. bytes_per_second counts the file's bytes. The files are
// written to the temporary folder at start and deleted at the end.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/codec/container_surface.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/platform/file.h"
#include "graphics/platform/temp_file.h"

namespace {

using namespace gfx;

constexpr int32_t kWidth = 1024;
constexpr uint32_t kRowBytes = kWidth * 4;
constexpr uint32_t kHeaderBytes = 28;

// A container of `megabytes` of FMT_RGB32 rows, written once; the file is removed with it.
class ContainerFile {
  public:
    explicit ContainerFile(uint32_t megabytes) {
        const std::string folder = TempFolder();
        if (folder.empty()) return;
        const std::string path = CreateUniqueTempFile(folder, "ZBM");
        if (path.empty()) return;
        const uint32_t height = megabytes * (1u << 20) / kRowBytes;
        std::vector<uint8_t> bytes(kHeaderBytes + size_t{height} * kRowBytes);
        StoreLE32(&bytes[0], 0x5A424D20);
        StoreLE32(&bytes[4], kHeaderBytes);
        StoreLE32(&bytes[8], kWidth);
        StoreLE32(&bytes[12], height);
        StoreLE32(&bytes[16], FMT_RGB32);
        StoreLE32(&bytes[24], 1);
        for (size_t i = kHeaderBytes; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
        const auto size = static_cast<uint32_t>(bytes.size());
        if (WriteBlockToFile(path.c_str(), bytes.data(), size) == size) {
            path_ = path;
            size_ = size;
        } else {
            FileDelete(path.c_str());
        }
    }
    ~ContainerFile() {
        if (!path_.empty()) FileDelete(path_.c_str());
    }
    ContainerFile(const ContainerFile&) = delete;
    ContainerFile& operator=(const ContainerFile&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    uint32_t Size() const { return size_; }

  private:
    std::string path_;
    uint32_t size_ = 0;
};

void LoadAndLock(benchmark::State& state, const ContainerFile& file, uint32_t extraFlags) {
    if (!file.Ok()) {
        state.SkipWithError("no container file");
        return;
    }
    for (auto _ : state) {
        ContainerSurface surface;
        if (surface.Load(file.Path().c_str(), LOAD_FROM_FILE | LOAD_CONTAINER | extraFlags,
                         nullptr, nullptr, nullptr, 0, nullptr) != ResultOk) {
            state.SkipWithError("load failed");
            return;
        }
        uint8_t* rows = nullptr;
        int32_t pitch = 0;
        surface.Lock(&rows, &pitch);
        benchmark::DoNotOptimize(rows);
        benchmark::DoNotOptimize(pitch);
        surface.Unlock();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * file.Size());
}

void ReadWholeFile(benchmark::State& state, const ContainerFile& file) {
    if (!file.Ok()) {
        state.SkipWithError("no container file");
        return;
    }
    for (auto _ : state) {
        std::FILE* stream = std::fopen(file.Path().c_str(), "rb");
        if (!stream) {
            state.SkipWithError("fopen failed");
            return;
        }
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[file.Size()]);
        const size_t read = std::fread(bytes.get(), 1, file.Size(), stream);
        std::fclose(stream);
        if (read != file.Size()) {
            state.SkipWithError("short read");
            return;
        }
        benchmark::DoNotOptimize(bytes.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * file.Size());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::unique_ptr<ContainerFile>> files;
    for (uint32_t megabytes : {1u, 4u, 16u, 64u}) {
        files.push_back(std::make_unique<ContainerFile>(megabytes));
        const ContainerFile& file = *files.back();
        const std::string size = std::to_string(megabytes) + "MB";
        benchmark::RegisterBenchmark(("load.mapped." + size).c_str(),
                                     [&file](benchmark::State& s) { LoadAndLock(s, file, 0); });
        benchmark::RegisterBenchmark(("load.copy." + size).c_str(), [&file](benchmark::State& s) {
            LoadAndLock(s, file, LOAD_COPY);
        });
        benchmark::RegisterBenchmark(("peer.fread." + size).c_str(),
                                     [&file](benchmark::State& s) { ReadWholeFile(s, file); });
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
