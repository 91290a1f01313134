// Runs the sample installer and the sample product as the launcher does and checks what they
// leave behind: the installed copy, the registry value, the log lines and the product's window.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* kSettingsKey = "SOFTWARE\\Zandor SOFTWARE\\Velmora\\Primavex 1.0\\SETTINGS";

std::string Env(const char* name) {
    char buffer[2048];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return (length == 0 || length >= sizeof(buffer)) ? std::string() : std::string(buffer, length);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line is not ended with CR LF";
    return lines;
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof(buffer), buffer);
    return std::string(buffer, length);
}

// Reads EXEPATH; returns false when the key or value is missing.
bool ReadExePath(std::string* value, DWORD* type) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[512] = {};
    DWORD size = sizeof(buffer) - 1;
    LONG status =
        RegQueryValueExA(key, "EXEPATH", nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    *value = buffer;
    return true;
}

void WriteExePath(const std::string& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "EXEPATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Windows can only be made with a display (under Wine: an X server).
bool CanCreateWindows() {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (probe) DestroyWindow(probe);
    return probe != nullptr;
}

class DiscProgramsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        programs_ = Env("DISC_PROGRAM_DIR");
        if (programs_.empty()) GTEST_SKIP() << "DISC_PROGRAM_DIR is not set";
        char full[MAX_PATH];
        DWORD length = GetFullPathNameA(programs_.c_str(), sizeof(full), full, nullptr);
        ASSERT_TRUE(length > 0 && length < sizeof(full));
        programs_.assign(full, length);
        if (programs_.back() != '\\') programs_ += '\\';

        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        char unique[MAX_PATH];
        GetTempFileNameA(temp, "dsc", 0, unique);
        DeleteFileA(unique);
        ASSERT_TRUE(CreateDirectoryA(unique, nullptr));
        scratch_ = std::string(unique) + "\\";
        log_ = scratch_ + "sample.log";
        savedDirectory_ = CurrentDirectory();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
        SetEnvironmentVariableA("VELMORA_SAMPLE_LOG", log_.c_str());
    }

    void TearDown() override {
        SetEnvironmentVariableA("VELMORA_SAMPLE_LOG", nullptr);
        SetEnvironmentVariableA("VELMORA_SAMPLE_INSTALL_DIR", nullptr);
        if (!savedDirectory_.empty()) SetCurrentDirectoryA(savedDirectory_.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
    }

    // Starts `commandLine` from `directory`, the way WinExec does (the program is looked up from
    // the caller's current directory), and returns its process.
    PROCESS_INFORMATION Start(const std::string& directory, const std::string& commandLine) {
        SetCurrentDirectoryA(directory.c_str());
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        std::string line = commandLine;
        BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process);
        SetCurrentDirectoryA(savedDirectory_.c_str());
        EXPECT_TRUE(ok) << commandLine << " did not start, error " << GetLastError();
        return process;
    }

    // Waits for the process to end by itself; returns its exit code, or -1 after `timeoutMs`.
    static long Finish(PROCESS_INFORMATION process, DWORD timeoutMs) {
        if (!process.hProcess) return -1;
        long code = -1;
        if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            DWORD exitCode = 0;
            GetExitCodeProcess(process.hProcess, &exitCode);
            code = static_cast<long>(exitCode);
        } else {
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    // The programs' folder seen as a disc: its parent is the root, the programs sit in a
    // subfolder, as "setup\setup.exe" sits on the real disc.
    std::string DiscRoot() const {
        std::string root = programs_.substr(0, programs_.size() - 1);
        return root.substr(0, root.find_last_of("\\/"));
    }
    std::string ProgramsFolderName() const {
        std::string root = programs_.substr(0, programs_.size() - 1);
        return root.substr(root.find_last_of("\\/") + 1);
    }

    std::string programs_;
    std::string scratch_;
    std::string log_;
    std::string savedDirectory_;
};

TEST_F(DiscProgramsTest, SetupInstallsTheProductAndRecordsItsFolder) {
    // A nested folder that does not exist yet, given without its trailing backslash.
    std::string folder = scratch_ + "Program Files\\Velmora";
    SetEnvironmentVariableA("VELMORA_SAMPLE_INSTALL_DIR", folder.c_str());
    std::string command = ProgramsFolderName() + "\\setup.exe";

    DWORD start = GetTickCount();
    EXPECT_EQ(Finish(Start(DiscRoot(), command), 15000), 0);
    EXPECT_LT(GetTickCount() - start, 10000u) << "setup did not close its report by itself";

    std::string installed = ReadAll(folder + "\\Velmora.exe");
    EXPECT_FALSE(installed.empty());
    EXPECT_EQ(installed, ReadAll(programs_ + "Velmora.exe"));

    std::string value;
    DWORD type = 0;
    ASSERT_TRUE(ReadExePath(&value, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value, folder + "\\");

    std::vector<std::string> lines = Lines(ReadAll(log_));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "setup|" + DiscRoot() + "|" + command);
}

TEST_F(DiscProgramsTest, SetupNormalisesTheFolderItRecords) {
    // Forward slashes and doubled trailing separators still give one folder with one backslash.
    std::string folder = scratch_ + "a/b//";
    SetEnvironmentVariableA("VELMORA_SAMPLE_INSTALL_DIR", folder.c_str());
    EXPECT_EQ(Finish(Start(programs_, "\"" + programs_ + "setup.exe\""), 15000), 0);

    std::string value;
    DWORD type = 0;
    ASSERT_TRUE(ReadExePath(&value, &type));
    EXPECT_EQ(value, scratch_ + "a\\b\\");
    EXPECT_FALSE(ReadAll(value + "Velmora.exe").empty());
}

TEST_F(DiscProgramsTest, SetupFailsWithoutTouchingTheRegistryWhenTheProductIsMissing) {
    // setup.exe alone in a folder: there is nothing to copy.
    std::string lonely = scratch_ + "lonely\\";
    ASSERT_TRUE(CreateDirectoryA(lonely.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileA((programs_ + "setup.exe").c_str(), (lonely + "setup.exe").c_str(), FALSE));
    WriteExePath("C:\\earlier\\");
    SetEnvironmentVariableA("VELMORA_SAMPLE_INSTALL_DIR", (scratch_ + "target").c_str());

    EXPECT_EQ(Finish(Start(lonely, "setup.exe"), 15000), 1);

    std::string value;
    DWORD type = 0;
    ASSERT_TRUE(ReadExePath(&value, &type));
    EXPECT_EQ(value, "C:\\earlier\\");
    EXPECT_EQ(Lines(ReadAll(log_)).size(), 1u) << "setup logs its start even when it fails";
}

TEST_F(DiscProgramsTest, ProductShowsItsWindowAndLogsAfterSetup) {
    if (!CanCreateWindows()) GTEST_SKIP() << "no display for the product's window";
    std::string folder = scratch_ + "installed\\";
    SetEnvironmentVariableA("VELMORA_SAMPLE_INSTALL_DIR", folder.c_str());
    ASSERT_EQ(Finish(Start(programs_, "setup.exe"), 15000), 0);

    // The launcher's way of starting the product: from its folder, by its full name.
    std::string folderNoSlash = folder.substr(0, folder.size() - 1);
    std::string command = folder + "Velmora.exe";
    PROCESS_INFORMATION product = Start(folderNoSlash, command);

    HWND window = nullptr;
    for (int i = 0; i < 100 && !window; ++i) {
        Sleep(50);
        window = FindWindowA("VelmoraSampleProduct", "Velmora");
    }
    ASSERT_NE(window, nullptr) << "the product's window did not appear";
    RECT client;
    GetClientRect(window, &client);
    EXPECT_GT(client.right, 100);
    EXPECT_GT(client.bottom, 50);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Finish(product, 10000), 0);

    std::vector<std::string> lines = Lines(ReadAll(log_));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 6), "setup|");
    EXPECT_EQ(lines[1], "Velmora|" + folderNoSlash + "|" + command);
}

TEST_F(DiscProgramsTest, ProductClosesByItselfUnderTest) {
    if (!CanCreateWindows()) GTEST_SKIP() << "no display for the product's window";
    DWORD start = GetTickCount();
    EXPECT_EQ(Finish(Start(programs_, "Velmora.exe"), 15000), 0);
    EXPECT_GE(GetTickCount() - start, 3000u) << "closed too early to be looked at";
}

}  // namespace
