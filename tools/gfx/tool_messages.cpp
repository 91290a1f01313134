#include "tools/gfx/tool_messages.h"

#include <cstdio>

#include "graphics/core/result_name.h"

namespace gfx_tool {

int ReportFailure(const std::string& file, gfx::Result status, const std::string& what) {
    std::fprintf(stderr, "gfx: %s: %s: %s\n", file.c_str(), gfx::ResultName(status), what.c_str());
    return EXIT_FAILED;
}

int ReportUsage(const std::string& message) {
    std::fprintf(stderr, "gfx: %s\nRun with --help for more information.\n", message.c_str());
    return EXIT_USAGE;
}

}  // namespace gfx_tool
