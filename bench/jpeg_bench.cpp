// Decoding a 1920 by 1080 photograph: through the decoder module (CallJpegDecoder, and
// MemoryDibSurface::Load of the .jpg) beside libjpeg-turbo called directly on the same file into
// a buffer of its own. The picture is testorig.ppm of ../shared/data/jpeg scaled up (a
// synthesised scene when that is absent), encoded once at quality 90, 4:2:0, into a temporary
// file. Rates are pixels per second; the module's over the direct call is the ratio to watch.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "graphics/codec/jpeg_decoder.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/platform/file.h"
#include "graphics/platform/global_memory.h"
#include "graphics/platform/temp_file.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Rgb {
    int width = 0, height = 0;
    std::vector<uint8_t> bytes;
};

Rgb ReadPpm(const std::string& path) {
    Rgb picture;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> picture.width >> picture.height >> maxval;
    in.get();
    if (!in || magic != "P6" || maxval != 255) return {};
    picture.bytes.resize(size_t(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(picture.bytes.data()), std::streamsize(picture.bytes.size()));
    return in ? picture : Rgb{};
}

// Bilinear scaling of the reference picture to the benchmark size.
Rgb ScaleUp(const Rgb& source) {
    Rgb out{kWidth, kHeight, std::vector<uint8_t>(size_t(kWidth) * kHeight * 3)};
    for (int y = 0; y < kHeight; ++y) {
        const double sy = (y + 0.5) * source.height / kHeight - 0.5;
        const int y0 = std::max(0, int(std::floor(sy))), y1 = std::min(source.height - 1, y0 + 1);
        const double fy = std::max(0.0, sy - y0);
        for (int x = 0; x < kWidth; ++x) {
            const double sx = (x + 0.5) * source.width / kWidth - 0.5;
            const int x0 = std::max(0, int(std::floor(sx))), x1 = std::min(source.width - 1, x0 + 1);
            const double fx = std::max(0.0, sx - x0);
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int px, int py) {
                    return double(source.bytes[(size_t(py) * source.width + px) * 3 + c]);
                };
                const double top = at(x0, y0) * (1 - fx) + at(x1, y0) * fx;
                const double bottom = at(x0, y1) * (1 - fx) + at(x1, y1) * fx;
                out.bytes[(size_t(y) * kWidth + x) * 3 + c] = uint8_t(top * (1 - fy) + bottom * fy + 0.5);
            }
        }
    }
    return out;
}

// Smooth light and colour with fine grain, as a photograph has.
Rgb Synthesise() {
    Rgb out{kWidth, kHeight, std::vector<uint8_t>(size_t(kWidth) * kHeight * 3)};
    uint32_t noise = 12345;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            const double light = 0.5 + 0.5 * std::sin(x * 0.004) * std::cos(y * 0.006);
            uint8_t* p = &out.bytes[(size_t(y) * kWidth + x) * 3];
            p[0] = uint8_t(std::clamp(int(200 * light) + grain, 0, 255));
            p[1] = uint8_t(std::clamp(int(120 + 90 * std::sin((x + y) * 0.01)) + grain, 0, 255));
            p[2] = uint8_t(std::clamp(int(255 * (1 - light)) + grain, 0, 255));
        }
    }
    return out;
}

std::vector<uint8_t> Encode(const Rgb& picture) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &data, &size);
    cinfo.image_width = JDIMENSION(picture.width);
    cinfo.image_height = JDIMENSION(picture.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&picture.bytes[size_t(cinfo.next_scanline) * picture.width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

// The photograph's file, made once and deleted at exit.
class Photograph {
  public:
    Photograph() {
        Rgb reference = ReadPpm(std::string(JPEG_BENCH_SHARED_DATA) + "/jpeg/testorig.ppm");
        const std::vector<uint8_t> jpeg = Encode(reference.width ? ScaleUp(reference) : Synthesise());
        path_ = gfx::CreateUniqueTempFile(gfx::TempFolder(), "JPB");
        // The extension decides the loader's path.
        const std::string named = path_ + ".jpg";
        if (!path_.empty() && std::rename(path_.c_str(), named.c_str()) == 0) path_ = named;
        if (gfx::WriteBlockToFile(path_.c_str(), jpeg.data(), uint32_t(jpeg.size())) != jpeg.size()) {
            path_.clear();
        }
    }
    ~Photograph() {
        if (!path_.empty()) gfx::FileDelete(path_.c_str());
    }
    const char* Path() const { return path_.c_str(); }
    bool Ok() const { return !path_.empty(); }

  private:
    std::string path_;
};

const Photograph& ThePhotograph() {
    static Photograph photograph;
    return photograph;
}

void CountPixels(benchmark::State& state) {
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

void BM_ModuleCall(benchmark::State& state) {
    if (!ThePhotograph().Ok()) return state.SkipWithError("no photograph file");
    for (auto _ : state) {
        void* dib = gfx::CallJpegDecoder(ThePhotograph().Path(), 0, 0);
        if (!dib) return state.SkipWithError("the module refused the photograph");
        benchmark::DoNotOptimize(dib);
        gfx::GlobalMemoryFree(dib);
    }
    CountPixels(state);
}

void BM_SurfaceLoad(benchmark::State& state) {
    if (!ThePhotograph().Ok()) return state.SkipWithError("no photograph file");
    gfx::MemoryDibSurface surface;
    for (auto _ : state) {
        if (surface.Load(ThePhotograph().Path(), gfx::LOAD_FROM_FILE, nullptr, nullptr, nullptr,
                         0, nullptr) != gfx::ResultOk) {
            return state.SkipWithError("the load failed");
        }
        surface.Free();
    }
    CountPixels(state);
}

// The peer: libjpeg-turbo on the same file, 24-bit rows into a block of its own.
void BM_LibjpegDirect(benchmark::State& state) {
    if (!ThePhotograph().Ok()) return state.SkipWithError("no photograph file");
    for (auto _ : state) {
        FILE* file = std::fopen(ThePhotograph().Path(), "rb");
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr errors{};
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, file);
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        const size_t stride = (size_t(cinfo.output_width) * 3 + 3) & ~size_t(3);
        auto* rows = static_cast<uint8_t*>(std::malloc(stride * cinfo.output_height));
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = rows + stride * cinfo.output_scanline;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        benchmark::DoNotOptimize(rows);
        std::free(rows);
    }
    CountPixels(state);
}

BENCHMARK(BM_ModuleCall)->Name("jpeg.module.1920x1080")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceLoad)->Name("jpeg.load.1920x1080")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegDirect)->Name("jpeg.libjpeg_turbo.1920x1080")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
