// Shared by the run-length fuzz targets: whatever a decoder accepts must be a whole image that
// its encoder (where it takes the image) turns back into the same rows.
#pragma once

#include <cstdint>
#include <cstring>

#include "graphics/core/dib_header.h"
#include "graphics/image/dib_codec_table.h"
#include "graphics/platform/global_memory.h"

inline void CheckDecodedRoundTrip(gfx::DibCodecFunction decode, gfx::DibCodecFunction encode,
                                  const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return;
    // A few bytes can rightly describe a picture of gigabytes (a packed row table whose rows all
    // share one long fill); such pictures only slow the search and run into the memory limit.
    gfx::DibHeader header;
    if (gfx::ReadDibHeader(data, size, &header)) {
        header.biCompression = gfx::COMPRESSION_NONE;
        if (uint64_t{gfx::PackedDibSize(header)} > (uint64_t{64} << 20)) return;
    }
    const gfx::CodedDib plain = decode(data, static_cast<uint32_t>(size));
    if (!plain.block) return;
    const auto* plainBytes = static_cast<const uint8_t*>(plain.block);
    const gfx::CodedDib coded = encode(plainBytes, plain.size);
    if (coded.block) {
        const gfx::CodedDib back = decode(static_cast<const uint8_t*>(coded.block), coded.size);
        if (!back.block || back.size != plain.size ||
            std::memcmp(back.block, plain.block, plain.size) != 0) {
            __builtin_trap();
        }
        gfx::GlobalMemoryFree(back.block);
    }
    gfx::GlobalMemoryFree(coded.block);
    gfx::GlobalMemoryFree(plain.block);
}
