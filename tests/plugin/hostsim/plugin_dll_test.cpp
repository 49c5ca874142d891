// Loading the real plugin the way the host does: every API-8 entry point
// must be found under its undecorated name.
#include <gtest/gtest.h>

#include <set>

#include "plugin_dll.h"
#include "registry_sandbox.h"

namespace {

std::wstring pluginPath() {
    std::string s = TALVOR_PLUGIN_PATH;
    return std::wstring(s.begin(), s.end());
}

TEST(PluginDll, ResolvesAllApi8Exports) {
    const auto& names = hostsim::PluginDll::exportNames();
    EXPECT_EQ(43u, names.size());
    EXPECT_EQ(43u, std::set<std::string>(names.begin(), names.end()).size());

    RegistrySandbox sandbox;  // the library reads its settings when it loads
    hostsim::PluginDll dll(pluginPath());
    ASSERT_TRUE(dll.loaded()) << "LoadLibraryW failed: " << dll.loadError();
    EXPECT_TRUE(dll.missingExports().empty()) << dll.missingExports().front();
    ASSERT_NE(nullptr, dll.apiVersion);
    EXPECT_EQ(8, dll.apiVersion());
    EXPECT_STREQ("TALVORI", dll.name());

    hostsim::PluginDll moved(std::move(dll));
    EXPECT_FALSE(dll.loaded());
    EXPECT_EQ(nullptr, dll.name);
    EXPECT_TRUE(moved.complete());
    moved.unload();
    EXPECT_FALSE(moved.loaded());
    EXPECT_EQ(nullptr, moved.init);
}

TEST(PluginDll, MissingLibraryReportsTheLoadError) {
    hostsim::PluginDll dll(L"C:\\nowhere\\TALVOR_plugin.dll");
    EXPECT_FALSE(dll.loaded());
    EXPECT_NE(0u, dll.loadError());
    EXPECT_FALSE(dll.complete());
}

}  // namespace
