// One run of the launcher from a private copy of the disc.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A line that a sample program (installer or product) appended to the start log.
struct StartedProgram {
    std::string name;
    std::string directory;
    std::string commandLine;
};

// Copies the assembled disc into a fresh temporary folder, starts launcher.exe there with the disc
// root as its current directory and with the sample programs' log pointed into the folder, and on
// destruction ends whatever is still running from the folder and removes it.
class LauncherSession {
  public:
    LauncherSession();
    ~LauncherSession();
    LauncherSession(const LauncherSession&) = delete;
    LauncherSession& operator=(const LauncherSession&) = delete;

    // Copies the disc; without the video when asked. Returns false (with a reason) on failure.
    bool PrepareDisc(bool withVideo, std::string* error);
    // Makes a product folder below the session folder (the name may contain spaces) holding a copy
    // of the disc's sample product. Returns its path without a trailing backslash.
    std::string MakeProductFolder(const std::string& name);

    // Starts the launcher (again, after an earlier run has ended, if need be).
    bool Start(std::string* error);
    bool IsRunning() const;
    // Waits up to timeoutMs for the launcher process to end.
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ProcessId() const { return processId_; }

    const std::string& DiscDir() const { return discDir_; }
    const std::string& Folder() const { return folder_; }
    // Where the sample installer puts the product.
    std::string InstallFolder() const { return folder_ + "\\installed"; }
    std::vector<StartedProgram> ReadLog() const;
    // Polls the log until it holds at least `count` lines or the time is up.
    std::vector<StartedProgram> WaitForLog(size_t count, DWORD timeoutMs) const;

    // Whether a process runs the program at this path.
    bool IsProgramRunning(const std::string& path) const;

  private:
    // Calls `visit` with each process's image path and a handle that may terminate it.
    template <typename Visit>
    static void ForEachProcess(Visit visit);
    void EndProgramsFromFolder();

    std::string folder_;
    std::string discDir_;
    std::string logPath_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

}  // namespace e2e
