// gfx convert: reads a picture and writes it in another file kind, pixel format or palette.
#include <memory>
#include <string>

#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/palette.h"
#include "graphics/raster/convert_flags.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/commands.h"
#include "tools/gfx/convert_picture.h"
#include "tools/gfx/image_files.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

struct ConvertOptions {
    std::string input, output, format, paletteFile;
    bool dither = false, tree = false;
};

// Releases a palette reference on every path.
struct PaletteReference {
    Palette* palette = nullptr;
    ~PaletteReference() {
        if (palette) palette->Release();
    }
};

int RunConvert(const ConvertOptions& options) {
    int code = CheckOutputPath(options.output, {options.input, options.paletteFile});
    if (code != EXIT_OK) return code;
    MemoryDibSurface picture;
    if ((code = LoadPicture(options.input, &picture)) != EXIT_OK) return code;

    PaletteReference palette;
    if (!options.paletteFile.empty()) {
        MemoryDibSurface source;
        if ((code = LoadPicture(options.paletteFile, &source)) != EXIT_OK) return code;
        palette.palette = WidenedPaletteOf(source, picture);
        if (!palette.palette) {
            return ReportFailure(options.paletteFile, ResultPaletteMismatch, "has no palette");
        }
    }
    PixelFormat format = picture.GetFormat();
    if (!options.format.empty()) {
        ParseFormatName(options.format, &format);
    } else if (palette.palette) {
        format = FMT_INDEX8;
    }
    if (format == FMT_INDEX8 && !palette.palette && !IsIndexedFormat(picture.GetFormat())) {
        palette.palette = ColourCubePalette(picture);
        if (!palette.palette) return ReportFailure(options.input, ResultInvalid, "out of memory");
    }
    if (format != picture.GetFormat() || palette.palette) {
        const uint32_t flags =
            (options.dither ? CONVERT_DITHER : 0) | (options.tree ? CONVERT_TREE_MATCH : 0);
        if ((code = ConvertPicture(picture, format, palette.palette, flags, options.input)) != EXIT_OK) {
            return code;
        }
    }
    return SavePicture(picture, options.output);
}

}  // namespace

void AddConvertCommand(CLI::App& app, int* exitCode) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Write a picture as another kind of file, pixel format or palette");
    AddFileArgument(command, "IN", options->input, "Picture to read (bitmap, JPEG, zbm or PNG)");
    AddFileArgument(command, "OUT", options->output, "File to write (.bmp, .zbm or .png)");
    command->add_option("-f,--format", options->format,
                        "Pixel format of OUT: " + FormatNameList() + " (default: that of IN)")
        ->check(FormatCheck())
        ->option_text("NAME");
    command->add_option("-p,--palette", options->paletteFile,
                        "Take the palette of this picture (implies --format 8)")
        ->option_text("FILE");
    command->add_flag("-d,--dither", options->dither, "Spread rounding errors to the neighbours");
    command->add_flag("-t,--tree", options->tree,
                      "Match colours through a colour tree instead of a full search");
    command->footer(
        "Without --format and --palette the pixels are written as they are. Pixels change format\n"
        "between 8 bits and the direct formats (rgb555 to 32); 1, 2 and 4-bit pictures are read\n"
        "and written, not converted. A direct picture made 8-bit without --palette gets a 6x6x6\n"
        "colour cube and a grey ramp. Encoded bitmaps are decoded first. PNG files hold 8-bit\n"
        "indexed, RGB or RGBA pixels: 16-bit pictures are written as RGB, 32-bit ones as RGBA\n"
        "when any pixel has a non-zero fourth byte.");
    command->callback([options, exitCode] { *exitCode = RunConvert(*options); });
}

}  // namespace gfx_tool
