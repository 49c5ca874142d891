// Loading the real plugin the way the host does: every entry point of its
// API level must be found under its undecorated name.
#include <gtest/gtest.h>

#include <set>

#include "plugin_dll.h"
#include "registry_sandbox.h"

namespace {

std::wstring pluginPath() {
    std::string s = TALVORI_TEST_PLUGIN_DLL;
    return std::wstring(s.begin(), s.end());
}

constexpr int kApi = TALVORI_TEST_PLUGIN_API;

TEST(PluginDll, ResolvesAllExportsOfItsApi) {
    const auto& names = hostsim::PluginDll::exportNames(kApi);
    const size_t expected = kApi == 8 ? 43u : 38u;
    EXPECT_EQ(expected, names.size());
    EXPECT_EQ(expected, std::set<std::string>(names.begin(), names.end()).size());

    RegistrySandbox sandbox;  // the library reads its settings when it loads
    hostsim::PluginDll dll(pluginPath(), kApi);
    ASSERT_TRUE(dll.loaded()) << "LoadLibraryW failed: " << dll.loadError();
    EXPECT_TRUE(dll.missingExports().empty()) << dll.missingExports().front();
    ASSERT_NE(nullptr, dll.apiVersion);
    EXPECT_EQ(kApi, dll.apiVersion());
    // The other level's forms of the calls they share a name with stay unset.
    EXPECT_EQ(kApi == 8, dll.setFunctionPointers != nullptr);
    EXPECT_EQ(kApi == 26, dll.setFunctionPointers26 != nullptr);
    EXPECT_STREQ("TALVORI", dll.name());

    hostsim::PluginDll moved(std::move(dll));
    EXPECT_FALSE(dll.loaded());
    EXPECT_EQ(nullptr, dll.name);
    EXPECT_TRUE(moved.complete());
    moved.unload();
    EXPECT_FALSE(moved.loaded());
    EXPECT_EQ(nullptr, moved.init);
}

TEST(PluginDll, WithoutALevelGivenTheLibrarysOwnAnswerCounts) {
    RegistrySandbox sandbox;
    hostsim::PluginDll dll(pluginPath(), 0);
    ASSERT_TRUE(dll.loaded()) << "LoadLibraryW failed: " << dll.loadError();
    EXPECT_EQ(kApi, dll.api());
    EXPECT_TRUE(dll.complete());

    // Asked to be the other level, the same library lacks that level's own.
    hostsim::PluginDll wrong(pluginPath(), kApi == 8 ? 26 : 8);
    ASSERT_TRUE(wrong.loaded());
    EXPECT_FALSE(wrong.complete());
    EXPECT_EQ(wrong.missingExports().size(), kApi == 8 ? 1u : 6u);
}

TEST(PluginDll, MissingLibraryReportsTheLoadError) {
    hostsim::PluginDll dll(L"C:\\nowhere\\TALVOR_plugin.dll");
    EXPECT_FALSE(dll.loaded());
    EXPECT_NE(0u, dll.loadError());
    EXPECT_FALSE(dll.complete());
}

}  // namespace
