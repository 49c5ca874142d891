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
