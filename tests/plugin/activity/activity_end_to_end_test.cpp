// The real plugin library in a simulated host, the real overlay program it
// starts, and the screen: an arrival shows on the overlay for the
// configured number of seconds and then goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "wine_path.h"
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
    const std::string bin = winePath(TALVORI_BIN_DIR_UNIX);
    const std::string exe = bin + "\\TALVORI.exe";
    const std::string dllPath = winePath(TALVORI_TEST_PLUGIN_DLL);
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

// Four host threads post twenty lines at once, as when an admin moves a
// group: the overlay must show each of them once, each thread's lines in
// the order it sent them, each for its own period.
TEST(ActivityEndToEnd, ABurstFromFourThreadsShowsEveryLineOnceInOrder) {
    const std::string bin = winePath(TALVORI_BIN_DIR_UNIX);
    const std::string dllPath = winePath(TALVORI_TEST_PLUGIN_DLL);
    if (GetFileAttributesA((bin + "\\TALVORI.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "TALVORI.exe not built";
    ASSERT_EQ(findOverlay(), nullptr) << "an overlay window is already open";

    constexpr COLORREF kBackground = RGB(255, 255, 255);
    KeptValue keptConfig(L"Config");
    KeptValue keptList(L"ListChannel");
    DisplayConfig config;
    resetDisplayConfig(config);
    config.border = 0;
    config.transparentBackground = 0;
    config.opacity = 255;
    config.onlyMyChannel = 0;
    config.twoLines = 1;
    config.activityEnabled = 1;
    config.width = 400;
    config.backgroundColour = kBackground;
    config.channelColour = kChannelColour;
    config.displayDuration = 1;
    config.x = 400;
    config.y = 420;
    keptConfig.put(&config, sizeof config);

    // Thread t sends, for its clients 0..4: an arrival, a move into the
    // lobby, a departure, an arrival, a move.
    constexpr int kThreads = 4, kEach = 5;
    hostsim::HostModel model;
    model.install();
    model.pluginPath = bin;
    model.addConnection(1, "Alpha Server", 1);
    model.addChannel(1, 10, "Lobby");
    model.addChannel(1, 20, "Games");
    model.addClient(1, 1, "Me", 10);
    auto id = [](int t, int j) { return static_cast<anyID>(100 + t * kEach + j); };
    auto nick = [](int t, int j) {
        return std::string("Guest") + static_cast<char>('A' + t) + static_cast<char>('0' + j);
    };
    std::vector<std::wstring> expected(kThreads * kEach);
    for (int t = 0; t < kThreads; ++t)
        for (int j = 0; j < kEach; ++j) {
            if (j % 3 != 0) model.addClient(1, id(t, j), nick(t, j), j % 3 == 1 ? 20 : 10);
            expected[t * kEach + j] =
                widen(nick(t, j)) + (j % 3 == 2 ? L" disconnected " : L" -> Lobby ");
        }
    model.activeConnection = 1;

    hostsim::PluginDll plugin;
    ASSERT_TRUE(plugin.load(widen(dllPath), TALVORI_TEST_PLUGIN_API)) << plugin.loadError();
    ASSERT_TRUE(plugin.complete());
    plugin.setHostTable();
    RunningPlugin running{plugin};
    running.initialised = plugin.init() == 0;
    ASSERT_TRUE(running.initialised);
    HWND overlay = findOverlay();
    ASSERT_NE(overlay, nullptr);
    RECT client{};
    GetClientRect(overlay, &client);
    ASSERT_GE(client.bottom, 40);
    std::vector<Pixels> looks;
    for (const std::wstring& line : expected)
        looks.push_back(renderLine(line, kChannelColour, kBackground, client.right, 20));
    // Which expected line the activity row shows: -1 none, -2 something else.
    auto shown = [&] {
        POINT origin{0, 20};
        ClientToScreen(overlay, &origin);
        Pixels row = captureScreen(origin.x, origin.y, client.right, 20);
        if (row.count(kChannelColour, 0, 20) == 0) return -1;
        for (size_t i = 0; i < looks.size(); ++i)
            if (row.bandEquals(0, looks[i])) return static_cast<int>(i);
        return -2;
    };

    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            WaitForSingleObject(go, 5000);
            for (int j = 0; j < kEach; ++j) {
                const anyID c = id(t, j);
                if (j % 3 == 0) {
                    model.addClient(1, c, nick(t, j), 10);
                    plugin.onClientMoveEvent(1, c, 0, 10, 0, "");
                } else if (j % 3 == 1) {
                    model.moveClient(1, c, 10);
                    plugin.onClientMoveEvent(1, c, 20, 10, 0, "");
                } else {
                    // Gone from the host's list only after the event: were it
                    // gone before, another thread's arrival could purge the
                    // name from the table first and the line would say
                    // "Unkown disconnected".
                    plugin.onClientMoveEvent(1, c, 10, 0, 0, "");
                    model.removeClient(1, c);
                }
            }
        });
    SetEvent(go);
    for (std::thread& t : threads) t.join();
    CloseHandle(go);

    // What the row shows over time, each change once.
    std::vector<int> order;
    std::vector<DWORD> since;
    const DWORD start = GetTickCount();
    int last = -1;
    while (GetTickCount() - start < 45000) {
        const int now = shown();
        if (now >= 0 && now != last) {
            order.push_back(now);
            since.push_back(GetTickCount());
        }
        if (now != -2) last = now;
        if (now == -1 && order.size() >= expected.size()) break;
        pumpMessages(30);
    }

    std::vector<int> times(expected.size(), 0);
    for (int i : order) ++times[i];
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(times[i], 1) << "shown " << times[i] << " times: "
                               << std::string(expected[i].begin(), expected[i].end());
    for (int t = 0; t < kThreads; ++t) {
        int previous = -1;
        for (int i : order)
            if (i / kEach == t) {
                EXPECT_GT(i, previous) << "thread " << t << " out of order";
                previous = i;
            }
    }
    // Each line has its own period: none is taken off early by the next.
    for (size_t k = 1; k < since.size(); ++k)
        EXPECT_GE(since[k] - since[k - 1], 500u) << "line " << k << " of the burst";

    plugin.shutdown();
    running.initialised = false;
    EXPECT_TRUE(pumpUntil([] { return findOverlay() == nullptr; }, 5000));
}

}  // namespace
