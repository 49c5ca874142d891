// The configure action against the stand-in overlay, and shutdown while a
// configure is still open.
#include <atomic>
#include <cstdio>
#include <thread>

#include "capture_stdout.h"
#include "display_channel.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

constexpr BYTE kEnabledOffset = 3;

// Two threads waiting on each other never come back: end the program with a
// failure instead of leaving it to the test driver's time-out.
class Watchdog {
public:
    Watchdog(DWORD ms, const char* what) : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, ms, what] {
            if (WaitForSingleObject(done_, ms) == WAIT_OBJECT_0) return;
            std::fprintf(stderr, "Deadlock: %s\n", what);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        });
    }
    ~Watchdog() {
        SetEvent(done_);
        thread_.join();
        CloseHandle(done_);
    }

private:
    HANDLE done_;
    std::thread thread_;
};

// A stored List Channel record: the defaults with the window switched on.
std::vector<BYTE> recordWithWindowEnabled() {
    return {255, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0, 44, 1,
            10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0};
}

class Configure : public PluginSession {
protected:
    void start() {
        loadPlugin();
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0) << quiet.take();
    }
    std::vector<BYTE> savedRecord() const { return sandbox.getValue(L"ListChannel"); }
};

TEST_F(Configure, SecondConfigureWhileOneRunsReturnsAtOnce) {
    StandInOverlay overlay(1);
    overlay.holdSettings();
    start();
    std::thread first([&] { plugin.configure(nullptr, nullptr); });
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000));

    DWORD begin = GetTickCount();
    plugin.configure(nullptr, nullptr);
    EXPECT_LT(GetTickCount() - begin, 1000u);

    overlay.release();
    first.join();
    EXPECT_EQ(overlay.codes(), std::vector<WPARAM>{DISPLAY_OPEN_SETTINGS});
    EXPECT_EQ(overlay.settingsParam(), 0) << "the clean profile's window switch";
    StdoutCapture quiet;
    plugin.shutdown();
}

TEST_F(Configure, ShutdownWaitsForTheOpenDialogThenSavesTheSwitchItReturned) {
    StandInOverlay overlay(1);
    overlay.holdSettings();
    start();
    std::thread configure([&] { plugin.configure(nullptr, nullptr); });
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000));

    std::atomic<bool> stopped{false};
    std::thread shutdown([&] {
        plugin.shutdown();
        stopped = true;
    });
    Sleep(300);
    EXPECT_FALSE(stopped.load()) << "shutdown went on while the dialog was open";
    EXPECT_TRUE(savedRecord().empty()) << "saved before configure ended";

    overlay.release();
    configure.join();
    shutdown.join();
    EXPECT_EQ(overlay.codes(), (std::vector<WPARAM>{DISPLAY_OPEN_SETTINGS, DISPLAY_QUIT}));
    std::vector<BYTE> saved = savedRecord();
    ASSERT_EQ(saved.size(), 28u);
    EXPECT_EQ(saved[kEnabledOffset], 1);
}

// The List Channel window belongs to the thread that ran init. When that
// same thread shuts down while configure still has to restyle the window,
// the wait must keep the window answering or both threads stop for good.
TEST_F(Configure, ShutdownOnTheListWindowsThreadKeepsItAnswering) {
    storeListRecord(recordWithWindowEnabled());
    StandInOverlay overlay(0);  // the dialog switches the window off
    overlay.holdSettings();
    start();
    HWND list = ownListWindow();
    ASSERT_NE(list, nullptr) << "init creates the enabled window";

    std::thread configure([&] { plugin.configure(nullptr, nullptr); });
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000));
    EXPECT_EQ(overlay.settingsParam(), 1);
    std::thread releaser([&] {
        Sleep(300);
        overlay.release();
    });
    StdoutCapture out;
    {
        Watchdog dog(15000, "shutdown and configure wait on each other");
        plugin.shutdown();  // this thread owns the window
        configure.join();
        releaser.join();
    }
    std::string text = out.take();

    EXPECT_TRUE(inOrder(lines(text), {"TALVORI: shutdown"})) << text;
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(overlay.codes(), (std::vector<WPARAM>{DISPLAY_OPEN_SETTINGS, DISPLAY_QUIT}));
    std::vector<BYTE> saved = savedRecord();
    ASSERT_EQ(saved.size(), 28u);
    EXPECT_EQ(saved[kEnabledOffset], 0);
}

// The host unloads the library the moment shutdown returns. Configure's
// work may still run then: once a dialog held past shutdown's bounds, then
// rounds where the dialog's answer comes while shutdown waits. Whatever
// still runs must keep the library loaded until it has ended.
TEST_F(Configure, UnloadTheMomentShutdownReturnsWhileConfigureStillRuns) {
    constexpr int kRounds = 50;
    StandInOverlay overlay(1);
    const std::wstring dll = widen(pluginDllPath());
    Watchdog dog(85000, "an unload round never ended");
    for (int round = 0; round < kRounds; ++round) {
        storeListRecord(recordWithWindowEnabled());
        overlay.holdSettings();
        start();
        ASSERT_NE(ownListWindow(), nullptr) << "round " << round;
        // The host's configure thread, which holds no reference on the library.
        std::thread host([&] { plugin.configure(nullptr, nullptr); });
        ASSERT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000, round + 1)) << round;
        std::thread answer([&] {
            if (round == 0) return;  // held beyond every bound of shutdown
            Sleep(round % 8);
            overlay.release();
        });
        {
            StdoutCapture quiet;
            plugin.shutdown();
        }
        plugin.unload();
        answer.join();
        overlay.release();
        host.join();
        const DWORD begin = GetTickCount();
        while (GetModuleHandleW(dll.c_str()) && GetTickCount() - begin < 20000) Sleep(10);
        ASSERT_EQ(GetModuleHandleW(dll.c_str()), nullptr) << "round " << round;
        ASSERT_EQ(ownListWindow(), nullptr) << "round " << round;
    }
}

// The host enables the plugin again after a shutdown that gave up on an
// open dialog: the new session starts clean (nobody talking), and the old
// dialog's late answer changes nothing of it.
TEST_F(Configure, AStartAfterAShutdownThatWasOutlivedBeginsClean) {
    storeListRecord(recordWithWindowEnabled());
    StandInOverlay overlay(0);  // the late answer would switch the window off
    overlay.holdSettings();
    start();
    {
        StdoutCapture quiet;
        plugin.onTalkStatusChangeEvent(kConnection, 1, 0, 2);  // still talking at shutdown
    }
    std::thread host([&] { plugin.configure(nullptr, nullptr); });
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000));
    {
        StdoutCapture quiet;
        plugin.shutdown();  // gives up on the dialog after its bounds
        ASSERT_EQ(plugin.init(), 0);
    }
    ASSERT_NE(ownListWindow(), nullptr);
    overlay.release();  // the old dialog answers now
    host.join();
    // Time for the old work to act, if it would; the List Channel window
    // keeps answering meanwhile.
    ASSERT_FALSE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 1000, 2));
    {
        StdoutCapture quiet;
        plugin.onTalkStatusChangeEvent(kConnection, 1, 0, 1);
    }
    const std::wstring speakers = speakerAreaText();
    EXPECT_EQ(speakers.find(L"Bob"), std::wstring::npos) << "a speaker of the last session";
    EXPECT_NE(speakers.find(L"Me"), std::wstring::npos);
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    std::vector<BYTE> saved = savedRecord();
    ASSERT_EQ(saved.size(), 28u);
    EXPECT_EQ(saved[kEnabledOffset], 1) << "the old dialog's answer switched the window off";
}

TEST_F(Configure, ShutdownWithoutListWindowStillSavesTheRecord) {
    StandInOverlay overlay;
    start();
    EXPECT_EQ(ownListWindow(), nullptr);
    StdoutCapture out;
    plugin.shutdown();
    out.take();
    std::vector<BYTE> defaults = recordWithWindowEnabled();
    defaults[kEnabledOffset] = 0;
    EXPECT_EQ(savedRecord(), defaults);
    EXPECT_EQ(overlay.codes(), std::vector<WPARAM>{DISPLAY_QUIT});
}

}  // namespace
}  // namespace lifecycle
