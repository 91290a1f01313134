#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/e2e/gfx_tool/tool_run.h"

extern char** environ;

namespace {

std::string ReadAndRemove(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    unlink(path.c_str());
    return text;
}

}  // namespace

std::string ToolPath() {
    const char* path = std::getenv("GFX_TOOL");
    return path ? path : "";
}

ToolRun RunTool(const std::vector<std::string>& arguments) {
    ToolRun run;
    const std::string tool = ToolPath();
    char outName[] = "/tmp/gfx_tool_outXXXXXX";
    char errName[] = "/tmp/gfx_tool_errXXXXXX";
    const int out = mkstemp(outName), err = mkstemp(errName);
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out);
    close(err);
    run.out = ReadAndRemove(outName);
    run.err = ReadAndRemove(errName);
    return run;
}
