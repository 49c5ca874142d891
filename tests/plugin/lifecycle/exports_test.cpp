// What the host sees before it starts the plugin: the export table, the
// metadata answers and the string and icon resources.
#include <algorithm>
#include <set>

#include "capture_stdout.h"
#include "plugin_exports.h"
#include "plugin_session.h"

namespace lifecycle {
namespace {

// Names in the DLL's PE export directory, read from the loaded image.
std::vector<std::string> exportedNames(HMODULE module) {
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (!dir.VirtualAddress) return names;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

// The string as it sits in the DLL's table for one language.
std::wstring stringFor(HMODULE module, UINT id, LANGID language) {
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!block) return L"<no table>";
    auto p = static_cast<const WCHAR*>(LockResource(LoadResource(module, block)));
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;  // counted strings, 16 per block
    return std::wstring(p + 1, *p);
}

using Metadata = PluginSession;

TEST_F(Metadata, ExportsExactlyTheEntryPointsOfItsApiUndecorated) {
    loadPlugin();
    std::vector<std::string> names = exportedNames(plugin.module());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected =
        kPluginApi == 8 ? plugin_exports::kApi8Exports : plugin_exports::kApi26Exports;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected.size(), 43u);
    EXPECT_EQ(names, expected);
}

TEST_F(Metadata, AnswersTheHostsQuestions) {
    loadPlugin();
    EXPECT_STREQ(plugin.name(), "TALVORI");
    EXPECT_STREQ(plugin.version(), "beta.9");
    EXPECT_EQ(plugin.apiVersion(), kPluginApi);
    EXPECT_STREQ(plugin.description(), "This plugin run with TALVORI.");
    ASSERT_NE(plugin.author(), nullptr);
    EXPECT_GT(std::string(plugin.author()).size(), 0u);
    StdoutCapture out;
    int offers = plugin.offersConfigure();
    EXPECT_EQ(out.take(), "TALVORI: offersConfigure\n");
    EXPECT_EQ(offers, 1);  // configure on a thread of the host's own
}

TEST_F(Metadata, StringsExistInEnglishAndFrench) {
    loadPlugin();
    HMODULE dll = plugin.module();
    const LANGID en = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const LANGID fr = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
    EXPECT_EQ(stringFor(dll, 40000, en), L"DISCONNECTED");
    EXPECT_EQ(stringFor(dll, 40001, en), L"disconnected");
    EXPECT_EQ(stringFor(dll, 40002, en), L"Unkown");
    EXPECT_EQ(stringFor(dll, 40003, en), L"ListChannel");
    EXPECT_EQ(stringFor(dll, 40004, en), L"All settings will be reset to their default values");
    EXPECT_EQ(stringFor(dll, 40000, fr), L"D\u00c9CONNECT\u00c9");
    EXPECT_EQ(stringFor(dll, 40001, fr), L"d\u00e9connect\u00e9");
    EXPECT_EQ(stringFor(dll, 40002, fr), L"Inconnu");
    EXPECT_EQ(stringFor(dll, 40003, fr), L"ListChannel");
    EXPECT_EQ(stringFor(dll, 40004, fr),
              L"Tous les param\u00e8tres seront remis \u00e0 la valeur par d\u00e9faut");
}

TEST_F(Metadata, IconGroupHoldsBothSizes) {
    loadPlugin();
    HMODULE dll = plugin.module();
    HRSRC group = FindResourceW(dll, MAKEINTRESOURCEW(101), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    // GRPICONDIR: reserved, type, count, then 14-byte entries (width first).
    auto dir = static_cast<const BYTE*>(LockResource(LoadResource(dll, group)));
    const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    std::set<int> widths;
    for (WORD i = 0; i < count; ++i) widths.insert(dir[6 + 14 * i]);
    EXPECT_EQ(widths, (std::set<int>{16, 32}));
    HICON icon = static_cast<HICON>(
        LoadImageW(dll, MAKEINTRESOURCEW(101), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
}

}  // namespace
}  // namespace lifecycle
