#include "graphics/raster/convert_routines.h"

#include <cstddef>

#include "graphics/raster/convert_pixels.h"
#include "graphics/raster/error_diffusion.h"

namespace gfx {

namespace {

// Calls `row`(source row, target row) for every row, telling the progress first.
template <class RowFn>
void ForEachRow(const ConvertJob& job, RowFn&& row) {
    for (int32_t y = 0; y < job.height; ++y) {
        if (job.progress) job.progress(job.userData, y * 100 / job.height);
        row(job.source + static_cast<ptrdiff_t>(y) * job.sourcePitch,
            job.target + static_cast<ptrdiff_t>(y) * job.targetPitch);
    }
}

// Calls `f` with the storage trait of a direct pixel of `bytes` bytes.
template <class F>
void WithDirectPixel(uint32_t bytes, F&& f) {
    switch (bytes) {
        case 2:
            f(Pixel16{});
            break;
        case 3:
            f(Pixel24{});
            break;
        default:
            f(Pixel32{});
            break;
    }
}

template <class Source, class Target>
void PlainRow(const uint8_t* from, uint8_t* to, int32_t width, const Source& source,
              const Target& target) {
    for (int32_t i = 0; i < width; ++i) {
        target.Write(to, source.Read(from));
        from += Source::kBytes;
        to += Target::kBytes;
    }
}

template <class Source, class Target>
void DitherRow(const uint8_t* from, uint8_t* to, int32_t width, const Source& source,
               const Target& target, ErrorDiffusion& errors) {
    errors.StartRow();
    for (int32_t i = 0; i < width; ++i) {
        const Rgb own = source.Read(from);
        const Rgb wanted = errors.Wanted(i, static_cast<uint32_t>(own.c[0]),
                                         static_cast<uint32_t>(own.c[1]),
                                         static_cast<uint32_t>(own.c[2]));
        const Rgb written = target.Write(to, wanted);
        errors.Spread(i, Rgb{{wanted.c[0] - written.c[0], wanted.c[1] - written.c[1],
                              wanted.c[2] - written.c[2]}});
        from += Source::kBytes;
        to += Target::kBytes;
    }
}

template <class Source, class Target>
Result RunPlain(const ConvertJob& job, const Source& source, const Target& target) {
    ForEachRow(job, [&](const uint8_t* from, uint8_t* to) {
        PlainRow(from, to, job.width, source, target);
    });
    return ResultOk;
}

template <class Source, class Target>
Result RunDithered(const ConvertJob& job, const Source& source, const Target& target) {
    ErrorDiffusion errors(job.width);
    if (!errors.Valid()) return ResultInvalid;
    ForEachRow(job, [&](const uint8_t* from, uint8_t* to) {
        DitherRow(from, to, job.width, source, target, errors);
    });
    return ResultOk;
}

void RemapRow(const uint8_t* from, uint8_t* to, int32_t width, const uint8_t* table) {
    for (int32_t i = 0; i < width; ++i) to[i] = table[from[i]];
}

}  // namespace

Result ConvertRemapPalette(const ConvertJob& job) {
    // One search per source colour, not per pixel.
    uint8_t table[256];
    for (int s = 0; s < 256; ++s) {
        const PaletteEntry& e = job.sourceEntries[s];
        table[s] = job.nearest->Find(e.red, e.green, e.blue);
    }
    ForEachRow(job, [&](const uint8_t* from, uint8_t* to) { RemapRow(from, to, job.width, table); });
    return ResultOk;
}

Result ConvertDitherPalette(const ConvertJob& job) {
    return RunDithered(job, IndexedSource{job.sourceEntries}, IndexedTarget{job.nearest});
}

Result ConvertNearestColor(const ConvertJob& job) {
    Result status = ResultOk;
    WithDirectPixel(job.sourceLayout.bytesPerPixel, [&](auto source) {
        using S = decltype(source);
        status = RunPlain(job, DirectSource<S>{&job.sourceLayout}, IndexedTarget{job.nearest});
    });
    return status;
}

Result ConvertDitherNearest(const ConvertJob& job) {
    Result status = ResultOk;
    WithDirectPixel(job.sourceLayout.bytesPerPixel, [&](auto source) {
        using S = decltype(source);
        status = RunDithered(job, DirectSource<S>{&job.sourceLayout}, IndexedTarget{job.nearest});
    });
    return status;
}

Result ConvertLookupPack(const ConvertJob& job) {
    Result status = ResultOk;
    WithDirectPixel(job.targetLayout.bytesPerPixel, [&](auto target) {
        using T = decltype(target);
        status = RunPlain(job, IndexedSource{job.sourceEntries}, DirectTarget<T>{&job.targetLayout});
    });
    return status;
}

Result ConvertDitherPack(const ConvertJob& job) {
    Result status = ResultOk;
    WithDirectPixel(job.targetLayout.bytesPerPixel, [&](auto target) {
        using T = decltype(target);
        status =
            RunDithered(job, IndexedSource{job.sourceEntries}, DirectTarget<T>{&job.targetLayout});
    });
    return status;
}

Result ConvertRepack(const ConvertJob& job) {
    Result status = ResultOk;
    WithDirectPixel(job.sourceLayout.bytesPerPixel, [&](auto source) {
        WithDirectPixel(job.targetLayout.bytesPerPixel, [&](auto target) {
            using S = decltype(source);
            using T = decltype(target);
            status = RunPlain(job, DirectSource<S>{&job.sourceLayout},
                              DirectTarget<T>{&job.targetLayout});
        });
    });
    return status;
}

Result ConvertDitherRepack(const ConvertJob& job) {
    Result status = ResultOk;
    WithDirectPixel(job.sourceLayout.bytesPerPixel, [&](auto source) {
        WithDirectPixel(job.targetLayout.bytesPerPixel, [&](auto target) {
            using S = decltype(source);
            using T = decltype(target);
            status = RunDithered(job, DirectSource<S>{&job.sourceLayout},
                                 DirectTarget<T>{&job.targetLayout});
        });
    });
    return status;
}

}  // namespace gfx
