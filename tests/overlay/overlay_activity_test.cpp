// The activity queue as the plugin drives it: timing, clearing, no queue.
#include "overlay_harness.h"

namespace {

// A short line shows only at the left; a long one reaches the right.
constexpr Band kActivityLeft{0, 20, 16, 40};
constexpr Band kActivityRight{120, 20, 240, 40};
constexpr wchar_t kShort[] = L"II";
constexpr wchar_t kLong[] = L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
// Drawn clear of the left edge and short of the right.
constexpr wchar_t kIndented[] = L"            II";

using OverlayActivity = OverlayTest;

TEST_F(OverlayActivity, EachLineShowsForOnePeriodAndALaterPostDoesNotRestartTheTimer) {
    config.displayDuration = 1;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());

    channel.postActivity(kShort);
    ASSERT_TRUE(channel.settle());
    const DWORD first = GetTickCount();
    EXPECT_TRUE(waitForInk(kChannel, kActivityLeft, true, 500));
    Sleep(400);
    channel.postActivity(kLong);  // while the first line shows
    ASSERT_TRUE(channel.settle());
    EXPECT_EQ(ink(kChannel, kActivityRight), 0) << "the first line still shows";

    ASSERT_TRUE(waitForInk(kChannel, kActivityRight, true, 3000));
    const DWORD second = GetTickCount();
    EXPECT_GE(second - first, 800u);
    EXPECT_LE(second - first, 1300u) << "the second post must not restart the first line's period";

    ASSERT_TRUE(waitForInk(kChannel, kActivityRow, false, 3000));
    const DWORD gone = GetTickCount();
    EXPECT_GE(gone - second, 800u) << "the second line gets a full period";
    EXPECT_LE(gone - second, 1500u);
}

TEST_F(OverlayActivity, ClearDropsEveryQueuedLineAndANewLineShowsAgain) {
    config.displayDuration = 30;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    for (const wchar_t* line : {kLong, kShort, kShort}) {
        channel.postActivity(line);
        ASSERT_TRUE(channel.settle());
    }
    ASSERT_TRUE(waitForInk(kChannel, kActivityRight, true));

    channel.notify(DISPLAY_ACTIVITY_CLEAR);
    EXPECT_TRUE(waitForInk(kChannel, kActivityRow, false, 1000)) << "nothing left to show";

    channel.postActivity(kShort);
    EXPECT_TRUE(waitForInk(kChannel, kActivityLeft, true, 1000));
    EXPECT_EQ(ink(kChannel, kActivityRight), 0) << "the cleared lines do not come back";
}

TEST_F(OverlayActivity, WithoutAQueueThePaintShowsTheSharedLineAsItStands) {
    config.displayDuration = 0;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());

    // No activity code at all: any repaint shows what the area holds.
    channel.writeActivity(kLong);
    channel.notify(DISPLAY_SPEAKERS_CHANGED);
    EXPECT_TRUE(waitForInk(kChannel, kActivityRight, true));

    channel.postActivity(L"");
    EXPECT_TRUE(waitForInk(kChannel, kActivityRow, false)) << "nothing was queued to linger";

    channel.postActivity(kShort);
    EXPECT_TRUE(waitForInk(kChannel, kActivityLeft, true));
}

// Any process can write the areas; one filled to the last unit with no
// terminator must be drawn within the area and must not bring the overlay
// down, whether the line is queued or painted in place.
TEST_F(OverlayActivity, UnterminatedAreasAreReadOnlyUpToTheirCapacity) {
    PluginChannel& channel = plugin();
    for (unsigned short duration : {5, 0}) {
        SCOPED_TRACE(duration);
        config.displayDuration = duration;
        ASSERT_TRUE(launch());
        channel.fillSpeakersUnterminated(L'W');
        channel.fillActivityUnterminated(L'W');
        channel.notify(DISPLAY_SPEAKERS_CHANGED);
        channel.notify(DISPLAY_ACTIVITY_POSTED);
        ASSERT_TRUE(channel.settle());
        EXPECT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true));
        EXPECT_TRUE(waitForInk(kChannel, kActivityRight, true));
        EXPECT_TRUE(overlay.running());
        EXPECT_EQ(quit(), 0);
    }
}

// A plugin (or any process) holding the mutex makes the overlay wait a
// bounded time and try again: a line it was told about shows once the
// mutex is free, without another notification.
TEST_F(OverlayActivity, ALineAnnouncedWhileTheMutexIsHeldShowsOnceItIsFree) {
    config.displayDuration = 5;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    channel.postSpeakers(L"");  // the start banner goes
    ASSERT_TRUE(waitForInk(kSpeaker, kSpeakerRow, false));
    UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, channel::kMutexName));
    ASSERT_TRUE(mutex);
    for (const WPARAM code : {DISPLAY_SPEAKERS_CHANGED, DISPLAY_ACTIVITY_POSTED}) {
        SCOPED_TRACE(code);
        const bool speakers = code == DISPLAY_SPEAKERS_CHANGED;
        const COLORREF colour = speakers ? kSpeaker : kChannel;
        const Band row = speakers ? kSpeakerRow : kActivityRow;
        ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
        // The mutex is ours already: the writer takes it again.
        speakers ? channel.writeSpeakers(kLong) : channel.writeActivity(kLong);
        channel.notify(code);
        ASSERT_TRUE(channel.settle());
        Sleep(400);
        EXPECT_EQ(ink(colour, row), 0) << "nothing is copied without the mutex";
        ReleaseMutex(mutex.get());
        EXPECT_TRUE(waitForInk(colour, row, true, 1000));
    }
}

// The plugin's log holds lines from before the overlay started, and the
// mutex is busy while the overlay starts and reads its first line: each
// line announced to it shows once, and none from before it started.
TEST_F(OverlayActivity, WithTheMutexBusyAtTheStartEachAnnouncedLineShowsOnce) {
    config.displayDuration = 1;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(channel.createLog());
    for (int i = 0; i < 3; ++i) channel.writeActivity(kIndented);
    UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, channel::kMutexName));
    ASSERT_TRUE(mutex);
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(launch());
    channel.postActivity(kLong);  // the mutex is ours already: the writer takes it again
    ASSERT_TRUE(channel.settle());
    ReleaseMutex(mutex.get());
    ASSERT_TRUE(waitForInk(kChannel, kActivityRight, true)) << "the retry read the line";

    // The row's lines in turn, one letter each (Long, Short, Indented),
    // until it empties after the short one. Each shows for a whole period,
    // so a look every few milliseconds sees every one.
    channel.postActivity(kShort);
    std::string shown;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(10)) {
        const screenshot::Image image = capture();
        const char shape = countColour(image, kChannel, kActivityRight) > 0  ? 'L'
                           : countColour(image, kChannel, kActivityLeft) > 0 ? 'S'
                           : countColour(image, kChannel, kActivityRow) > 0  ? 'I'
                                                                               : '-';
        if (shape == '-' && shown.find('S') != std::string::npos) break;
        if (shape != '-' && (shown.empty() || shown.back() != shape)) shown += shape;
    }
    EXPECT_EQ(shown, "LS") << "a line shown twice, or one from before the start";
}

}  // namespace
