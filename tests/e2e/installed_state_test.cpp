// Which of INSTALL and RUN the launcher enables, for each state of the registry and product folder.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/e2e/launcher_test.h"

namespace e2e {
namespace {

enum class Setting {
    kNoKey,
    kKeyWithoutValue,
    kFolderWithoutProduct,
    kFolderWithProduct,
    kValueOver255Characters,
};

struct InstalledCase {
    const char* name;
    Setting setting;
    bool trailingBackslash;
    bool installed;
};

void PrintTo(const InstalledCase& c, std::ostream* out) { *out << c.name; }

class InstalledStateTest : public LauncherTest,
                           public testing::WithParamInterface<InstalledCase> {};

TEST_P(InstalledStateTest, EnablesExactlyOneOfInstallAndRun) {
    const InstalledCase& c = GetParam();
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(true, &error)) << error;

    std::string folder;
    switch (c.setting) {
        case Setting::kNoKey:
            break;
        case Setting::kKeyWithoutValue:
            ASSERT_TRUE(exePath_.CreateKeyOnly());
            break;
        case Setting::kFolderWithoutProduct:
            folder = session_->MakeProductFolder("Velmora");
            DeleteFileA((folder + "\\Velmora.exe").c_str());
            break;
        case Setting::kFolderWithProduct:
            folder = session_->MakeProductFolder("Velmora");
            break;
        case Setting::kValueOver255Characters:
            // Still names the product's folder ("\." adds nothing), but is too long to be read.
            folder = session_->MakeProductFolder("Velmora");
            while (folder.size() < 270) folder += "\\.";
            break;
    }
    if (!folder.empty()) {
        ASSERT_TRUE(exePath_.Set(c.trailingBackslash ? folder + "\\" : folder));
    }

    ASSERT_TRUE(session_->Start(&error)) << error;
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    EXPECT_EQ(ButtonEnabled(launcher, kInstallId), !c.installed) << "INSTALL enabled state";
    EXPECT_EQ(ButtonEnabled(launcher, kRunId), c.installed) << "RUN enabled state";
    EXPECT_TRUE(ButtonEnabled(launcher, kExitId)) << "EXIT must always be enabled";
}

INSTANTIATE_TEST_SUITE_P(
    Registry, InstalledStateTest,
    testing::Values(
        InstalledCase{"NoKey", Setting::kNoKey, false, false},
        InstalledCase{"KeyWithoutValue", Setting::kKeyWithoutValue, false, false},
        InstalledCase{"FolderWithoutProduct", Setting::kFolderWithoutProduct, true, false},
        InstalledCase{"FolderWithoutProductNoBackslash", Setting::kFolderWithoutProduct, false,
                      false},
        InstalledCase{"FolderWithProduct", Setting::kFolderWithProduct, true, true},
        InstalledCase{"FolderWithProductNoBackslash", Setting::kFolderWithProduct, false, true},
        InstalledCase{"ValueOver255Characters", Setting::kValueOver255Characters, true, false}),
    [](const testing::TestParamInfo<InstalledCase>& info) { return info.param.name; });

}  // namespace
}  // namespace e2e
