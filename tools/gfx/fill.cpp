// gfx fill: paints a rectangle of one colour.
#include <memory>
#include <string>

#include "graphics/image/memory_dib_surface.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/commands.h"
#include "tools/gfx/image_files.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

struct FillOptions {
    std::string input, output, rect, colour;
};

int RunFill(const FillOptions& options) {
    int code = CheckOutputPath(options.output, {options.input});
    if (code != EXIT_OK) return code;
    MemoryDibSurface picture;
    if ((code = LoadPicture(options.input, &picture)) != EXIT_OK) return code;
    Rect rect{0, 0, picture.GetWidth(), picture.GetHeight()};
    if (!options.rect.empty()) ParseRect(options.rect, &rect);
    Colour colour;
    ParseColour(options.colour, &colour);
    rect = InMemoryRows(rect, picture);
    const Result status =
        picture.FillRect(rect.x, rect.y, rect.width, rect.height, PixelValueFor(colour, picture));
    if (status != ResultOk) return ReportFailure(options.input, status, "cannot fill");
    return SavePicture(picture, options.output);
}

}  // namespace

void AddFillCommand(CLI::App& app, int* exitCode) {
    auto options = std::make_shared<FillOptions>();
    CLI::App* command = app.add_subcommand("fill", "Paint a rectangle of one colour");
    AddFileArgument(command, "IN", options->input, "Picture to read");
    AddFileArgument(command, "OUT", options->output, "File to write the result to");
    command->add_option("-r,--rect", options->rect, "Rectangle to fill (default: the whole picture)")
        ->check(RectCheck())
        ->option_text("X,Y,W,H");
    command->add_option("-c,--colour", options->colour, "Colour: #rrggbb or a raw pixel value")
        ->required()
        ->check(ColourCheck())
        ->option_text("COLOUR");
    command->footer(
        "The rectangle counts from the top-left corner and is clipped to the picture. #rrggbb\n"
        "takes the nearest palette entry in indexed pictures; a number is stored as it is.");
    command->callback([options, exitCode] { *exitCode = RunFill(*options); });
}

}  // namespace gfx_tool
