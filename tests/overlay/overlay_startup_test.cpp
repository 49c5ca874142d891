// How the overlay finds (or does not find) the plugin's channel.
#include "overlay_harness.h"

namespace {

const std::wstring kBanner =
    L"_________________TALVORI______________________________________________";
// Only the banner reaches this far right on the speaker row.
constexpr Band kBannerTail{120, 0, 240, 20};
constexpr Band kLeftOfSpeakerRow{0, 0, 40, 20};

using OverlayStartup = OverlayTest;

TEST_F(OverlayStartup, AloneItShowsItsBannerUntilThePluginsFirstSpeakerLine) {
    ASSERT_TRUE(launch());
    EXPECT_TRUE(waitForInk(kSpeaker, kBannerTail, true)) << "banner from the private buffer";

    PluginChannel& channel = plugin();
    channel.writeSpeakers(L"Hi");
    channel.notify(DISPLAY_SPEAKERS_CHANGED);
    EXPECT_TRUE(waitForInk(kSpeaker, kBannerTail, false)) << "the banner is replaced";
    EXPECT_GT(ink(kSpeaker, kLeftOfSpeakerRow), 0) << "the shared line shows";
    // The late opening reads the shared line; the banner is not written into it.
    EXPECT_EQ(channel.speakerText(), L"Hi");

    EXPECT_EQ(quit(), 0);
    const std::string out = overlay.output();
    EXPECT_NE(out.find("Could not open file mapping object (2).\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Could not open mutex"), std::string::npos) << out;
}

TEST_F(OverlayStartup, WithThePluginFirstTheStartTextGoesIntoTheSharedArea) {
    PluginChannel& channel = plugin();
    channel.writeSpeakers(L"left over");
    ASSERT_TRUE(launch());
    EXPECT_EQ(channel.speakerText(), kBanner);
    EXPECT_TRUE(waitForInk(kSpeaker, kBannerTail, true));
    EXPECT_EQ(quit(), 0);
    EXPECT_EQ(overlay.output().find("Could not"), std::string::npos);

    // One line: nothing marks the speaker line.
    config.twoLines = 0;
    channel.writeSpeakers(L"left over");
    ASSERT_TRUE(launch());
    EXPECT_EQ(channel.speakerText(), L"");
    EXPECT_EQ(ink(kSpeaker, kSpeakerRow), 0);
}

// A restarted (or second) overlay starts while the plugin may be writing:
// its start writes wait for the mutex like any other writer's, and the
// window does not wait with them.
TEST_F(OverlayStartup, TheStartWritesWaitForTheMutexAndTheBannerShowsMeanwhile) {
    PluginChannel& channel = plugin();
    channel.writeSpeakers(L"Alice");
    channel.writeActivity(L"left over");
    UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, channel::kMutexName));
    ASSERT_TRUE(mutex);
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(launch()) << "the start waited for the mutex";
    EXPECT_TRUE(waitForInk(kSpeaker, kBannerTail, true)) << "the banner shows before it is written";
    Sleep(400);  // the start's own wait and a few retries
    EXPECT_EQ(channel.speakerText(), L"Alice") << "written while another process held the mutex";
    EXPECT_EQ(channel.activityText(), L"left over")
        << "cleared while another process held the mutex";
    ReleaseMutex(mutex.get());
    EXPECT_TRUE(waitFor([&] { return channel.speakerText() == kBanner; }));
    EXPECT_TRUE(waitFor([&] { return channel.activityText().empty(); }));
}

// Started before the plugin, the overlay opens the channel on the first
// post: that post's line must show, not be wiped by the opening.
TEST_F(OverlayStartup, AnActivityPostThatOpensTheChannelShowsItsLine) {
    config.displayDuration = 1;
    ASSERT_TRUE(launch());
    PluginChannel& channel = plugin();
    channel.writeActivity(L"WWWWWWWW");
    channel.notify(DISPLAY_ACTIVITY_POSTED);
    ASSERT_TRUE(channel.settle());
    EXPECT_EQ(channel.activityText(), L"WWWWWWWW") << "the opening kept the announced line";
    EXPECT_TRUE(waitForInk(kChannel, kActivityRow, true, 3000));
}

}  // namespace
