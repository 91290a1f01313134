// gfx: reads, converts, encodes and draws pictures with the graphics library.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/gfx/commands.h"
#include "tools/gfx/tool_messages.h"

using namespace gfx_tool;

namespace {

// CLI11's errors, as one line naming the program, then the pointer to --help.
std::string FailureMessage(const CLI::App*, const CLI::Error& error) {
    return std::string("gfx: ") + error.what() + "\nRun with --help for more information.\n";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Reads, converts, encodes and draws pictures: Windows bitmaps, JPEG files, zbm\n"
                 "containers and PNG files.",
                 "gfx"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "gfx 1.0");
    app.failure_message(FailureMessage);
    app.footer(
        "Pictures are read by extension: .jpg and .jpeg as JPEG, .zbm as containers, .png as PNG,\n"
        "anything else as a bitmap. Outputs are written as .bmp, .zbm or .png; an output is never\n"
        "one of the inputs, and a failed command leaves no output behind.\n"
        "\n"
        "Exit status: 0 on success, 1 when a file or the library refuses, 2 for a command line\n"
        "that asks for something impossible.\n"
        "\n"
        "Run 'gfx COMMAND --help' for the options of a command.");

    int exitCode = EXIT_OK;
    AddInfoCommand(app, &exitCode);
    AddConvertCommand(app, &exitCode);
    AddEncodeCommands(app, &exitCode);
    AddBlitCommand(app, &exitCode);
    AddFillCommand(app, &exitCode);
    AddLineCommand(app, &exitCode);
    AddAdjustCommand(app, &exitCode);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? EXIT_OK : EXIT_USAGE;
    }
    return exitCode;
}
