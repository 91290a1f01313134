// Loads a picture, draws a small sprite onto it enlarged four times with its background colour
// keyed out, and writes the result as a bitmap file.
//
//     keyed_sprite PICTURE OUT.bmp
#include <cstdio>

#include "graphics/codec/bitmap_file_writer.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_format.h"
#include "graphics/core/result_name.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"

namespace {

constexpr uint32_t kKey = 0x00FF00FF;  // magenta: the sprite's background, never drawn

int Fail(const char* what, const char* file, gfx::Result status) {
    std::fprintf(stderr, "keyed_sprite: %s: %s: %s\n", file, what, gfx::ResultName(status));
    return 1;
}

// A 16 by 16 sprite: a yellow diamond with a dark outline on the key colour.
gfx::Result MakeSprite(gfx::MemoryDibSurface& sprite) {
    gfx::Result status = sprite.Create(16, 16, gfx::FMT_RGB32, 0, nullptr);
    if (status != gfx::ResultOk) return status;
    sprite.FillRect(0, 0, 16, 16, kKey);
    for (int32_t row = 0; row < 16; ++row) {
        const int32_t half = row < 8 ? row : 15 - row;
        sprite.DrawLine(7 - half, row, 8 + half, row, 0x00FFD020);
        sprite.SetPixelValue(7 - half, row, 0x00302010);
        sprite.SetPixelValue(8 + half, row, 0x00302010);
    }
    return sprite.SetSourceKey(kKey);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: keyed_sprite PICTURE OUT.bmp\n");
        return 2;
    }
    gfx::MemoryDibSurface picture;
    gfx::Result status = picture.Load(argv[1], gfx::LOAD_FROM_FILE | gfx::LOAD_COPY, nullptr,
                                      nullptr, nullptr, 0, nullptr);
    if (status != gfx::ResultOk) return Fail("cannot load", argv[1], status);
    // Whatever the picture's format, draw on 32-bit pixels.
    status = picture.ConvertFormat(gfx::FMT_RGB32, nullptr, 0, 0, nullptr, 0);
    if (status != gfx::ResultOk) return Fail("cannot convert", argv[1], status);

    gfx::MemoryDibSurface sprite;
    status = MakeSprite(sprite);
    if (status != gfx::ResultOk) return Fail("cannot make the sprite", argv[1], status);
    // Four times enlarged in the middle of the picture; clipped where the picture is smaller.
    const int32_t x = picture.GetWidth() / 2 - 32, y = picture.GetHeight() / 2 - 32;
    status = sprite.Blit(&picture, x, y, 64, 64, 0, 0, 16, 16, gfx::BLIT_SRCKEY, 0);
    if (status != gfx::ResultOk) return Fail("cannot draw the sprite", argv[1], status);

    status = gfx::SaveBitmapFile(picture, argv[2]);
    if (status != gfx::ResultOk) return Fail("cannot write", argv[2], status);
    std::printf("%s: %dx%d with the sprite at %d,%d\n", argv[2], picture.GetWidth(),
                picture.GetHeight(), x, y);
    return 0;
}
