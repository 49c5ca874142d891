// The real plugin DLL, started by the test acting as host, starts the real
// overlay program; a talk start must show the nickname on the overlay's
// top line.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "wine_path.h"
#include "capture_stdout.h"
#include "display_channel.h"
#include "display_config.h"
#include "host_model.h"
#include "plugin_dll.h"
#include "registry_sandbox.h"
#include "screenshot.h"

namespace {

const std::string kBinFolder = winePath(TALVORI_TEST_BIN_DIR);

// Where the overlay draws its text, and the colour it draws it in.
struct TopLine {
    COLORREF text = 0;
    int rows = 0;
};

int systemFontHeight() {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm.tmHeight;
}

int systemFontWidth(const wchar_t* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

// Text-coloured pixels of the top line, and the right-most column holding one.
struct Ink {
    int pixels = 0;
    int right = -1;
};

Ink inkOnTopLine(HWND overlay, const TopLine& line) {
    Ink ink;
    screenshot::Image image;
    if (!screenshot::captureClient(overlay, image)) return ink;
    int rows = line.rows < image.height ? line.rows : image.height;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.colourAt(x, y) == line.text) {
                ++ink.pixels;
                if (x > ink.right) ink.right = x;
            }
    return ink;
}

template <typename Predicate>
bool waitFor(Predicate done, int ms = 5000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(ms);) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

// Every overlay window on the desktop (class and title), and its process.
std::vector<HWND> overlayWindows() {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, channel::kWindowClass,
                                              channel::kWindowTitle));)
        found.push_back(w);
    return found;
}

HANDLE processOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
}

class SpeakerEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        // The overlay program reads the settings this session really has.
        loadDisplayConfig(overlayConfig);
        sandbox = new RegistrySandbox;
    }
    void TearDown() override {
        if (started) {
            StdoutCapture quiet;
            plugin.shutdown();
        }
        if (process) {
            if (WaitForSingleObject(process, 10000) == WAIT_TIMEOUT) TerminateProcess(process, 1);
            CloseHandle(process);
        }
        plugin.unload();
        delete sandbox;
    }

    DisplayConfig overlayConfig{};
    RegistrySandbox* sandbox = nullptr;
    hostsim::HostModel model;
    hostsim::PluginDll plugin;
    bool started = false;
    HANDLE process = nullptr;

    // The plugin started as the host would, with the real overlay program.
    void startWithOverlay() {
        model.addConnection(1, "Server", 1);
        model.addClient(1, 1, "Me", 10);
        model.addClient(1, 5, "WWWWW", 10);
        model.activeConnection = 1;
        model.pluginPath = kBinFolder;
        model.install();
        ASSERT_TRUE(plugin.load(std::wstring(kBinFolder.begin(), kBinFolder.end()) +
                                    L"\\" TALVORI_TEST_PLUGIN_DLL_NAME,
                                TALVORI_TEST_PLUGIN_API))
            << plugin.loadError();
        ASSERT_TRUE(plugin.complete());
        plugin.setHostTable();
        StdoutCapture out;
        int result = plugin.init();
        std::string text = out.take();
        ASSERT_EQ(result, 0) << text;
        started = true;
    }
    void talk(int status, anyID client) {
        StdoutCapture quiet;
        plugin.onTalkStatusChangeEvent(1, status, 0, client);
    }
};

TEST_F(SpeakerEndToEnd, ATalkStartShowsTheNicknameOnTheOverlay) {
    const std::string exe = kBinFolder + "\\TALVORI.exe";
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "TALVORI.exe is built by the 64-bit tree: " << exe;
    if (overlayConfig.speakerColour == overlayConfig.backgroundColour)
        GTEST_SKIP() << "speaker text and background share one colour";
    ASSERT_EQ(FindWindowA(nullptr, "TALVORI"), nullptr) << "an overlay is already running";

    ASSERT_NO_FATAL_FAILURE(startWithOverlay());
    HWND overlay = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
    ASSERT_NE(overlay, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(overlay, &pid);
    process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);

    TopLine line{overlayConfig.speakerColour, systemFontHeight()};
    if (line.rows > 20) line.rows = 20;  // the second line starts at 20

    // A stop for nobody leaves the top line empty (the start banner goes).
    plugin.onTalkStatusChangeEvent(1, 0, 0, 99);
    ASSERT_TRUE(waitFor([&] { return inkOnTopLine(overlay, line).pixels == 0; }))
        << "the top line did not clear";

    {
        StdoutCapture quiet;
        plugin.onTalkStatusChangeEvent(1, 1, 0, 5);
    }
    const int nameWidth = systemFontWidth(L"WWWWW");
    Ink ink;
    ASSERT_TRUE(waitFor([&] {
        ink = inkOnTopLine(overlay, line);
        return ink.pixels > 0;
    })) << "no nickname on the top line";
    EXPECT_LT(ink.right, nameWidth) << "more than the nickname is drawn";
    EXPECT_GT(ink.right, nameWidth / 2) << "less than the nickname is drawn";

    plugin.onTalkStatusChangeEvent(1, 0, 0, 5);
    EXPECT_TRUE(waitFor([&] { return inkOnTopLine(overlay, line).pixels == 0; }))
        << "the nickname stayed after the stop";
}

TEST_F(SpeakerEndToEnd, AKilledOverlayComesBackOnceShowingTheSpeaker) {
    const std::string exe = kBinFolder + "\\TALVORI.exe";
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "TALVORI.exe is built by the 64-bit tree: " << exe;
    if (overlayConfig.speakerColour == overlayConfig.backgroundColour)
        GTEST_SKIP() << "speaker text and background share one colour";
    ASSERT_TRUE(overlayWindows().empty()) << "an overlay is already running";
    startWithOverlay();
    ASSERT_EQ(overlayWindows().size(), 1u);
    HANDLE killed = processOf(overlayWindows()[0]);
    ASSERT_NE(killed, nullptr);

    TerminateProcess(killed, 1);
    ASSERT_EQ(WaitForSingleObject(killed, 5000), WAIT_OBJECT_0);
    CloseHandle(killed);

    // The first talk after the kill starts the program again; talks on four
    // threads meanwhile start no second one.
    const DWORD begin = GetTickCount();
    talk(1, 5);
    std::printf("the talk that started the overlay again took %lu ms\n", GetTickCount() - begin);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([this] {
            for (int i = 0; i < 10; ++i, Sleep(20)) plugin.onTalkStatusChangeEvent(1, 1, 0, 5);
        });
    for (auto& th : threads) th.join();
    ASSERT_TRUE(waitFor([] { return !overlayWindows().empty(); }, 10000))
        << "the overlay program was not started again";
    HWND overlay = overlayWindows()[0];
    process = processOf(overlay);

    // The next event, here not a talk, finds it and gives it back the
    // speaker line its start text replaced.
    TopLine line{overlayConfig.speakerColour, systemFontHeight()};
    if (line.rows > 20) line.rows = 20;
    const int nameWidth = systemFontWidth(L"WWWWW");
    Ink ink;
    const bool shown = waitFor(
        [&] {
            {
                StdoutCapture quiet;
                plugin.processCommand(1, "back");
            }
            ink = inkOnTopLine(overlay, line);
            return ink.pixels > 0 && ink.right < nameWidth;
        },
        10000);
    // Users expect it back within about 2 s; the bound here only catches
    // a speaker line that never comes back, the time goes to the log.
    EXPECT_TRUE(shown) << "the speaker did not come back: ink up to column " << ink.right;
    RecordProperty("back_after_ms", static_cast<int>(GetTickCount() - begin));
    std::printf("overlay back with the speaker after %lu ms\n", GetTickCount() - begin);
    EXPECT_GT(ink.right, nameWidth / 2);
    Sleep(500);
    EXPECT_EQ(overlayWindows().size(), 1u) << "more than one overlay program started";

    // Shutdown ends the program running now.
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    started = false;
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
}

}  // namespace
