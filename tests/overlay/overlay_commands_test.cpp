// Answers to the plugin's codes, and what the quit code stores.
#include "overlay_harness.h"

namespace {

using OverlayCommands = OverlayTest;

TEST_F(OverlayCommands, SettingsAnswerTheSwitchTheyWereGivenAndUnknownCodesAnswerZero) {
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    EXPECT_EQ(channel.send(DISPLAY_OPEN_SETTINGS, 1), 1);
    EXPECT_EQ(channel.send(DISPLAY_OPEN_SETTINGS, 0), 0);
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

TEST_F(OverlayCommands, QuitStoresThePositionOnlyWhenTheWindowWasMoved) {
    PluginChannel& channel = plugin();
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

    // The settings code takes the dragged place into the live settings, so
    // a quit without a further move has nothing new to store.
    config.x = 20;
    ASSERT_TRUE(launch());
    ASSERT_TRUE(moveWindow(window, 90, 60));
    channel.send(DISPLAY_OPEN_SETTINGS, 0);
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
