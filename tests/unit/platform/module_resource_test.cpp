#include "graphics/platform/module_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/platform/dynamic_module.h"

namespace gfx {
namespace {

std::string Text(const ModuleResource& found) {
    return std::string(static_cast<const char*>(found.data), found.size);
}

// The test program carries these resources (see tests/unit/CMakeLists.txt).
TEST(ModuleResource, BuiltInResourcesAreFoundByStringOrIdWithoutRegardToCase) {
    ModuleResource found;
    ASSERT_TRUE(FindModuleResource(nullptr, "greeting", "TestData", &found));
    EXPECT_EQ(Text(found), "Embedded resource bytes.\n");
    ReleaseModuleResource(found.handle);

    ASSERT_TRUE(
        FindModuleResource(ProgramModule(), MakeIntResource(7), MakeIntResource(300), &found));
    EXPECT_EQ(Text(found), "Embedded resource bytes.\n");
    ReleaseModuleResource(found.handle);
    ASSERT_TRUE(FindModuleResource(nullptr, "#7", "#300", &found));
    ReleaseModuleResource(found.handle);

    EXPECT_FALSE(FindModuleResource(nullptr, "GREETING", MakeIntResource(300), &found));
    EXPECT_FALSE(FindModuleResource(nullptr, "MISSING", "TESTDATA", &found));
    EXPECT_EQ(found.data, nullptr);
    EXPECT_EQ(found.size, 0u);
}

TEST(ModuleResource, BitmapResourceStartsWithTheInfoHeader) {
    ModuleResource found;
    ASSERT_TRUE(FindModuleResource(nullptr, "tiny", kResourceTypeBitmap, &found));
    ASSERT_GE(found.size, 40u);
    uint32_t headerSize;
    std::memcpy(&headerSize, found.data, 4);
    EXPECT_EQ(headerSize, 40u);
    EXPECT_EQ(found.size, 40u + 1024u + 8u);
    ReleaseModuleResource(found.handle);
}

TEST(ModuleResource, RegisteredResourcesCanBeReplacedAndRemoved) {
    static const char first[] = "first";
    static const char second[] = "second!";
    RegisterModuleResource("Runtime", MakeIntResource(10), first, 5);
    ModuleResource found;
    ASSERT_TRUE(FindModuleResource(nullptr, "RUNTIME", "#10", &found));
    EXPECT_EQ(Text(found), "first");
    RegisterModuleResource("runtime", MakeIntResource(10), second, 7);
    ASSERT_TRUE(FindModuleResource(nullptr, "Runtime", MakeIntResource(10), &found));
    EXPECT_EQ(Text(found), "second!");
    UnregisterModuleResource("RUNTIME", MakeIntResource(10));
    EXPECT_FALSE(FindModuleResource(nullptr, "Runtime", MakeIntResource(10), &found));
}

TEST(DynamicModule, ExportsOfASystemLibraryAreFoundAndMissingOnesAreNot) {
#ifdef _WIN32
    const char* library = "msvcrt.dll";
#else
    const char* library = "libc.so.6";
#endif
    ModuleHandle module = DynamicModuleLoad(library);
    ASSERT_NE(module, nullptr);
    using LengthFunction = size_t (*)(const char*);
    void* address = DynamicModuleFind(module, "strlen");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(reinterpret_cast<LengthFunction>(address)("four"), 4u);
    EXPECT_EQ(DynamicModuleFind(module, "NoSuchExportForGfxTests"), nullptr);
    DynamicModuleUnload(module);
    EXPECT_EQ(DynamicModuleLoad("no_such_module_for_gfx_tests"), nullptr);
}

}  // namespace
}  // namespace gfx
