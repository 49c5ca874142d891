// The window's place, size and style, and what is drawn where.
#include "overlay_harness.h"

namespace {

using OverlayWindow = OverlayTest;

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

TEST_F(OverlayWindow, PlaceSizeAndStyleComeFromTheStoredSettings) {
    config.x = 30;
    config.y = 50;
    config.width = 300;
    config.lineHeight = 24;
    ASSERT_TRUE(launch());
    RECT r = windowRect(window);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 48) << "two lines of the stored line height";
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_FALSE(style & WS_CAPTION & ~WS_BORDER);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    wchar_t className[32] = L"";
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(className, L"TALVORI_CLASS");
    EXPECT_EQ(quit(), 0);

    config.twoLines = 0;
    config.border = 0;
    ASSERT_TRUE(launch());
    r = windowRect(window);
    EXPECT_EQ(r.bottom - r.top, 24) << "one line";
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER);
}

// The two-lines byte is a count, not a switch: 2 makes three lines and puts
// the activity line at y 40.
TEST_F(OverlayWindow, ATwoLinesByteOfTwoGivesThreeLinesWithActivityAtForty) {
    config.twoLines = 2;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    RECT r = windowRect(window);
    EXPECT_EQ(r.bottom - r.top, 60);
    channel.postActivity(L"WWWW");
    EXPECT_TRUE(waitForInk(kChannel, Band{0, 40, 240, 60}, true));
    EXPECT_EQ(ink(kChannel, Band{0, 0, 240, 40}), 0);
}

TEST_F(OverlayWindow, SpeakerAndActivityColoursLandOnTheirOwnRows) {
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    channel.postSpeakers(L"Alice  Bob");
    ASSERT_TRUE(channel.settle());
    channel.postActivity(L"Carol -> Lobby");
    ASSERT_TRUE(waitForInk(kChannel, kActivityRow, true));
    ASSERT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true));
    EXPECT_EQ(ink(kChannel, kSpeakerRow), 0);
    EXPECT_EQ(ink(kSpeaker, kActivityRow), 0);
    // Text is drawn on boxes of the background colour.
    EXPECT_GT(ink(kBackground, kSpeakerRow), 0);
    EXPECT_GT(ink(kBackground, kActivityRow), 0);
}

TEST_F(OverlayWindow, OneLineShowsActivityOnlyWhileNobodyTalks) {
    config.twoLines = 0;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    channel.postActivity(L"WWWW");
    EXPECT_TRUE(waitForInk(kChannel, kSpeakerRow, true)) << "at y 0 while the speaker line is empty";

    channel.postSpeakers(L"Hi");
    EXPECT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true));
    EXPECT_EQ(ink(kChannel, kSpeakerRow), 0);
}

TEST_F(OverlayWindow, DisabledActivityIsNotDrawnButStillQueued) {
    config.activityEnabled = 0;
    config.displayDuration = 1;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    channel.postActivity(L"WWWW");
    ASSERT_TRUE(channel.settle());
    channel.postSpeakers(L"Hi");
    EXPECT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true));
    EXPECT_EQ(ink(kChannel, kActivityRow), 0);
}

}  // namespace
