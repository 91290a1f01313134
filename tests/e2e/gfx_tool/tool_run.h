#pragma once

#include <string>
#include <vector>

// Runs the gfx program (its path in the environment variable GFX_TOOL) with these arguments and
// collects what it printed.
struct ToolRun {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

ToolRun RunTool(const std::vector<std::string>& arguments);

// Path of the program, as this platform names it; empty when GFX_TOOL is not set.
std::string ToolPath();
