// Throughput of the sprite encodings (TRLE, ARLE, PRLE) and the packed encoding (PKC) beside the
// peers that do the same work in the same program: memcpy of the plain rows for the run-length
// decoders, and zlib's uncompress of the very stream a packed image holds for PRLE and PKC.
// Every benchmark counts pixels as items, so items_per_second / 1e6 is megapixels per second.
//
// Names: "<encode|decode>.<codec>.<picture>", "decode.trle32.<picture>" for 32-bit TRLE,
// "peer.memcpy.<picture>" (8-bit rows), "peer.memcpy32.<picture>", and
// "peer.uncompress.<prle|pkc>.<picture>", and "peer.copy[32].<picture>": a new block holding a
// copy of the whole plain packed DIB, the least work of a decoder that returns a new image.
// Pictures: "sprite64" (a 64x64 sprite with transparent margins), "install", "run" and "exit"
// (the launcher's button pictures, 153x48, 133x46 and 101x47, as sprites with transparent
// corners and margins round the plate), "installplain" (the install button as stored, without
// transparency), "picture640" (the launcher's background picture mirrored out to 640x480) and
// "photo640" (a photograph quantised to 8 bits and mirrored out to 640x480); the two 640x480
// pictures are synthesised when their files are missing. Before the runs, a table of encoded sizes
// beside the plain DIB and PNG (when built with libspng) is printed.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef CODEC_BENCH_SPNG
#include <spng.h>
#endif

#include "graphics/codec/arle_codec.h"
#include "graphics/codec/memo_block.h"
#include "graphics/codec/pkc_codec.h"
#include "graphics/codec/prle_codec.h"
#include "graphics/codec/trle_codec.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/platform/global_memory.h"

namespace {

using namespace gfx;
using Bytes = std::vector<uint8_t>;

// An 8-bit picture: top line first, unpadded, with its 256 colours (blue, green, red, 0).
struct Picture {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    Bytes pixels;
    Bytes colours = Bytes(1024, 0);
};

uint32_t Noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 16;
}

void GreyColours(Picture& p) {
    for (int i = 0; i < 256; ++i) {
        p.colours[4 * i] = p.colours[4 * i + 1] = p.colours[4 * i + 2] = uint8_t(i);
    }
}

// A sprite: transparent (index 0) round an ellipse of shaded bands with some speckle, so that the
// rows have margins, runs of a few pixels and short literals (one pixel in 32 a highlight) as
// drawn sprites do.
Picture Sprite64() {
    Picture p{"sprite64", 64, 64, Bytes(64 * 64)};
    GreyColours(p);
    uint32_t state = 7;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double ex = (x + 0.5) / 32 - 1, ey = (y + 0.5) / 32 - 1;
            uint8_t v = 0;
            if (ex * ex + ey * ey <= 0.9) {
                v = uint8_t(16 + (x + 2 * y) / 6 % 8 * 12);
                if (Noise(state) % 32 == 0) v = uint8_t(200 + Noise(state) % 50);
            }
            p.pixels[y * 64 + x] = v;
        }
    }
    return p;
}

// Mirrors a `w` x `h` source out to 640x480 (x past the edge comes back reversed, and likewise y),
// so that the larger picture has no exact repeats for the packers to find.
template <typename At>
void MirrorOut(Picture& p, int32_t w, int32_t h, At at) {
    p.width = 640, p.height = 480;
    p.pixels.resize(640 * 480);
    for (int y = 0; y < 480; ++y) {
        int sy = y % (2 * h);
        if (sy >= h) sy = 2 * h - 1 - sy;
        for (int x = 0; x < 640; ++x) {
            int sx = x % (2 * w);
            if (sx >= w) sx = 2 * w - 1 - sx;
            p.pixels[y * 640 + x] = at(sx, sy);
        }
    }
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// An 8-bit bitmap of the launcher's resources, read with the library's own loader: its colours
// and its rows, top line first, handed to `take` as (width, height, pixel at x and y).
template <typename Take>
bool LoadLauncherBitmap(const char* file, Picture& p, Take take) {
    MemoryDibSurface surface;
    const std::string path = std::string(CODEC_BENCH_SOURCE_DIR) + "/launcher/resources/" + file;
    if (surface.Load(path.c_str(), LOAD_FROM_FILE | LOAD_COPY, nullptr, nullptr, nullptr, 0,
                     nullptr) != ResultOk ||
        surface.GetFormat() != FMT_INDEX8) {
        return false;
    }
    const uint8_t* header = surface.GetDibHeader();
    DibHeader h{};
    ReadDibHeader(header, DIB_HEADER_BYTES, &h);
    const uint32_t tableBytes = DibHeaderSize(h) - DIB_HEADER_BYTES;
    std::memcpy(p.colours.data(), header + DIB_HEADER_BYTES, std::min(tableBytes, 1024u));
    const uint8_t* rows = header + DibHeaderSize(h);
    const int32_t w = h.biWidth, hh = h.biHeight;
    const uint32_t pitch = uint32_t(PaddedRowBytes(8, uint32_t(w)));
    take(w, hh, [&](int x, int y) { return rows[size_t(hh - 1 - y) * pitch + x]; });
    return true;
}

// The launcher's background picture.
Picture LauncherPicture() {
    Picture p;
    p.name = "picture640";
    if (LoadLauncherBitmap("BACKGROUND.bmp", p,
                           [&](int32_t w, int32_t h, auto at) { MirrorOut(p, w, h, at); })) {
        return p;
    }
    // Without the file: soft gradients in bands, as drawn artwork has.
    GreyColours(p);
    MirrorOut(p, 640, 480, [](int x, int y) { return uint8_t((x / 40 * 16 + y / 3) % 255 + 1); });
    return p;
}

// One of the launcher's button pictures (the up state) as a sprite: the rounded plate the
// artwork draws from (4, 4) to (width - 5, height - 6), half its height round, is kept and the
// background round it made transparent (index 0), as a sprite of the button would be stored. With
// `keyed` false the picture stays as the launcher stores it, a full rectangle. Empty without the
// file.
Picture Button(const char* file, const char* name, bool keyed) {
    Picture p;
    p.name = name;
    LoadLauncherBitmap(file, p, [&](int32_t w, int32_t h, auto at) {
        p.width = w, p.height = h;
        p.pixels.resize(size_t(w) * h);
        const double x0 = 4, y0 = 4, x1 = w - 4, y1 = h - 5, r = (y1 - y0) / 2;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                const double dx = std::max({x0 + r - cx, cx - (x1 - r), 0.0});
                const double dy = std::max({y0 + r - cy, cy - (y1 - r), 0.0});
                const bool plate = cx >= x0 && cx < x1 && cy >= y0 && cy < y1 &&
                                   dx * dx + dy * dy <= r * r;
                p.pixels[size_t(y) * w + x] = keyed && !plate ? 0 : at(x, y);
            }
        }
    });
    return p;
}

// A photograph in 3-3-2 colours; noise over gradients when the file is missing.
Picture Photo() {
    Picture p;
    p.name = "photo640";
    for (int i = 0; i < 256; ++i) {
        p.colours[4 * i + 2] = uint8_t((i >> 5) * 255 / 7);
        p.colours[4 * i + 1] = uint8_t((i >> 2 & 7) * 255 / 7);
        p.colours[4 * i] = uint8_t((i & 3) * 255 / 3);
    }
    auto quantise = [](const uint8_t* rgb) {
        return uint8_t((rgb[0] >> 5) << 5 | (rgb[1] >> 5) << 2 | rgb[2] >> 6);
    };
    const Bytes file = ReadFile(std::string(CODEC_BENCH_SHARED_DATA) + "/jpeg/testorig.ppm");
    int w = 0, h = 0, max = 0, used = 0;
    if (file.size() > 16 &&
        std::sscanf(reinterpret_cast<const char*>(file.data()), "P6 %d %d %d%n", &w, &h, &max,
                    &used) == 3 &&
        max == 255 && w > 0 && h > 0 && size_t(used) + 1 + size_t(w) * h * 3 <= file.size()) {
        const uint8_t* rgb = file.data() + used + 1;
        MirrorOut(p, w, h, [&](int x, int y) { return quantise(rgb + (size_t(y) * w + x) * 3); });
        return p;
    }
    uint32_t state = 99;
    MirrorOut(p, 640, 480, [&](int x, int y) {
        const uint8_t rgb[3] = {uint8_t(x * 255 / 640 + Noise(state) % 24),
                                uint8_t(y * 255 / 480 + Noise(state) % 24),
                                uint8_t((x + y) / 5 + Noise(state) % 24)};
        return quantise(rgb);
    });
    return p;
}

// The picture as a plain 8-bit packed DIB (bottom-up, padded rows).
Bytes PlainDib(const Picture& p) {
    Bytes dib(DIB_HEADER_BUFFER_BYTES);
    const uint32_t headerBytes =
        BuildDibHeader(p.width, p.height, FMT_INDEX8, dib.data(), dib.size());
    dib.resize(headerBytes);
    std::memcpy(dib.data() + DIB_HEADER_BYTES, p.colours.data(), 1024);
    const size_t pitch = PaddedRowBytes(8, uint32_t(p.width));
    dib.resize(headerBytes + pitch * p.height, 0);
    for (int y = 0; y < p.height; ++y) {
        std::memcpy(&dib[headerBytes + (p.height - 1 - y) * pitch], &p.pixels[size_t(y) * p.width],
                    size_t(p.width));
    }
    return dib;
}

// The picture in 32 bits (index 0 stays transparent) as a "TRLE" image, laid out by hand: the
// library encodes only 8-bit images, and decodes every depth.
Bytes Trle32(const Picture& p) {
    Bytes data(16 + 8 * size_t(p.height));
    Bytes kept;
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = &p.pixels[size_t(y) * p.width];
        int32_t leading = 0, end = p.width;
        while (leading < end && row[leading] == 0) ++leading;
        while (end > leading && row[end - 1] == 0) --end;
        StoreLE32(&data[16 + 8 * y], uint32_t(data.size() + kept.size()));
        StoreLE16(&data[20 + 8 * y], uint32_t(leading));
        StoreLE16(&data[22 + 8 * y], uint32_t(end - leading));
        for (int32_t x = leading; x < end; ++x) {
            const uint8_t* c = &p.colours[4 * row[x]];
            kept.insert(kept.end(), {c[0], c[1], c[2], 0xFF});
        }
    }
    data.insert(data.end(), kept.begin(), kept.end());
    Bytes dib(DIB_HEADER_BYTES);
    DibHeader h{40, p.width, p.height, 1, 32, COMPRESSION_TRLE, uint32_t(data.size()), 0, 0, 0, 0};
    WriteDibHeader(h, dib.data());
    dib.insert(dib.end(), data.begin(), data.end());
    return dib;
}

Bytes Take(CodedDib coded) {
    if (!coded.block) return {};
    const auto* b = static_cast<const uint8_t*>(coded.block);
    Bytes out(b, b + coded.size);
    GlobalMemoryFree(coded.block);
    return out;
}

size_t PngSize(const Picture& p) {
#ifdef CODEC_BENCH_SPNG
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr = {uint32_t(p.width), uint32_t(p.height), 8, SPNG_COLOR_TYPE_INDEXED, 0, 0, 0};
    spng_set_ihdr(ctx, &ihdr);
    spng_plte plte{};
    plte.n_entries = 256;
    for (int i = 0; i < 256; ++i) {
        plte.entries[i] = {p.colours[4 * i + 2], p.colours[4 * i + 1], p.colours[4 * i], 0};
    }
    spng_set_plte(ctx, &plte);
    size_t size = 0;
    int error = 0;
    if (spng_encode_image(ctx, p.pixels.data(), p.pixels.size(), SPNG_FMT_PNG,
                          SPNG_ENCODE_FINALIZE) == 0) {
        void* png = spng_get_png_buffer(ctx, &size, &error);
        std::free(png);
    }
    spng_ctx_free(ctx);
    return error ? 0 : size;
#else
    (void)p;
    return 0;
#endif
}

// What every benchmark of one picture works on, made once.
struct Fixture {
    Picture picture;
    Bytes plain, trle, arle, prle, pkc, trle32;
    Bytes plain32;  // the 32-bit rows TRLE decodes to
};

std::vector<Fixture>& Fixtures() {
    static std::vector<Fixture> all = [] {
        std::vector<Fixture> out;
        for (Picture p : {Sprite64(), Button("INSTALLU.bmp", "install", true),
                          Button("RUNU.bmp", "run", true), Button("EXITU.bmp", "exit", true),
                          Button("INSTALLU.bmp", "installplain", false), LauncherPicture(),
                          Photo()}) {
            if (p.pixels.empty()) continue;
            Fixture f;
            f.picture = p;
            f.plain = PlainDib(p);
            const uint32_t n = uint32_t(f.plain.size());
            f.trle = Take(TrleEncode(f.plain.data(), n));
            f.arle = Take(ArleEncode(f.plain.data(), n));
            f.prle = Take(PrleEncode(f.plain.data(), n));
            f.pkc = Take(PkcEncode(f.plain.data(), n));
            f.trle32 = Trle32(p);
            f.plain32 = Take(TrleDecode(f.trle32.data(), uint32_t(f.trle32.size())));
            out.push_back(std::move(f));
        }
        return out;
    }();
    return all;
}

void CountPixels(benchmark::State& state, const Picture& p) {
    state.SetItemsProcessed(int64_t(state.iterations()) * p.width * p.height);
}

void Codec(benchmark::State& state, const Fixture& f, DibCodecFunction codec, const Bytes& input) {
    if (input.empty()) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        const CodedDib out = codec(input.data(), uint32_t(input.size()));
        benchmark::DoNotOptimize(out.block);
        GlobalMemoryFree(out.block);
    }
    CountPixels(state, f.picture);
}

void Memcpy(benchmark::State& state, const Fixture& f, const Bytes& plain, uint32_t rowsAt) {
    Bytes out(plain.size() - rowsAt);
    for (auto _ : state) {
        std::memcpy(out.data(), plain.data() + rowsAt, out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    CountPixels(state, f.picture);
}

// The least any decoder does: a new block of the plain packed DIB, its bytes copied in.
void CopyBlock(benchmark::State& state, const Fixture& f, const Bytes& plain) {
    for (auto _ : state) {
        void* block = GlobalMemoryAlloc(plain.size(), true);
        std::memcpy(block, plain.data(), plain.size());
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        GlobalMemoryFree(block);
    }
    CountPixels(state, f.picture);
}

// zlib alone on the stream of the MEMO block at `block`, into a buffer of its unpacked size.
void Uncompress(benchmark::State& state, const Fixture& f, const Bytes& coded) {
    DibHeader h{};
    ReadDibHeader(coded.data(), coded.size(), &h);
    const uint8_t* block = coded.data() + DibHeaderSize(h);
    const uint32_t total = MemoPackedSize(block, h.biSizeImage);
    Bytes out(MemoRawSize(block, h.biSizeImage));
    for (auto _ : state) {
        uLongf length = uLongf(out.size());
        if (uncompress(out.data(), &length, block + MEMO_HEADER_BYTES, total - MEMO_HEADER_BYTES) !=
            Z_OK) {
            state.SkipWithError("uncompress failed");
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    CountPixels(state, f.picture);
}

// What the ARLE decoder meets in a picture: codes, and how many of them are fills.
struct ArleCodeCounts {
    uint64_t codes = 0, fills = 0, pixels = 0;
};

ArleCodeCounts CountArleCodes(const Bytes& arle) {
    DibHeader h{};
    ReadDibHeader(arle.data(), arle.size(), &h);
    const uint8_t* area = arle.data() + DibHeaderSize(h);
    const uint8_t* p = area + 4 * size_t(h.biHeight);
    const uint8_t* end = area + h.biSizeImage;
    ArleCodeCounts counts;
    while (p < end) {
        const uint8_t first = *p++;
        uint32_t n = first & 0x3F;
        if (first & 0x80) n = n << 8 | *p++;
        ++counts.codes;
        counts.pixels += n;
        if (first & 0x40) {
            ++counts.fills;
            ++p;
        } else {
            p += n;
        }
    }
    return counts;
}

void PrintSizes() {
    std::printf("%-12s %10s %10s %10s %10s %10s %10s\n", "picture", "plain DIB", "TRLE", "ARLE",
                "PRLE", "PKC", "PNG");
    for (const Fixture& f : Fixtures()) {
        const size_t png = PngSize(f.picture);
        std::printf("%-12s %10zu %10zu %10zu %10zu %10zu %10s\n", f.picture.name.c_str(),
                    f.plain.size(), f.trle.size(), f.arle.size(), f.prle.size(), f.pkc.size(),
                    png ? std::to_string(png).c_str() : "-");
    }
    std::printf(
        "(bytes; every form but PNG carries the 40-byte header and 1024-byte colour table)\n\n");
    std::printf("%-12s %10s %10s %10s\n", "picture", "ARLE codes", "fills", "px/code");
    for (const Fixture& f : Fixtures()) {
        const ArleCodeCounts c = CountArleCodes(f.arle);
        std::printf("%-12s %10llu %9.0f%% %10.1f\n", f.picture.name.c_str(),
                    (unsigned long long)c.codes, c.codes ? 100.0 * c.fills / c.codes : 0.0,
                    c.codes ? double(c.pixels) / c.codes : 0.0);
    }
    std::printf("\n");
}

void Register() {
    for (const Fixture& f : Fixtures()) {
        const std::string& n = f.picture.name;
        const uint32_t rowsAt = DIB_HEADER_BYTES + 1024;
        auto add = [](const std::string& name, auto fn) {
            benchmark::RegisterBenchmark(name.c_str(), fn);
        };
        add("encode.trle." + n, [&f](benchmark::State& s) { Codec(s, f, TrleEncode, f.plain); });
        add("encode.arle." + n, [&f](benchmark::State& s) { Codec(s, f, ArleEncode, f.plain); });
        add("encode.prle." + n, [&f](benchmark::State& s) { Codec(s, f, PrleEncode, f.plain); });
        add("encode.pkc." + n, [&f](benchmark::State& s) { Codec(s, f, PkcEncode, f.plain); });
        add("decode.trle." + n, [&f](benchmark::State& s) { Codec(s, f, TrleDecode, f.trle); });
        add("decode.arle." + n, [&f](benchmark::State& s) { Codec(s, f, ArleDecode, f.arle); });
        add("decode.prle." + n, [&f](benchmark::State& s) { Codec(s, f, PrleDecode, f.prle); });
        add("decode.pkc." + n, [&f](benchmark::State& s) { Codec(s, f, PkcDecode, f.pkc); });
        add("decode.trle32." + n, [&f](benchmark::State& s) { Codec(s, f, TrleDecode, f.trle32); });
        add("peer.memcpy." + n,
            [&f, rowsAt](benchmark::State& s) { Memcpy(s, f, f.plain, rowsAt); });
        add("peer.memcpy32." + n,
            [&f](benchmark::State& s) { Memcpy(s, f, f.plain32, DIB_HEADER_BYTES); });
        add("peer.copy." + n, [&f](benchmark::State& s) { CopyBlock(s, f, f.plain); });
        add("peer.copy32." + n, [&f](benchmark::State& s) { CopyBlock(s, f, f.plain32); });
        add("peer.uncompress.prle." + n, [&f](benchmark::State& s) { Uncompress(s, f, f.prle); });
        add("peer.uncompress.pkc." + n, [&f](benchmark::State& s) { Uncompress(s, f, f.pkc); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    PrintSizes();
    Register();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
