#include "graphics/image/split_path.h"

#include <gtest/gtest.h>

#include <string>

#include "graphics/image/make_temp_file_name.h"
#include "graphics/platform/current_directory.h"
#include "graphics/platform/file.h"

using namespace gfx;

namespace {

std::string Split(const char* path) {
    PathParts parts;
    if (!SplitPath(path, &parts)) return "refused";
    return parts.directory + "|" + parts.name + "|" + parts.extension;
}

}  // namespace

TEST(SplitPath, ExtensionOnlyAfterTheLastSeparator) {
    EXPECT_EQ(Split("c:\\pictures\\logo.JPG"), "c:\\pictures|logo|JPG");
    EXPECT_EQ(Split("c:\\old.files\\logo"), "c:\\old.files|logo|");
    EXPECT_EQ(Split("/data/old.files/logo"), "/data/old.files|logo|");
    EXPECT_EQ(Split("logo.tar.bmp"), "|logo.tar|bmp");
    EXPECT_EQ(Split("logo"), "|logo|");
    EXPECT_EQ(Split(".zbm"), "||zbm");
    EXPECT_EQ(Split("dir\\"), "dir||");
    EXPECT_EQ(Split(""), "||");
    EXPECT_EQ(Split(nullptr), "||");
    const std::string longName(256, 'n');
    EXPECT_EQ(Split(("c:\\" + longName + ".bmp").c_str()), "refused");
    EXPECT_EQ(Split(("c:\\" + longName.substr(1) + ".bmp").c_str()),
              "c:|" + longName.substr(1) + "|bmp");
}

TEST(MakeTempFileName, CreatesANewEmptyFileAndKeepsTheCurrentDirectory) {
    const std::string before = CurrentDirectory();
    const std::string first = MakeTempFileName("BMP");
    const std::string second = MakeTempFileName(nullptr);
    EXPECT_EQ(CurrentDirectory(), before);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    PathParts parts;
    ASSERT_TRUE(SplitPath(first.c_str(), &parts));
    EXPECT_EQ(parts.name.substr(0, 3), "BMP");
    ASSERT_TRUE(SplitPath(second.c_str(), &parts));
    EXPECT_EQ(parts.name.substr(0, 3), "TMP");
    EXPECT_TRUE(FileExists(first.c_str()));
    EXPECT_TRUE(FileDelete(first.c_str()));
    EXPECT_TRUE(FileDelete(second.c_str()));
}

TEST(SplitPath, ExtensionsCompareWithoutRegardToCase) {
    PathParts parts;
    ASSERT_TRUE(SplitPath("C:\\pics\\Logo.JpG", &parts));
    EXPECT_TRUE(HasExtension(parts, "jpg"));
    EXPECT_FALSE(HasExtension(parts, "jp"));
    EXPECT_FALSE(HasExtension(parts, "jpgx"));
    ASSERT_TRUE(SplitPath("C:\\old.files\\picture", &parts));
    EXPECT_FALSE(HasExtension(parts, "files"));
    EXPECT_TRUE(HasExtension(parts, ""));
}
