#include "launcher/core/launch_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// Serves one registry value and a set of files, and records every directory change and program
// start in order.
class FakeLaunchSystem : public LaunchSystem {
  public:
    std::optional<std::string> storedValue;  // raw bytes, terminator included when wanted
    std::set<std::string> files;
    bool directoriesExist = true;
    std::vector<std::string> calls;
    std::string readKey;
    std::string readValueName;

    bool ReadMachineValue(const std::string& subkey, const std::string& valueName, char* buffer,
                          size_t size) override {
        readKey = subkey;
        readValueName = valueName;
        if (!storedValue || storedValue->size() > size) return false;
        std::memcpy(buffer, storedValue->data(), storedValue->size());
        return true;
    }
    bool FileExists(const std::string& path) override {
        calls.push_back("exists " + path);
        return files.count(path) != 0;
    }
    bool ChangeDirectory(const std::string& path) override {
        calls.push_back("cd " + path);
        return directoriesExist;
    }
    bool StartProgram(const std::string& commandLine, int showCommand) override {
        calls.push_back("start " + commandLine + " show " + std::to_string(showCommand));
        return true;
    }

    void StoreString(const std::string& value) { storedValue = value + '\0'; }
    size_t Starts() const {
        return std::count_if(calls.begin(), calls.end(),
                             [](const std::string& call) { return call.rfind("start ", 0) == 0; });
    }
};

TEST(LaunchActions, ReadsTheProductFolderFromTheSettingsKey) {
    FakeLaunchSystem system;
    system.StoreString("C:\\Apps\\Velmora\\");
    std::string folder;
    ASSERT_TRUE(ReadProductFolder(system, folder));
    EXPECT_EQ(folder, "C:\\Apps\\Velmora\\");
    EXPECT_EQ(system.readKey, "SOFTWARE\\Zandor SOFTWARE\\Velmora\\Primavex 1.0\\SETTINGS");
    EXPECT_EQ(system.readValueName, "EXEPATH");
}

TEST(LaunchActions, FolderValueLengthLimits) {
    FakeLaunchSystem system;
    std::string folder;

    // 255 characters and the terminator fill the buffer exactly.
    system.StoreString(std::string(255, 'a'));
    ASSERT_TRUE(ReadProductFolder(system, folder));
    EXPECT_EQ(folder.size(), 255u);

    // 256 bytes without a terminator: not a string that fits, refused rather than cut.
    system.storedValue = std::string(256, 'b');
    EXPECT_FALSE(ReadProductFolder(system, folder));

    // Longer than the buffer: the read itself fails.
    system.StoreString(std::string(256, 'c'));
    EXPECT_FALSE(ReadProductFolder(system, folder));

    // Shorter data without a terminator still ends inside the buffer.
    system.storedValue = std::string("D:\\Game");
    ASSERT_TRUE(ReadProductFolder(system, folder));
    EXPECT_EQ(folder, "D:\\Game");

    // Bytes after an early terminator are not part of the folder.
    system.storedValue = std::string("E:\\X\\\0junk", 10);
    ASSERT_TRUE(ReadProductFolder(system, folder));
    EXPECT_EQ(folder, "E:\\X\\");
}

TEST(LaunchActions, ProductPathInsertsOnlyAMissingSeparator) {
    EXPECT_EQ(ProductExecutablePath("C:\\Apps\\Velmora\\"), "C:\\Apps\\Velmora\\Velmora.exe");
    EXPECT_EQ(ProductExecutablePath("C:\\Apps\\Velmora"), "C:\\Apps\\Velmora\\Velmora.exe");
    EXPECT_EQ(ProductExecutablePath(""), "\\Velmora.exe");
}

TEST(LaunchActions, InstalledTestAlwaysInsertsTheSeparator) {
    FakeLaunchSystem system;
    EXPECT_FALSE(IsInstalled(system)) << "no value recorded";
    EXPECT_TRUE(system.calls.empty()) << "no file is looked for without a folder";

    system.StoreString("C:\\Apps\\Velmora\\");
    system.files = {"C:\\Apps\\Velmora\\\\Velmora.exe"};
    EXPECT_TRUE(IsInstalled(system));

    system.StoreString("C:\\Apps\\Velmora");
    system.files = {"C:\\Apps\\Velmora\\Velmora.exe"};
    EXPECT_TRUE(IsInstalled(system));

    system.files.clear();
    EXPECT_FALSE(IsInstalled(system)) << "folder recorded but the executable was removed";

    system.storedValue = std::string(256, 'x');
    system.files = {std::string(256, 'x') + "\\Velmora.exe"};
    EXPECT_FALSE(IsInstalled(system)) << "unterminated value";
}

TEST(LaunchActions, InstallerRunsInsideSetupAndComesBack) {
    FakeLaunchSystem system;
    StartInstaller(system);
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{"cd setup", "start setup\\setup.exe show 5", "cd .."}));

    // Without a setup folder the launcher does not step above its own folder.
    FakeLaunchSystem missing;
    missing.directoriesExist = false;
    StartInstaller(missing);
    EXPECT_EQ(missing.calls,
              (std::vector<std::string>{"cd setup", "start setup\\setup.exe show 5"}));
}

TEST(LaunchActions, ProductStartsQuotedInItsOwnFolder) {
    FakeLaunchSystem system;
    system.StoreString("C:\\Program Files\\Velmora\\");
    StartProduct(system);
    EXPECT_EQ(system.calls, (std::vector<std::string>{
                                "cd C:\\Program Files\\Velmora\\",
                                "start \"C:\\Program Files\\Velmora\\Velmora.exe\" show 5"}));
    EXPECT_EQ(system.calls.end(),
              std::find_if(system.calls.begin(), system.calls.end(),
                           [](const std::string& c) { return c.rfind("exists", 0) == 0; }))
        << "the executable is not looked for again";

    FakeLaunchSystem noSeparator;
    noSeparator.StoreString("C:\\Apps\\Velmora");
    StartProduct(noSeparator);
    ASSERT_EQ(noSeparator.calls.size(), 2u);
    EXPECT_EQ(noSeparator.calls[1], "start \"C:\\Apps\\Velmora\\Velmora.exe\" show 5");
}

TEST(LaunchActions, ProductStartsNothingWithoutAUsableFolder) {
    FakeLaunchSystem unread;
    StartProduct(unread);
    EXPECT_TRUE(unread.calls.empty());

    FakeLaunchSystem unterminated;
    unterminated.storedValue = std::string(256, 'p');
    StartProduct(unterminated);
    EXPECT_TRUE(unterminated.calls.empty());

    // A quote would end the quoted path early and hand the rest over as another command.
    FakeLaunchSystem quoted;
    quoted.StoreString("C:\\x\" & evil \"");
    StartProduct(quoted);
    EXPECT_EQ(quoted.Starts(), 0u);
}

}  // namespace
