#pragma once

#include <CLI/CLI.hpp>

namespace gfx_tool {

// Each adds one subcommand to `app`; when it runs, its exit code goes to `*exitCode`.
void AddInfoCommand(CLI::App& app, int* exitCode);
void AddConvertCommand(CLI::App& app, int* exitCode);
void AddEncodeCommands(CLI::App& app, int* exitCode);  // encode and decode
void AddBlitCommand(CLI::App& app, int* exitCode);
void AddFillCommand(CLI::App& app, int* exitCode);
void AddLineCommand(CLI::App& app, int* exitCode);
void AddAdjustCommand(CLI::App& app, int* exitCode);

}  // namespace gfx_tool
