// Megapixels per second of the blends and scaled blits, and of memcpy of the destination rows, by
// a plain timing loop that builds for every target (Google Benchmark is native only): the same
// cases, pictures and names as the benchmark program (bench/blit_cases.h). Each case is timed in
// several runs of at least --min-ms milliseconds and the best run is kept.
//
// Prints one "<name> <megapixels per second>" line per case, lines starting with '#' being
// comments; bench/compare --i686 runs it under Wine and prints the table.
//
// usage: blit_timing [--all] [--filter REGEX] [--runs N] [--min-ms MS]
//   --all also times the unscaled copy, colour-key and stipple routines.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "bench/blit_cases.h"
#include "bench/blit_pictures.h"
#include "graphics/blit/blit_registry.h"

namespace {

using bench::Picture;
using bench::Size;
using Clock = std::chrono::steady_clock;

struct Options {
    bool all = false;
    std::regex filter{""};
    int runs = 5;
    double minSeconds = 0.2;
};

// Makes the compiler assume that memory was read and written, so that repeated draws into the
// same destination are not merged.
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

// The best rate of `draw` over the runs, in megapixels per second.
template <class Draw>
double BestRate(const Options& options, int64_t pixelsPerCall, Draw draw) {
    draw();  // the pictures and the code in the caches, as for every later call
    ClobberMemory();
    double best = 0;
    for (int run = 0; run < options.runs; ++run) {
        int64_t calls = 0;
        const Clock::time_point start = Clock::now();
        double seconds = 0;
        do {
            for (int k = 0; k < 4; ++k) {
                draw();
                ClobberMemory();
            }
            calls += 4;
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        } while (seconds < options.minSeconds);
        const double rate = static_cast<double>(calls * pixelsPerCall) / seconds / 1e6;
        if (rate > best) best = rate;
    }
    return best;
}

void Report(const std::string& name, double rate) {
    std::printf("%s %.2f\n", name.c_str(), rate);
    std::fflush(stdout);
}

void TimeRoutines(const Options& options) {
    auto want = [&](const gfx::RoutineInfo& info) {
        return options.all || bench::IsBlend(info) || gfx::IsScaledShape(info.shape);
    };
    bench::ForEachCase(
        want, [&](gfx::RoutineId id, bench::Mode mode, Size size, bench::BodyChoice body) {
            const gfx::RoutineInfo& info = gfx::InfoOf(id);
            const std::string name = bench::CaseName(info, mode, body.name, size);
            if (!std::regex_search(name, options.filter)) return;
            const bench::Scene scene(info, mode, size);
            const gfx::BlitBody& fn = body.Body(id);
            Report(name, BestRate(options, scene.pixels, [&] { fn.Call(scene.call); }));
        });
}

void TimeMemcpy(const Options& options) {
    for (int bytes = 1; bytes <= 4; ++bytes) {
        for (Size size : {Size{64, 64}, Size{640, 480}}) {
            const std::string name =
                "memcpy." + std::to_string(bytes * 8) + "/" + bench::SizeName(size);
            if (!std::regex_search(name, options.filter)) continue;
            Picture src = bench::Sprite(size, bytes);
            Picture dst = bench::Backdrop(size, bytes);
            const size_t rowBytes = static_cast<size_t>(size.width) * bytes;
            Report(name, BestRate(options, static_cast<int64_t>(size.width) * size.height, [&] {
                       for (int32_t y = 0; y < size.height; ++y)
                           std::memcpy(dst.Row(y), src.Row(y), rowBytes);
                   }));
        }
    }
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--all") {
            options.all = true;
        } else if (arg == "--filter" && hasValue) {
            options.filter = std::regex(argv[++i]);
        } else if (arg == "--runs" && hasValue) {
            options.runs = std::atoi(argv[++i]);
        } else if (arg == "--min-ms" && hasValue) {
            options.minSeconds = std::atof(argv[++i]) / 1000.0;
        } else {
            std::fprintf(stderr,
                         "usage: blit_timing [--all] [--filter REGEX] [--runs N] [--min-ms MS]\n");
            return false;
        }
    }
    if (options.runs < 1) options.runs = 1;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    std::printf("# megapixels per second, best of %d runs of at least %.0f ms\n", options.runs,
                options.minSeconds * 1000);
    TimeMemcpy(options);
    TimeRoutines(options);
    return 0;
}
