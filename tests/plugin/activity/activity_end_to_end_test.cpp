// The real plugin library in a simulated host, the real overlay program it
// starts, and the screen: an arrival shows on the overlay for the
// configured number of seconds and then goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "display_config.h"
#include "host_model.h"
#include "plugin_dll.h"
#include "screen_capture.h"

namespace {

// The overlay program is another process, out of reach of a registry
// sandbox: the real values are kept aside and put back afterwards.
class KeptValue {
public:
    explicit KeptValue(const wchar_t* name) : name_(name) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Talvori", 0, KEY_READ, &key) != 0) return;
        DWORD size = 0;
        if (RegQueryValueExW(key, name_, nullptr, nullptr, nullptr, &size) == 0) {
            saved_.resize(size);
            had_ = RegQueryValueExW(key, name_, nullptr, nullptr, saved_.data(), &size) == 0;
        }
        RegCloseKey(key);
    }
    ~KeptValue() {
        HKEY key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Talvori", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0)
            return;
        if (had_)
            RegSetValueExW(key, name_, 0, REG_BINARY, saved_.data(),
                           static_cast<DWORD>(saved_.size()));
        else
            RegDeleteValueW(key, name_);
        RegCloseKey(key);
    }
    void put(const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Talvori", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  0);
        RegSetValueExW(key, name_, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

private:
    const wchar_t* name_;
    bool had_ = false;
    std::vector<BYTE> saved_;
};

// A Unix path of the build as the Windows side sees it.
std::string dosPath(const std::string& unixPath) {
    std::string out = "Z:";
    for (char c : unixPath) out += c == '/' ? '\\' : c;
    return out;
}

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

HWND findOverlay() { return FindWindowA(nullptr, "TALVORI"); }

// Ends the overlay program if the plugin's quit did not.
void endOverlay() {
    if (!pumpUntil([] { return findOverlay() == nullptr; }, 5000)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(findOverlay(), &pid);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (process) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

// Whatever happens in the test, the plugin is stopped and the program it
// started is gone afterwards.
struct RunningPlugin {
    hostsim::PluginDll& plugin;
    bool initialised = false;
    ~RunningPlugin() {
        if (initialised) plugin.shutdown();
        endOverlay();
        plugin.unload();
    }
};

constexpr COLORREF kChannelColour = RGB(0, 0, 200);
constexpr int kDurationSeconds = 2;

TEST(ActivityEndToEnd, ArrivalShowsForTheConfiguredDurationThenGoes) {
    const std::string bin = dosPath(TALVORI_BIN_DIR_UNIX);
    const std::string exe = bin + "\\TALVORI.exe";
    const std::string dllPath = dosPath(TALVORI_TEST_PLUGIN_DLL);
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "TALVORI.exe not built: " << exe;
    ASSERT_EQ(findOverlay(), nullptr) << "an overlay window is already open";

    KeptValue keptConfig(L"Config");
    KeptValue keptList(L"ListChannel");
    DisplayConfig config;
    resetDisplayConfig(config);
    config.border = 0;
    config.onlyMyChannel = 0;
    config.channelColour = kChannelColour;
    config.displayDuration = kDurationSeconds;
    config.x = 400;
    config.y = 420;
    keptConfig.put(&config, sizeof config);

    hostsim::HostModel model;
    model.install();
    model.pluginPath = bin;
    model.addConnection(1, "Alpha Server", 1);
    model.addChannel(1, 10, "Lobby");
    model.addClient(1, 1, "Me", 10);
    model.activeConnection = 1;

    hostsim::PluginDll plugin;
    ASSERT_TRUE(plugin.load(widen(dllPath), TALVORI_TEST_PLUGIN_API))
        << dllPath << " error " << plugin.loadError();
    ASSERT_TRUE(plugin.complete());
    plugin.setHostTable();
    RunningPlugin running{plugin};
    running.initialised = plugin.init() == 0;
    ASSERT_TRUE(running.initialised);
    HWND overlay = findOverlay();
    ASSERT_NE(overlay, nullptr);

    auto lineShown = [&] {
        RECT r{};
        GetClientRect(overlay, &r);
        POINT origin{0, 0};
        ClientToScreen(overlay, &origin);
        Pixels screen = captureScreen(origin.x, origin.y, r.right, r.bottom);
        return screen.count(kChannelColour, 0, screen.height()) > 0;
    };
    EXPECT_FALSE(lineShown());

    model.addClient(1, 2, "Arrival", 10);
    plugin.onClientMoveEvent(1, 2, 0, 10, 0, "");
    ASSERT_TRUE(pumpUntil(lineShown, 3000));
    const DWORD shownAt = GetTickCount();

    // Still there shortly before the duration ends, gone soon after.
    pumpMessages(kDurationSeconds * 1000 - 700);
    EXPECT_TRUE(lineShown());
    EXPECT_TRUE(pumpUntil([&] { return !lineShown(); }, 3000));
    const DWORD shownFor = GetTickCount() - shownAt;
    EXPECT_GE(shownFor, kDurationSeconds * 1000u - 700u);
    EXPECT_LE(shownFor, kDurationSeconds * 1000u + 1500u);

    plugin.shutdown();
    running.initialised = false;
    EXPECT_TRUE(pumpUntil([] { return findOverlay() == nullptr; }, 5000));
    EXPECT_EQ(model.outstandingBlocks(), 0u);
}

}  // namespace
