// gfx line: draws a one-pixel line.
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

struct LineOptions {
    std::string input, output, from, to, colour;
};

int RunLine(const LineOptions& options) {
    int code = CheckOutputPath(options.output, {options.input});
    if (code != EXIT_OK) return code;
    MemoryDibSurface picture;
    if ((code = LoadPicture(options.input, &picture)) != EXIT_OK) return code;
    Point from, to;
    ParsePoint(options.from, &from);
    ParsePoint(options.to, &to);
    Colour colour;
    ParseColour(options.colour, &colour);
    from = InMemoryRows(from, picture);
    to = InMemoryRows(to, picture);
    uint32_t value = PixelValueFor(colour, picture);
    // The 24-bit line routine stores the value's high byte first, so a colour given by name
    // is turned round to come out as named; a raw value is passed as it is.
    if (!colour.raw && picture.GetFormat() == FMT_RGB24) {
        value = (value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16 & 0xFF);
    }
    const Result status = picture.DrawLine(from.x, from.y, to.x, to.y, value);
    if (status != ResultOk) return ReportFailure(options.input, status, "cannot draw the line");
    return SavePicture(picture, options.output);
}

}  // namespace

void AddLineCommand(CLI::App& app, int* exitCode) {
    auto options = std::make_shared<LineOptions>();
    CLI::App* command = app.add_subcommand("line", "Draw a straight line one pixel wide");
    AddFileArgument(command, "IN", options->input, "Picture to read");
    AddFileArgument(command, "OUT", options->output, "File to write the result to");
    command->add_option("--from", options->from, "First end point")
        ->required()
        ->check(PointCheck())
        ->option_text("X,Y");
    command->add_option("--to", options->to, "End point, where the line stops (not drawn)")
        ->required()
        ->check(PointCheck())
        ->option_text("X,Y");
    command->add_option("-c,--colour", options->colour, "Colour: #rrggbb or a raw pixel value")
        ->required()
        ->check(ColourCheck())
        ->option_text("COLOUR");
    command->footer(
        "Points count from the top-left corner; the line is clipped to the picture and drawn on\n"
        "8, 16, 24 and 32-bit pictures.");
    command->callback([options, exitCode] { *exitCode = RunLine(*options); });
}

}  // namespace gfx_tool
