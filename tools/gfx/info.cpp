// gfx info: what each picture file holds.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "graphics/core/dib_header.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/palette.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/commands.h"
#include "tools/gfx/image_files.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

struct InfoOptions {
    std::vector<std::string> files;
};

void PrintField(const char* name, const std::string& value) {
    std::printf("  %-9s %s\n", name, value.c_str());
}

int DescribeFile(const std::string& path) {
    MemoryDibSurface surface;
    const int loaded = LoadPicture(path, &surface, false);
    if (loaded != EXIT_OK) return loaded;

    DibHeader header{};
    ReadDibHeader(surface.GetDibHeader(), surface.GetDibLength(), &header);
    const PixelFormat format = surface.GetFormat();
    const uint64_t plainBytes = uint64_t(RowBytes(format, surface.GetWidth())) * surface.GetHeight();
    std::error_code error;
    const uintmax_t fileBytes = std::filesystem::file_size(path, error);

    std::printf("%s\n", path.c_str());
    PrintField("kind", KindName(KindOfPath(path)));
    PrintField("size", std::to_string(surface.GetWidth()) + " x " + std::to_string(surface.GetHeight()));
    PrintField("format", FormatName(format) + " (" + FormatDescription(format) + ")");
    if (const Palette* palette = surface.GetPalette()) {
        std::string entries = std::to_string(palette->GetEntryCount()) + " entries";
        if (KindOfPath(path) == FileKind::Bitmap && header.biClrUsed != 0 &&
            header.biClrUsed != palette->GetEntryCount()) {
            entries += " (" + std::to_string(header.biClrUsed) + " stored)";
        }
        PrintField("palette", entries);
    } else {
        PrintField("palette", "none");
    }
    if (surface.IsEncoded()) {
        PrintField("encoding", CompressionName(header.biCompression) + ", " +
                                   std::to_string(header.biSizeImage) + " bytes (" +
                                   std::to_string(plainBytes) + " plain)");
    } else {
        PrintField("encoding", "none, " + std::to_string(plainBytes) + " bytes");
    }
    if (!error) PrintField("file", std::to_string(fileBytes) + " bytes");
    PrintField("frames", std::to_string(surface.GetFrameCount()));
    return EXIT_OK;
}

int RunInfo(const InfoOptions& options) {
    int result = EXIT_OK;
    bool first = true;
    for (const std::string& path : options.files) {
        if (!first) std::printf("\n");
        first = false;
        std::fflush(stdout);
        if (DescribeFile(path) != EXIT_OK) result = EXIT_FAILED;
    }
    return result;
}

}  // namespace

void AddInfoCommand(CLI::App& app, int* exitCode) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* command = app.add_subcommand(
        "info", "Describe picture files: kind, size, format, palette, encoding and frames");
    AddFileArgument(command, "FILE", options->files, "Bitmap, JPEG, zbm or PNG files");
    command->footer(
        "For each file prints its kind, its size in pixels, its pixel format, the entries of its\n"
        "palette, its encoding with the sizes of the stored and the plain pixel data, the size of\n"
        "the file and the frames stacked in it. A file that cannot be read gets a message and\n"
        "makes the exit status 1; the others are still described.");
    command->callback([options, exitCode] { *exitCode = RunInfo(*options); });
}

}  // namespace gfx_tool
