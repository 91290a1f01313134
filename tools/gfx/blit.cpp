// gfx blit: draws a rectangle of one picture onto another through the library's Blit.
#include <memory>
#include <string>
#include <vector>

#include "graphics/core/blit_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/palette.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/commands.h"
#include "tools/gfx/convert_picture.h"
#include "tools/gfx/image_files.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

constexpr uint32_t kLevelModes = BLIT_STIPPLE | BLIT_ALPHA;
constexpr uint32_t kMaskModes = BLIT_MASK_ALPHA | BLIT_MASK_STIPPLE | BLIT_MASK_PREMUL;

struct BlitOptions {
    std::string source, destination, output;
    std::string from, to, sourceKey, destKey, maskFile;
    std::vector<std::string> flagLists;
    int32_t level = -1;
    bool smooth = false;
};

// The flags the options ask for, with the modes that --level, --mask and the keys imply, or a
// usage error.
int GatherFlags(const BlitOptions& options, uint32_t* flags) {
    *flags = options.smooth ? BLIT_SMOOTH : 0;
    for (const std::string& list : options.flagLists) {
        uint32_t more = 0;
        ParseBlitFlags(list, &more);
        *flags |= more;
    }
    if (!options.sourceKey.empty()) *flags |= BLIT_SRCKEY;
    if (!options.destKey.empty()) *flags |= BLIT_DESTKEY;
    const bool level = options.level >= 0, mask = !options.maskFile.empty();
    if (level && mask) return ReportUsage("--level and --mask exclude each other");
    if (level && !(*flags & kLevelModes)) *flags |= BLIT_ALPHA;
    if (mask && !(*flags & kMaskModes)) *flags |= BLIT_MASK_ALPHA;
    if ((*flags & kLevelModes) && !level && !mask) {
        return ReportUsage("the stipple and alpha modes need --level");
    }
    if ((*flags & kMaskModes) && !mask) return ReportUsage("the mask modes need --mask");
    return EXIT_OK;
}

int RunBlit(const BlitOptions& options) {
    uint32_t flags = 0;
    int code = GatherFlags(options, &flags);
    if (code != EXIT_OK) return code;
    code = CheckOutputPath(options.output, {options.source, options.destination, options.maskFile});
    if (code != EXIT_OK) return code;

    MemoryDibSurface source, destination, mask;
    if ((code = LoadPicture(options.source, &source)) != EXIT_OK) return code;
    if ((code = LoadPicture(options.destination, &destination)) != EXIT_OK) return code;
    if (!options.maskFile.empty() && (code = LoadMask(options.maskFile, &mask)) != EXIT_OK) {
        return code;
    }
    // Blit draws between pictures of one format: the source takes the destination's.
    if (source.GetFormat() != destination.GetFormat()) {
        Palette* palette = IsIndexedFormat(destination.GetFormat())
                               ? WidenedPaletteOf(destination, source)
                               : nullptr;
        code = ConvertPicture(source, destination.GetFormat(), palette, 0, options.source);
        if (palette) palette->Release();
        if (code != EXIT_OK) return code;
    }

    Rect from{0, 0, source.GetWidth(), source.GetHeight()};
    if (!options.from.empty()) ParseRect(options.from, &from);
    Rect to{0, 0, from.width, from.height};
    if (!options.to.empty()) {
        bool sized = false;
        ParsePlacement(options.to, &to, &sized);
        if (!sized) to.width = from.width, to.height = from.height;
    }
    if (!options.sourceKey.empty()) {
        Colour key;
        ParseColour(options.sourceKey, &key);
        source.SetSourceKey(PixelValueFor(key, source));
    }
    if (!options.destKey.empty()) {
        Colour key;
        ParseColour(options.destKey, &key);
        destination.SetDestKey(PixelValueFor(key, destination));
    }
    BlitExtra extra = 0;
    if (options.level >= 0) extra = BlitExtra(options.level);
    if (!options.maskFile.empty()) extra = reinterpret_cast<BlitExtra>(static_cast<Surface*>(&mask));

    to = InMemoryRows(to, destination);
    from = InMemoryRows(from, source);
    const Result status = source.Blit(&destination, to.x, to.y, to.width, to.height, from.x,
                                      from.y, from.width, from.height, flags, extra);
    if (status != ResultOk) return ReportFailure(options.source, status, "the blit was refused");
    return SavePicture(destination, options.output);
}

}  // namespace

void AddBlitCommand(CLI::App& app, int* exitCode) {
    auto options = std::make_shared<BlitOptions>();
    CLI::App* command = app.add_subcommand("blit", "Draw a rectangle of one picture onto another");
    AddFileArgument(command, "SRC", options->source, "Picture to draw from");
    AddFileArgument(command, "DST", options->destination, "Picture to draw onto");
    AddFileArgument(command, "OUT", options->output, "File to write the result to");
    command->add_option("-s,--from", options->from, "Source rectangle (default: all of SRC)")
        ->check(RectCheck())
        ->option_text("X,Y,W,H");
    command->add_option("-d,--to", options->to,
                        "Destination place, or rectangle to scale into (default: 0,0)")
        ->check(PlacementCheck())
        ->option_text("X,Y[,W,H]");
    command->add_option("-f,--flags", options->flagLists,
                        "Blit flags, comma-separated: " + BlitFlagNameList() +
                            " (the BLIT_ names work too); may be repeated")
        ->check(BlitFlagsCheck())
        ->option_text("FLAGS");
    command->add_option("-k,--src-key", options->sourceKey,
                        "Source pixels of this colour are not drawn (implies srckey)")
        ->check(ColourCheck())
        ->option_text("COLOUR");
    command->add_option("-K,--dest-key", options->destKey,
                        "Only destination pixels of this colour are drawn over (implies destkey)")
        ->check(ColourCheck())
        ->option_text("COLOUR");
    command->add_option("-l,--level", options->level,
                        "Level of the stipple and alpha modes, 0 to 256 (implies alpha)")
        ->check(CLI::Range(0, 256))
        ->option_text("N");
    command->add_option("-m,--mask", options->maskFile,
                        "Per-pixel weights for the mask modes (implies mask-alpha)")
        ->option_text("FILE");
    command->add_flag("--smooth", options->smooth, "Filtered scaling (the smooth flag)");
    command->footer(
        "Rectangles are X,Y,W,H in pixels from the top-left corner of each picture; when the\n"
        "two sizes differ the source is scaled. SRC is converted to the format of DST first.\n"
        "Colours are #rrggbb (the nearest palette entry in indexed pictures) or a raw pixel\n"
        "value such as 0x7C00. A mask is an 8-bit picture whose indices are the weights, or a\n"
        "direct picture whose brightness is, addressed at source coordinates.");
    command->callback([options, exitCode] { *exitCode = RunBlit(*options); });
}

}  // namespace gfx_tool
