#pragma once

#include <string>
#include <vector>

#include "graphics/image/memory_dib_surface.h"

namespace gfx_tool {

// The kinds of picture file the tool reads, chosen by extension as the library chooses: "jpg" and
// "jpeg" are JPEG, "zbm" the container, "png" PNG, anything else a Windows bitmap. Only bitmaps,
// containers and PNG are written.
enum class FileKind { Bitmap, Jpeg, Container, Png };

FileKind KindOfPath(const std::string& path);
const char* KindName(FileKind kind);

// Reads the picture at `path` into `surface` as a private, writable copy. With `decode` an
// encoded bitmap is decoded to plain pixels. On failure the one-line message is printed and
// EXIT_FAILED returned; EXIT_OK otherwise.
int LoadPicture(const std::string& path, gfx::MemoryDibSurface* surface, bool decode = true);

// Reads a mask for the blend and adjustment modes: an 8-bit picture as it is (its indices are
// the weights), a 16, 24 or 32-bit picture as the brightness of each pixel. Prints the message
// and returns EXIT_FAILED for anything else.
int LoadMask(const std::string& path, gfx::MemoryDibSurface* mask);

// Writes `surface` to `path` in the kind its extension names. Prints the message and returns
// EXIT_FAILED on failure; nothing is left at `path` then.
int SavePicture(gfx::Surface& surface, const std::string& path);

// The checks on an output path made before any work: a kind the tool writes (`bitmapOnly` for the
// encoded bitmaps of encode), an existing folder, and none of `inputs` (the tool never overwrites
// what it reads). Prints the message and returns its exit code, or EXIT_OK.
int CheckOutputPath(const std::string& output, const std::vector<std::string>& inputs,
                    bool bitmapOnly = false);

}  // namespace gfx_tool
