// "join" and "unmove" against the host's channels 10, 20, 30 (the user in 20).
#include "commands_fixture.h"

namespace commandtest {
namespace {

TEST_F(CommandsTest, JoinByNumberRemembersTheOwnChannelAndMoves) {
    EXPECT_EQ(run("join 30"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 30, ""}}));
    EXPECT_EQ(previousChannel, 20u);
    EXPECT_TRUE(logs().empty());
    auto moveCalls = model.callsTo("requestClientMove");
    EXPECT_EQ(moveCalls[0].connection, kTab);
    EXPECT_FALSE(moveCalls[0].textNull);  // an empty password, not none
}

TEST_F(CommandsTest, JoinTakesTheLastFurtherWordAsPassword) {
    EXPECT_EQ(run("join 30 secret"), 0);
    EXPECT_EQ(run("  join   10   a  b   last  "), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 30, "secret"}, {kOwnClient, 10, "last"}}));
}

TEST_F(CommandsTest, JoinOnAnotherTabUsesThatConnection) {
    EXPECT_EQ(run("join 40", kOtherTab), 0);
    auto moveCalls = model.callsTo("requestClientMove");
    ASSERT_EQ(moveCalls.size(), 1u);
    EXPECT_EQ(moveCalls[0].connection, kOtherTab);
    EXPECT_EQ(moveCalls[0].id1, 9u);
    EXPECT_EQ(previousChannel, 40u);
}

TEST_F(CommandsTest, JoinWithoutChannelSaysSoAndAsksNothing) {
    EXPECT_EQ(run("join"), 0);
    EXPECT_EQ(tab(), std::vector<std::string>({"Missing channel ID parameter."}));
    EXPECT_EQ(model.countCalls("getClientID"), 0u);
    EXPECT_TRUE(moves().empty());
}

TEST_F(CommandsTest, JoinOfAWordRequestsChannelZeroAndLogsTheRefusal) {
    EXPECT_EQ(run("join abc"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 0, ""}}));
    expectLoggedAsCommandError("Error requesting client move");
}

TEST_F(CommandsTest, JoinNumbersBeyond32BitsSaturateInsteadOfWrapping) {
    // 4294967326 would wrap onto channel 30; it must not land there.
    model.addChannel(kTab, 2147483647ull, "Top");
    EXPECT_EQ(run("join 4294967326"), 0);
    EXPECT_EQ(run("join -1"), 0);
    EXPECT_EQ(run("join -99999999999"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 2147483647ull, ""},
                                          {kOwnClient, 0xFFFFFFFFFFFFFFFFull, ""},
                                          {kOwnClient, 0xFFFFFFFF80000000ull, ""}}));
}

TEST_F(CommandsTest, JoinStopsWhenTheHostCannotSayWhoOrWhereTheUserIs) {
    model.failNext("getClientID", 0x0702);
    EXPECT_EQ(run("join 30"), 0);
    expectLoggedAsCommandError("Error querying client ID");
    EXPECT_TRUE(moves().empty());

    model.clearCalls();
    model.failNext("getChannelOfClient", 0x0200);
    EXPECT_EQ(run("join 30"), 0);
    expectLoggedAsCommandError("Error querying Channel Of Client");
    EXPECT_TRUE(moves().empty());
}

TEST_F(CommandsTest, JoinPlusAndMinusStepThroughTheHostsOrder) {
    EXPECT_EQ(run("join + pw"), 0);  // from 20
    EXPECT_EQ(run("join -"), 0);     // from 20
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 30, "pw"}, {kOwnClient, 10, ""}}));
    EXPECT_EQ(model.countCalls("freeMemory"), 2u);
}

TEST_F(CommandsTest, JoinPlusWrapsFromTheLastMinusStaysOnTheFirst) {
    model.moveClient(kTab, kOwnClient, 30);
    EXPECT_EQ(run("join +"), 0);
    model.moveClient(kTab, kOwnClient, 10);
    EXPECT_EQ(run("join -"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 10, ""}, {kOwnClient, 10, ""}}));
}

TEST_F(CommandsTest, JoinStepWithTheOwnChannelMissingFromTheListDoesNothing) {
    model.addChannel(kTab, 99, "Hidden");
    model.moveClient(kTab, kOwnClient, 99);
    // The host's list no longer holds 99 once the channel is gone from it.
    model.connection(kTab)->channels.pop_back();
    EXPECT_EQ(run("join +"), 0);
    EXPECT_EQ(run("join -"), 0);
    EXPECT_TRUE(moves().empty());
    EXPECT_EQ(previousChannel, 99u);
}

TEST_F(CommandsTest, JoinStepWithoutAChannelListIsNotHandled) {
    model.failNext("getChannelList", 0x0702);
    EXPECT_EQ(run("join +"), 1);
    EXPECT_TRUE(moves().empty());
    EXPECT_TRUE(logs().empty());
    EXPECT_TRUE(tab().empty());
}

TEST_F(CommandsTest, UnmoveBeforeAnyJoinTargetsChannelZero) {
    EXPECT_EQ(run("unmove"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 0, ""}}));
    expectLoggedAsCommandError("Error requesting client move");
}

TEST_F(CommandsTest, UnmoveReturnsToTheChannelOfTheLastJoin) {
    run("join 30 pw");
    model.moveClient(kTab, kOwnClient, 30);
    EXPECT_EQ(run("unmove ignored words"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 30, "pw"}, {kOwnClient, 20, ""}}));
    EXPECT_TRUE(logs().empty());

    model.clearCalls();
    model.failNext("getClientID", 0x0702);
    EXPECT_EQ(run("unmove"), 0);
    expectLoggedAsCommandError("Error querying client ID");
    EXPECT_TRUE(moves().empty());
}

}  // namespace
}  // namespace commandtest
