// The three commands: what each starts, in which folder, and that the launcher then ends.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "tests/e2e/launcher_test.h"
#include "tests/e2e/top_windows.h"
#include "tests/e2e/user_input.h"

namespace e2e {
namespace {

std::string Normalized(std::string path) {
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

bool Contains(const std::string& text, const std::string& part) {
    return Normalized(text).find(Normalized(part)) != std::string::npos;
}

std::string Describe(const std::vector<StartedProgram>& log) {
    std::string text;
    for (const StartedProgram& line : log) {
        text += "\n  " + line.name + " | " + line.directory + " | " + line.commandLine;
    }
    return text.empty() ? " (nothing)" : text;
}

constexpr DWORD kEndTimeoutMs = 5000;
constexpr DWORD kStartTimeoutMs = 10000;

using CommandTest = LauncherTest;

TEST_F(CommandTest, InstallStartsTheInstallerInTheSetupFolderAndEnds) {
    StartLauncher();
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    ASSERT_TRUE(ButtonEnabled(launcher, kInstallId)) << "INSTALL is not enabled";
    ClickWindow(GetDlgItem(launcher, kInstallId));
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end after INSTALL";

    std::vector<StartedProgram> log = session_->WaitForLog(1, kStartTimeoutMs);
    ASSERT_EQ(log.size(), 1u) << "expected the installer to start once; started:" << Describe(log);
    EXPECT_TRUE(Contains(log[0].commandLine, "setup.exe")) << "started:" << Describe(log);
    EXPECT_EQ(Normalized(log[0].directory), Normalized(session_->DiscDir() + "\\setup"))
        << "the installer must run in the disc's setup folder";
}

struct RunCase {
    const char* name;
    const char* folder;
    bool trailingBackslash;
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

class RunCommandTest : public LauncherTest, public testing::WithParamInterface<RunCase> {};

TEST_P(RunCommandTest, RunStartsTheProductInItsOwnFolderAndEnds) {
    const RunCase& c = GetParam();
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(true, &error)) << error;
    std::string product = session_->MakeProductFolder(c.folder);
    ASSERT_TRUE(exePath_.Set(c.trailingBackslash ? product + "\\" : product));
    ASSERT_TRUE(session_->Start(&error)) << error;

    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    ASSERT_TRUE(ButtonEnabled(launcher, kRunId)) << "RUN is not enabled";
    ClickWindow(GetDlgItem(launcher, kRunId));
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end after RUN";

    std::vector<StartedProgram> log = session_->WaitForLog(1, kStartTimeoutMs);
    ASSERT_EQ(log.size(), 1u) << "expected the product to start once; started:" << Describe(log);
    EXPECT_TRUE(Contains(log[0].commandLine, product + "\\Velmora.exe"))
        << "started:" << Describe(log);
    EXPECT_EQ(Normalized(log[0].directory), Normalized(product))
        << "the product must run in its own folder";
}

INSTANTIATE_TEST_SUITE_P(
    ProductFolder, RunCommandTest,
    testing::Values(RunCase{"TrailingBackslash", "Velmora", true},
                    RunCase{"NoTrailingBackslash", "Velmora", false},
                    RunCase{"SpacesInPath", "Zandor Games\\Velmora Primavex", true}),
    [](const testing::TestParamInfo<RunCase>& info) { return info.param.name; });

enum class Leave { kExitButton, kEscapeKey, kCloseBox };

struct LeaveCase {
    const char* name;
    Leave how;
};

void PrintTo(const LeaveCase& c, std::ostream* out) { *out << c.name; }

class LeaveCommandTest : public LauncherTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveCommandTest, EndsTheLauncherWithoutStartingAnything) {
    // With the product installed, both INSTALL and RUN would have something to start.
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(true, &error)) << error;
    ASSERT_TRUE(exePath_.Set(session_->MakeProductFolder("Velmora") + "\\"));
    ASSERT_TRUE(session_->Start(&error)) << error;
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";

    switch (GetParam().how) {
        case Leave::kExitButton:
            ClickWindow(GetDlgItem(launcher, kExitId));
            break;
        case Leave::kEscapeKey:
            PressKey(launcher, VK_ESCAPE);
            break;
        case Leave::kCloseBox:
            PostMessageA(launcher, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end";
    Sleep(1000);  // anything started would have logged by now
    EXPECT_TRUE(session_->ReadLog().empty()) << "started:" << Describe(session_->ReadLog());
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveCommandTest,
                         testing::Values(LeaveCase{"ExitButton", Leave::kExitButton},
                                         LeaveCase{"EscapeKey", Leave::kEscapeKey},
                                         LeaveCase{"CloseBox", Leave::kCloseBox}),
                         [](const testing::TestParamInfo<LeaveCase>& info) {
                             return info.param.name;
                         });

TEST_F(CommandTest, TwoLaunchersRunSideBySide) {
    StartLauncher();
    HWND first = PassVideo(*session_);
    ASSERT_NE(first, nullptr) << "the first launcher showed no window";
    std::unique_ptr<LauncherSession> second = StartAnotherLauncher();
    ASSERT_NE(second, nullptr);
    HWND other = PassVideo(*second);
    ASSERT_NE(other, nullptr) << "the second launcher showed no window";
    EXPECT_NE(first, other);
    EXPECT_TRUE(session_->IsRunning()) << "starting a second launcher ended the first";

    // Both windows are centred on the same spot, so each is ended with the keyboard.
    PressKey(first, VK_ESCAPE);
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the first launcher did not end";
    EXPECT_TRUE(second->IsRunning()) << "ending one launcher ended the other";
    EXPECT_TRUE(IsWindowVisible(other)) << "the second launcher's window went away";
    PressKey(other, VK_ESCAPE);
    EXPECT_TRUE(second->WaitForExit(kEndTimeoutMs)) << "the second launcher did not end";
}

TEST_F(CommandTest, StartedProductOutlivesTheLauncher) {
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(true, &error)) << error;
    std::string product = session_->MakeProductFolder("Velmora");
    ASSERT_TRUE(exePath_.Set(product + "\\"));
    ASSERT_TRUE(session_->Start(&error)) << error;
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    ClickWindow(GetDlgItem(launcher, kRunId));
    ASSERT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end after RUN";
    ASSERT_EQ(session_->WaitForLog(1, kStartTimeoutMs).size(), 1u) << "the product did not start";
    EXPECT_TRUE(session_->IsProgramRunning(product + "\\Velmora.exe"))
        << "the product ended together with the launcher";
}

TEST_F(CommandTest, RunWithTheSettingGoneStartsNothingAndEnds) {
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(true, &error)) << error;
    ASSERT_TRUE(exePath_.Set(session_->MakeProductFolder("Velmora") + "\\"));
    ASSERT_TRUE(session_->Start(&error)) << error;
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    ASSERT_TRUE(ButtonEnabled(launcher, kRunId)) << "RUN is not enabled";
    exePath_.Clear();  // uninstalled while the launcher was showing
    ClickWindow(GetDlgItem(launcher, kRunId));
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end after RUN";
    Sleep(1000);
    EXPECT_TRUE(session_->ReadLog().empty()) << "started:" << Describe(session_->ReadLog());
}

TEST_F(CommandTest, InstallThenRunStartsTheInstalledProduct) {
    StartLauncher();
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    ClickWindow(GetDlgItem(launcher, kInstallId));
    ASSERT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end after INSTALL";
    ASSERT_EQ(session_->WaitForLog(1, kStartTimeoutMs).size(), 1u) << "the installer did not start";
    std::string installer = session_->DiscDir() + "\\setup\\setup.exe";
    ASSERT_TRUE(WaitUntil([&] { return !session_->IsProgramRunning(installer); }, 15000))
        << "the sample installer did not finish";

    // The installer recorded the product; the next launcher offers RUN and starts it.
    std::string error;
    ASSERT_TRUE(session_->Start(&error)) << error;
    launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared the second time";
    EXPECT_FALSE(ButtonEnabled(launcher, kInstallId)) << "INSTALL enabled after installing";
    ASSERT_TRUE(ButtonEnabled(launcher, kRunId)) << "RUN not enabled after installing";
    ClickWindow(GetDlgItem(launcher, kRunId));
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "the launcher did not end after RUN";
    std::vector<StartedProgram> log = session_->WaitForLog(2, kStartTimeoutMs);
    ASSERT_EQ(log.size(), 2u) << "started:" << Describe(log);
    EXPECT_TRUE(Contains(log[1].commandLine, "Velmora.exe")) << "started:" << Describe(log);
    EXPECT_EQ(Normalized(log[1].directory), Normalized(session_->InstallFolder()))
        << "the installed product must run in its own folder";
}

}  // namespace
}  // namespace e2e
