// gfx adjust: contrast, inversion and hue, saturation and lightness of a picture.
#include <memory>
#include <optional>
#include <string>

#include "graphics/image/memory_dib_surface.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/commands.h"
#include "tools/gfx/image_files.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

struct AdjustOptions {
    std::string input, output, maskFile;
    std::optional<int32_t> contrast, hue, saturation, lightness;
    bool invert = false;
};

int RunAdjust(const AdjustOptions& options) {
    const bool colour = options.hue || options.saturation || options.lightness;
    if (!colour && !options.contrast && !options.invert) {
        return ReportUsage("adjust needs --contrast, --invert, --hue, --saturation or --lightness");
    }
    if (!options.maskFile.empty() && !colour && !options.contrast) {
        return ReportUsage("--mask applies to --contrast, --hue, --saturation and --lightness");
    }
    int code = CheckOutputPath(options.output, {options.input, options.maskFile});
    if (code != EXIT_OK) return code;
    MemoryDibSurface picture, mask;
    if ((code = LoadPicture(options.input, &picture)) != EXIT_OK) return code;
    if (!options.maskFile.empty() && (code = LoadMask(options.maskFile, &mask)) != EXIT_OK) {
        return code;
    }
    Surface* maskSurface = options.maskFile.empty() ? nullptr : &mask;
    const std::string needs = "a 24 or 32-bit picture and a mask of its size";
    if (colour) {
        const Result status = picture.AdjustHueSaturation(
            options.hue.value_or(0), options.saturation.value_or(0), options.lightness.value_or(0),
            maskSurface);
        if (status != ResultOk) {
            return ReportFailure(options.input, status, "hue, saturation and lightness need " + needs);
        }
    }
    if (options.contrast) {
        const Result status = picture.AdjustContrast(*options.contrast, maskSurface);
        if (status != ResultOk) return ReportFailure(options.input, status, "contrast needs " + needs);
    }
    if (options.invert) {
        const Result status = picture.Invert();
        if (status != ResultOk) return ReportFailure(options.input, status, "cannot invert");
    }
    return SavePicture(picture, options.output);
}

}  // namespace

void AddAdjustCommand(CLI::App& app, int* exitCode) {
    auto options = std::make_shared<AdjustOptions>();
    CLI::App* command =
        app.add_subcommand("adjust", "Change contrast, hue, saturation or lightness, or invert");
    AddFileArgument(command, "IN", options->input, "Picture to read");
    AddFileArgument(command, "OUT", options->output, "File to write the result to");
    command->add_option("--contrast", options->contrast, "Contrast, -100 (flat) to 100")
        ->check(CLI::Range(-100, 100))
        ->option_text("N");
    command->add_flag("--invert", options->invert, "Complement every byte (a negative)");
    command->add_option("--hue", options->hue, "Turn the hue by this many degrees")->option_text("DEGREES");
    command->add_option("--saturation", options->saturation,
                        "Change the saturation by this percentage (-100 removes all colour)")
        ->option_text("PERCENT");
    command->add_option("--lightness", options->lightness,
                        "Add this percentage of full brightness to every colour")
        ->option_text("PERCENT");
    command->add_option("-m,--mask", options->maskFile,
                        "Change only where this picture is not black (the contrast is weighted by it)")
        ->option_text("FILE");
    command->footer(
        "Hue, saturation and lightness are applied first, then contrast, then inversion. All\n"
        "but inversion need a 24 or 32-bit picture (see 'gfx convert --format'), and a mask of\n"
        "the picture's size.");
    command->callback([options, exitCode] { *exitCode = RunAdjust(*options); });
}

}  // namespace gfx_tool
