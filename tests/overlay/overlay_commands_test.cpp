// Answers to the plugin's codes, and what the quit code stores.
#include <atomic>
#include <thread>

#include "overlay_harness.h"

namespace {

using OverlayCommands = OverlayTest;

// Code 4 opens the settings dialog and waits for the user: the dialog's own
// tests answer it.
TEST_F(OverlayCommands, UnknownCodesAnswerZero) {
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    EXPECT_EQ(channel.send(5, 1), 0);
    EXPECT_EQ(channel.send(0x7FFF, 1), 0);
    EXPECT_TRUE(overlay.running());
}

bool moveWindow(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r{};
    return waitFor([&] {
        return GetWindowRect(window, &r) && r.left == x && r.top == y;
    });
}

struct DialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND w, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (GetWindow(w, GW_OWNER) != search->owner || lstrcmpW(cls, L"#32770") != 0) return TRUE;
    search->found = w;
    return FALSE;
}

HWND settingsDialogOf(HWND overlay) {
    DialogSearch search{overlay, nullptr};
    EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Sends the settings code as the plugin does, waiting for the answer, and
// cancels the dialog the overlay shows meanwhile. False (and the overlay
// killed, so the sender comes back) when the code never returns.
bool openSettingsAndCancel(HWND window, OverlayProcess& overlay) {
    std::atomic<bool> answered{false};
    std::thread sender([&] {
        SendMessageW(window, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS, 0);
        answered = true;
    });
    const bool done = waitFor([&] {
        if (HWND dialog = settingsDialogOf(window))
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return answered.load();
    }, 5000);
    if (!done) overlay.stop(0);
    sender.join();
    return done;
}

TEST_F(OverlayCommands, QuitStoresThePositionOnlyWhenTheWindowWasMoved) {
    plugin();  // the quit code comes from the plugin's side
    ASSERT_TRUE(launch());
    const std::vector<BYTE> before = stored.bytes();
    EXPECT_EQ(quit(), 0);
    EXPECT_EQ(stored.bytes(), before) << "not moved: nothing written";

    // Moved sideways only: both coordinates are written, nothing else changes.
    ASSERT_TRUE(launch());
    ASSERT_TRUE(moveWindow(window, 77, config.y));
    EXPECT_EQ(quit(), 0);
    DisplayConfig moved = config;
    moved.x = 77;
    EXPECT_EQ(stored.bytes(), bytesOf(moved));

    // Opening the settings takes the dragged place into the live settings,
    // so after a cancel a quit without a further move has nothing to store.
    config.x = 20;
    ASSERT_TRUE(launch());
    ASSERT_TRUE(moveWindow(window, 90, 60));
    ASSERT_TRUE(openSettingsAndCancel(window, overlay));
    EXPECT_EQ(quit(), 0);
    EXPECT_EQ(stored.bytes(), bytesOf(config));
}

TEST_F(OverlayCommands, QuitOnAFreshProfileWritesNothing) {
    stored.erase();
    ASSERT_TRUE(launch(false));
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 10) << "the default place";
    EXPECT_EQ(quit(), 0);
    EXPECT_TRUE(stored.bytes().empty());
}

}  // namespace
