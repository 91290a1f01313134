#pragma once

#include <cstddef>
#include <string>

// What the launcher's decisions need from the operating system: one registry read, a file
// existence test, the current directory and starting a program. The program supplies the real
// one; tests supply a recording fake.
class LaunchSystem {
  public:
    virtual ~LaunchSystem() = default;

    // Reads a value below HKEY_LOCAL_MACHINE into `buffer` (at most `size` bytes, no terminator
    // added). False when the key or value is missing or the data does not fit the buffer.
    virtual bool ReadMachineValue(const std::string& subkey, const std::string& valueName,
                                  char* buffer, size_t size) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool ChangeDirectory(const std::string& path) = 0;
    // Starts a program from a command line with a show command, without waiting for it.
    virtual bool StartProgram(const std::string& commandLine, int showCommand) = 0;
};
