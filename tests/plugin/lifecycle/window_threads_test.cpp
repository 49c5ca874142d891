// Which window the plugin takes for the overlay, what it does when that
// window goes away, and chat commands for the List Channel window arriving
// on another thread than the window's.
#include <algorithm>
#include <atomic>
#include <thread>

#include "capture_stdout.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

constexpr char kGaveUp[] = "TALVORI.exe did not come back after 3 starts; the overlay stays off";

// Runs `work` on a thread of its own while this thread answers its messages:
// the plugin's windows here belong to this thread.
template <typename Work>
void onOtherThread(Work work) {
    std::atomic<bool> done{false};
    std::thread other([&] {
        work();
        done = true;
    });
    while (!done) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    other.join();
}

class WindowThreads : public PluginSession {
protected:
    void start() {
        loadPlugin();
        ledger::reset();
        ledger::attach(plugin.module());
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0) << quiet.take();
    }
    std::string talk(anyID client) {
        StdoutCapture out;
        plugin.onTalkStatusChangeEvent(kConnection, 1, 0, client);
        return out.take();
    }
    void command(const char* text) {
        StdoutCapture quiet;
        EXPECT_EQ(plugin.processCommand(kConnection, text), 0);
    }
    int logged(const std::string& text) const {
        std::vector<hostsim::HostCall> logs = logLines();
        return static_cast<int>(std::count_if(logs.begin(), logs.end(), [&](const auto& c) {
            return c.text == text && c.number == 1 && c.text2 == "TALVORI";
        }));
    }
};

TEST_F(WindowThreads, AMessageBoxCaptionedTalvoriIsNotTakenForTheOverlay) {
    StandInOverlay overlay;
    std::thread boxThread([] { MessageBoxA(nullptr, "not the overlay", "TALVORI", MB_OK); });
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i, Sleep(10))
        box = FindWindowExW(nullptr, nullptr, L"#32770", channel::kWindowTitle);
    ASSERT_NE(box, nullptr);
    // In front of the stand-in: a look-up by title alone finds the box.
    ASSERT_EQ(FindWindowA(nullptr, channel::kWindowTitleA), box);

    start();
    talk(1);
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000));
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_QUIT, 1000));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    boxThread.join();
}

TEST_F(WindowThreads, AnOverlayThatCannotBeStartedAgainIsGivenUpAfterThreeTries) {
    auto overlay = std::make_unique<StandInOverlay>();
    start();  // from an empty plugin folder: every start again fails
    overlay.reset();
    model.clearCalls();

    int starts = 0;
    for (anyID client = 1; client <= 6; ++client) {
        std::string printed = talk(client);
        for (const std::string& line : lines(printed))
            if (line.find("starting") != std::string::npos) ++starts;
    }
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(logged(kGaveUp), 1);
    // The DC of the lost window went back with it.
    EXPECT_EQ(ledger::held().gdi, 0) << testing::PrintToString(ledger::outstanding());

    // A window that shows up after all is taken again.
    StandInOverlay back;
    talk(7);
    EXPECT_TRUE(back.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000));
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_TRUE(back.waitForCode(DISPLAY_QUIT, 1000));
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

TEST_F(WindowThreads, ChannelCommandsFromAnotherThreadReachTheListWindow) {
    StandInOverlay overlay;
    storeListRecord({255, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0, 44, 1,
                     10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0});  // window switched on
    start();
    HWND list = ownListWindow();
    ASSERT_NE(list, nullptr);

    onOtherThread([&] { command("channel hide"); });
    EXPECT_FALSE(IsWindowVisible(list));
    onOtherThread([&] { command("channel toggle"); });
    EXPECT_TRUE(IsWindowVisible(list));

    onOtherThread([&] { command("channel off"); });
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(ownListWindow(), nullptr);
    // Nothing points at the closed window any more: "on" opens a new one.
    command("channel on");
    HWND again = ownListWindow();
    EXPECT_NE(again, nullptr);
    EXPECT_NE(again, list);

    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

}  // namespace
}  // namespace lifecycle
