#include <gtest/gtest.h>

#include "activity_fixture.h"
#include "activity_line.h"
#include "capture_stdout.h"
#include "display_link.h"
#include "globals.h"
#include "name_cache.h"

namespace {

const std::vector<WPARAM> kPosted{DISPLAY_ACTIVITY_POSTED};
const std::vector<WPARAM> kCleared{DISPLAY_ACTIVITY_CLEAR};
const std::vector<WPARAM> kClearedAndPosted{DISPLAY_ACTIVITY_CLEAR, DISPLAY_ACTIVITY_POSTED};

}  // namespace

// ---- Move lines -----------------------------------------------------------

TEST_F(ActivityTest, MoveLineKeepsTheWholeNicknameWhenBothNamesFit) {
    model.addClient(kConnection, 2, "Alice", kGames);  // 50 px + 100 px + 20 <= 240
    handleClientMove(kConnection, 2, kLobby, kGames, 0, "");

    EXPECT_EQ(activityText(), L"Alice -> Games Room ");
    EXPECT_TRUE(measurer.limits.empty());
    EXPECT_EQ(overlay.codes, kPosted);
    EXPECT_TRUE(cached(kConnection, 2));
}

TEST_F(ActivityTest, MoveLineCutsOnlyTheNicknameWhenTooWide) {
    model.addClient(kConnection, 3, "Bartholomew-Jon", kGames);  // 150 + 100 + 20 = 270 > 240
    handleClientMove(kConnection, 3, kLobby, kGames, 0, "");

    EXPECT_EQ(measurer.limits, std::vector<int>{110});
    EXPECT_EQ(activityText(), L"Bartholomew -> Games Room ");

    // Exactly at the width nothing is cut: 100 + 100 + 20 = 220 <= 220.
    measurer.limits.clear();
    pluginDisplayConfig.width = 220;
    model.addClient(kConnection, 4, "Wilhelmina", kGames);
    handleClientMove(kConnection, 4, kLobby, kGames, 0, "");
    EXPECT_TRUE(measurer.limits.empty());
    EXPECT_EQ(activityText(), L"Wilhelmina -> Games Room ");
}

TEST_F(ActivityTest, NicknameEndingInABlankGetsNoSecondBlank) {
    model.addClient(kConnection, 5, "Zed ", kGames);
    handleClientMove(kConnection, 5, kLobby, kGames, 0, "");
    EXPECT_EQ(activityText(), L"Zed -> Games Room ");

    model.removeClient(kConnection, 5);
    handleClientMove(kConnection, 5, kGames, 0, 0, "");
    EXPECT_EQ(activityText(), L"Zed disconnected ");
}

TEST_F(ActivityTest, LongChannelNamesAreCutCleanlyToTheirBuffer) {
    // 45 units do not fit 40 with the terminator: 39 stay.
    const std::string longName(45, 'c');
    model.addChannel(kConnection, 30, longName);
    model.addClient(kConnection, 6, "Al", 30);
    pluginDisplayConfig.width = 500;
    handleClientMove(kConnection, 6, kLobby, 30, 0, "");
    EXPECT_EQ(activityText(), L"Al -> " + std::wstring(39, L'c') + L" ");

    // A character outside the BMP that would straddle the end is left out
    // whole, never split into a lone surrogate.
    model.addChannel(kConnection, 31, std::string(38, 'd') + "\xF0\x9F\x8E\xAE");
    model.moveClient(kConnection, 6, 31);
    handleClientMove(kConnection, 6, 30, 31, 0, "");
    EXPECT_EQ(activityText(), L"Al -> " + std::wstring(38, L'd') + L" ");
}

TEST_F(ActivityTest, ConnectIntoMyChannelPostsAndRepaintsTheList) {
    model.addClient(kConnection, 7, "Dora", kLobby);
    handleClientMove(kConnection, 7, 0, kLobby, 0, "");

    EXPECT_EQ(activityText(), L"Dora -> Lobby ");
    EXPECT_EQ(overlay.codes, kPosted);
    EXPECT_EQ(list.paints, 1);
}

TEST_F(ActivityTest, ListRepaintsOnlyForMyChannelAndNotWhileConfiguring) {
    model.addClient(kConnection, 8, "Eve", kGames);
    model.addChannel(kConnection, 40, "Attic");
    handleClientMove(kConnection, 8, 40, kGames, 0, "");  // elsewhere
    EXPECT_EQ(list.paints, 0);

    handleClientMove(kConnection, 8, kGames, kLobby, 0, "");  // into mine
    EXPECT_EQ(list.paints, 1);
    handleClientMove(kConnection, 8, kLobby, kGames, 0, "");  // out of mine
    EXPECT_EQ(list.paints, 2);

    placingListWindow = true;
    handleClientMove(kConnection, 8, kGames, kLobby, 0, "");
    EXPECT_EQ(list.paints, 2);
    EXPECT_EQ(overlay.codes.size(), 4u);  // the lines go on while configuring
}

// ---- Leave lines ----------------------------------------------------------

TEST_F(ActivityTest, LeaveLineTakesTheLargerOfTheTwoFits) {
    // 20 units = 200 px. W = 240: beside the word 160 px (16), half 118 px (11).
    model.addClient(kConnection, 9, "Christopher-Columbus", kLobby);
    handleClientMove(kConnection, 9, 0, kLobby, 0, "");
    measurer.limits.clear();
    model.removeClient(kConnection, 9);
    handleClientMove(kConnection, 9, kLobby, 0, 0, "");
    EXPECT_EQ(measurer.limits, (std::vector<int>{160, 118}));
    EXPECT_EQ(activityText(), L"Christopher-Colu disconnected ");
    EXPECT_FALSE(cached(kConnection, 9));

    // W = 100: 20 px (2) and 48 px (4); the half-width count wins.
    pluginDisplayConfig.width = 100;
    model.addClient(kConnection, 9, "Christopher-Columbus", kLobby);
    handleClientMove(kConnection, 9, 0, kLobby, 0, "");
    measurer.limits.clear();
    model.removeClient(kConnection, 9);
    handleClientMove(kConnection, 9, kLobby, 0, 0, "");
    EXPECT_EQ(measurer.limits, (std::vector<int>{20, 48}));
    EXPECT_EQ(activityText(), L"Chri disconnected ");
}

TEST_F(ActivityTest, NarrowOverlayGivesNegativeLimitsNotGarbage) {
    // Below the rooms subtracted from it the width yields negative limits
    // (signed arithmetic), and nothing of the nickname fits.
    pluginDisplayConfig.width = 2;
    model.addClient(kConnection, 10, "Frank", kGames);
    handleClientMove(kConnection, 10, kLobby, kGames, 0, "");
    EXPECT_EQ(measurer.limits, std::vector<int>{-9});
    EXPECT_EQ(activityText(), L" -> Games Room ");

    measurer.limits.clear();
    model.removeClient(kConnection, 10);
    handleClientMove(kConnection, 10, kGames, 0, 0, "");
    EXPECT_EQ(measurer.limits, (std::vector<int>{-78, -1}));
    EXPECT_EQ(activityText(), L" disconnected ");
}

// ---- Which events post ----------------------------------------------------

TEST_F(ActivityTest, OwnConnectionDroppingClearsAndPostsOnlyWhenCurrent) {
    model.addConnection(kOtherConnection, "Beta Server", 1);
    model.addChannel(kOtherConnection, 50, "Hall");
    model.addClient(kOtherConnection, 1, "Me too", 50);
    model.addClient(kOtherConnection, 2, "Gus", 50);
    model.addClient(kConnection, 2, "Alice", kLobby);
    clientNameCache.addClient(kOtherConnection, 2, nullptr);
    clientNameCache.addClient(kConnection, 2, nullptr);
    clientNameCache.addClient(kConnection, kOwnClient, nullptr);

    // The background connection drops: its names go, the queue is cleared,
    // the line is written but not posted.
    model.connection(kOtherConnection)->ownClient = 0;
    handleClientMove(kOtherConnection, 1, 50, 0, 0, "");
    EXPECT_FALSE(cached(kOtherConnection, 2));
    EXPECT_TRUE(cached(kConnection, 2));
    EXPECT_EQ(activityText(), L"DISCONNECTED ");
    EXPECT_EQ(overlay.codes, kCleared);

    // The current one drops: the same, and now posted.
    overlay.codes.clear();
    setActivityText(L"old");
    model.connection(kConnection)->ownClient = 0;
    handleClientMove(kConnection, kOwnClient, kLobby, 0, 0, "");
    EXPECT_FALSE(cached(kConnection, 2));
    EXPECT_FALSE(cached(kConnection, kOwnClient));
    EXPECT_EQ(activityText(), L"DISCONNECTED ");
    EXPECT_EQ(overlay.codes, kClearedAndPosted);
    EXPECT_EQ(list.paints, 0);
}

TEST_F(ActivityTest, MoveOnABackgroundConnectionOnlyKeepsTheCache) {
    model.addConnection(kOtherConnection, "Beta Server", 1);
    model.addChannel(kOtherConnection, 50, "Hall");
    model.addChannel(kOtherConnection, 51, "Yard");
    model.addClient(kOtherConnection, 1, "Me too", 50);
    model.addClient(kOtherConnection, 3, "Hank", 51);
    setActivityText(L"before");

    handleClientMove(kOtherConnection, 3, 50, 51, 0, "");
    EXPECT_TRUE(cached(kOtherConnection, 3));
    EXPECT_EQ(activityText(), L"before");
    EXPECT_TRUE(overlay.codes.empty());

    // Its leave line is not shown either, but the name still goes.
    model.removeClient(kOtherConnection, 3);
    handleClientMove(kOtherConnection, 3, 51, 0, 0, "");
    EXPECT_FALSE(cached(kOtherConnection, 3));
    EXPECT_EQ(activityText(), L"before");
    EXPECT_TRUE(overlay.codes.empty());
}

TEST_F(ActivityTest, OnlyMyChannelIgnoresOtherChannelsAndKeepsTheirNames) {
    pluginDisplayConfig.onlyMyChannel = 1;
    model.addClient(kConnection, 11, "Ivy", kGames);
    clientNameCache.addClient(kConnection, 11, nullptr);
    setActivityText(L"before");

    model.removeClient(kConnection, 11);
    handleClientMove(kConnection, 11, kGames, 0, 0, "");
    EXPECT_EQ(activityText(), L"before");
    EXPECT_TRUE(overlay.codes.empty());
    EXPECT_TRUE(cached(kConnection, 11));

    // An arrival in my channel still shows.
    model.addClient(kConnection, 12, "Jo", kLobby);
    handleClientMove(kConnection, 12, 0, kLobby, 0, "");
    EXPECT_EQ(activityText(), L"Jo -> Lobby ");
    EXPECT_EQ(overlay.codes, kPosted);
}

TEST_F(ActivityTest, LeavingVisibilityUsesOnlyWhatIsCached) {
    model.addClient(kConnection, 13, "Kim", kGames);
    handleClientMove(kConnection, 13, kLobby, kGames, 2, "");
    EXPECT_FALSE(cached(kConnection, 13));
    EXPECT_EQ(activityText(), L"Unkown -> Games Room ");
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 0u);

    clientNameCache.addClient(kConnection, 13, nullptr);
    handleClientMove(kConnection, 13, kGames, kLobby, 2, "");
    EXPECT_EQ(activityText(), L"Kim -> Lobby ");
}

// ---- Host failures --------------------------------------------------------

TEST_F(ActivityTest, HostFailuresStopTheEventWithTheirLogLine) {
    model.addClient(kConnection, 15, "Max", kGames);
    setActivityText(L"before");

    model.failNext("getClientID", 1);
    handleClientMove(kConnection, 15, kLobby, kGames, 0, "");
    ASSERT_EQ(logs().size(), 1u);
    EXPECT_EQ(logs()[0].text, "Error querying own client id");
    EXPECT_FALSE(cached(kConnection, 15));

    model.clearCalls();
    model.failNext("getChannelOfClient", 1);
    {
        StdoutCapture out;
        handleClientMove(kConnection, 15, kLobby, kGames, 0, "");
        EXPECT_NE(out.take().find("Error querying own channel id\n"), std::string::npos);
    }
    ASSERT_EQ(logs().size(), 1u);
    EXPECT_EQ(logs()[0].text, "Error querying own channel id");
    EXPECT_TRUE(cached(kConnection, 15));  // added before the failure

    model.clearCalls();
    model.failNext("getChannelVariableAsString", 1);
    handleClientMove(kConnection, 15, kLobby, kGames, 0, "");
    ASSERT_EQ(logs().size(), 1u);
    EXPECT_EQ(logs()[0].text, "Error client name 2");

    for (const auto& log : logs()) {
        EXPECT_EQ(log.number, 1);
        EXPECT_EQ(log.text2, "TALVORI");
        EXPECT_EQ(log.id1, kConnection);
    }
    EXPECT_EQ(activityText(), L"before");
    EXPECT_TRUE(overlay.codes.empty());
}

// ---- selectConnection -----------------------------------------------------

TEST_F(ActivityTest, SelectConnectionRebuildsClearsAndPostsTheServerLine) {
    model.addConnection(kOtherConnection, "Beta Server", 1);
    model.addChannel(kOtherConnection, 50, "Hall");
    model.addClient(kOtherConnection, 1, "Me too", 50);
    model.addClient(kOtherConnection, 4, "Nell", 50);

    StdoutCapture out;
    selectConnection(kOtherConnection);
    std::string printed = out.take();

    EXPECT_EQ(currentConnection, kOtherConnection);
    EXPECT_TRUE(cached(kOtherConnection, 4));
    EXPECT_TRUE(cached(kConnection, kOwnClient));
    EXPECT_EQ(activityText(), L"Beta Server ");
    EXPECT_EQ(overlay.codes, kClearedAndPosted);
    EXPECT_NE(printed.find("TALVORI: Server name: Beta Server\n"), std::string::npos);
}

TEST_F(ActivityTest, ServerNameFailureClearsWithoutPosting) {
    setActivityText(L"before");
    model.failNext("getServerVariableAsString", 1794);
    selectConnection(kConnection);
    EXPECT_TRUE(logs().empty());
    EXPECT_EQ(overlay.codes, kCleared);
    EXPECT_EQ(activityText(), L"before");

    overlay.codes.clear();
    model.failNext("getServerVariableAsString", 1796);
    selectConnection(kConnection);
    ASSERT_EQ(logs().size(), 1u);
    EXPECT_EQ(logs()[0].text, "Error querying server name");
    EXPECT_EQ(logs()[0].text2, "Plugin");
    EXPECT_EQ(logs()[0].number, 1);
    EXPECT_EQ(logs()[0].id1, kConnection);
    EXPECT_EQ(overlay.codes, kCleared);
    EXPECT_EQ(activityText(), L"before");
}

TEST_F(ActivityTest, LongServerNameIsCutToItsBuffer) {
    model.connection(kConnection)->serverName = std::string(70, 's');
    selectConnection(kConnection);
    EXPECT_EQ(activityText(), std::wstring(63, L's') + L" ");
}

// ---- Subscription ---------------------------------------------------------

TEST_F(ActivityTest, SubscriptionCachesUnlessLeavingVisibility) {
    model.addClient(kConnection, 16, "Olga", kGames);
    model.addClient(kConnection, 17, "Pia", kGames);
    StdoutCapture out;
    onClientMoveSubscription(kConnection, 16, 0, kGames, 0);
    onClientMoveSubscription(kConnection, 17, 0, kGames, 2);
    std::string printed = out.take();

    EXPECT_TRUE(cached(kConnection, 16));
    EXPECT_FALSE(cached(kConnection, 17));
    EXPECT_NE(printed.find("TALVORI: onClientMoveSubscriptionEvent \n"), std::string::npos);
    EXPECT_TRUE(overlay.codes.empty());
    EXPECT_EQ(list.paints, 0);
}
