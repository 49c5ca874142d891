#include "plugin_session.h"

#include "display_channel.h"

#include <windows.h>

#include <cstdio>
#include <sstream>

namespace lifecycle {

std::string binFolder() { return winePath(TALVORI_TEST_BIN_DIR); }
std::string pluginDllPath() { return binFolder() + "\\" TALVORI_TEST_PLUGIN_DLL_NAME; }

EmptyFolder::EmptyFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH + 64];
    std::snprintf(name, sizeof name, "%stalvori-lifecycle-%lu-%lu", temp, GetCurrentProcessId(),
                  GetTickCount());
    CreateDirectoryA(name, nullptr);
    path_ = name;
}

EmptyFolder::~EmptyFolder() { RemoveDirectoryA(path_.c_str()); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool inOrder(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
    size_t next = 0;
    for (const std::string& line : actual)
        if (next < expected.size() && line == expected[next]) ++next;
    return next == expected.size();
}

std::wstring speakerAreaText() {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, channel::kSpeakerAreaName);
    if (!mapping) return L"(no speaker area)";
    auto text = static_cast<const wchar_t*>(
        MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, channel::kSpeakerBytes));
    std::wstring out = text ? std::wstring(text, boundedLength(text, channel::kSpeakerUnits))
                            : L"(no view)";
    if (text) UnmapViewOfFile(text);
    CloseHandle(mapping);
    return out;
}

bool mappingExists(const wchar_t* name) {
    HANDLE h = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (h) CloseHandle(h);
    return h != nullptr;
}

bool mutexExists(const wchar_t* name) {
    HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, name);
    if (h) CloseHandle(h);
    return h != nullptr;
}

void PluginSession::SetUp() {
    // Another window with the overlay's title would receive what the test
    // expects its own stand-in (or the overlay it starts) to receive.
    ASSERT_EQ(FindWindowA(nullptr, "TALVORI"), nullptr)
        << "a window titled TALVORI from another test or program is still open";
    model.install();
    model.addConnection(kConnection, "Alpha", 1);
    model.addChannel(kConnection, 1, "Lobby");
    model.addClient(kConnection, 1, "Me", 1);
    model.addClient(kConnection, 2, "Bob", 1);
    model.activeConnection = kConnection;
    model.pluginPath = pluginFolder.path();
}

void PluginSession::TearDown() {
    plugin.unload();
    EXPECT_EQ(model.badFrees(), 0u);
}

void PluginSession::loadPlugin() {
    ASSERT_TRUE(plugin.load(widen(pluginDllPath()), kPluginApi))
        << "LoadLibrary error " << plugin.loadError();
    ASSERT_TRUE(plugin.complete());
    plugin.setHostTable();
}

}  // namespace lifecycle
