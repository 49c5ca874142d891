// "command", "list" and "info" with its answer.
#include "commands_fixture.h"

namespace commandtest {
namespace {

TEST_F(CommandsTest, CommandSendsOnlyTheFirstArgumentToTheOwnChannel) {
    {
        StdoutCapture quiet;
        registerPluginCommandId("talvor_id");
    }
    StdoutCapture out;
    int result = processCommand(kTab, "command hello world");
    std::string printed = out.take();
    EXPECT_EQ(result, 0);
    auto sent = model.callsTo("sendPluginCommand");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].connection, kTab);
    EXPECT_EQ(sent[0].text, "hello");
    EXPECT_EQ(sent[0].text2, "talvor_id");
    EXPECT_EQ(sent[0].number, 0);
    EXPECT_EQ(sent[0].id1, 0u);  // no target list
    EXPECT_EQ(printed,
              "TALVORI: process command: 'command hello world'\n"
              "TALVORI: Sending plugin command: hello\n");
}

TEST_F(CommandsTest, CommandBeforeRegistrationOnlySaysSo) {
    StdoutCapture out;
    int result = processCommand(kTab, "command hello");
    std::string printed = out.take();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(model.countCalls("sendPluginCommand"), 0u);
    EXPECT_EQ(printed,
              "TALVORI: process command: 'command hello'\n"
              "TALVORI: Sending plugin command: hello\n"
              "TALVORI: Failed to send plugin command, was not registered.\n");
}

TEST_F(CommandsTest, CommandWithoutTextSaysSo) {
    EXPECT_EQ(run("command   "), 0);
    EXPECT_EQ(tab(), std::vector<std::string>({"Missing command parameter."}));
    EXPECT_EQ(model.countCalls("sendPluginCommand"), 0u);
}

TEST_F(CommandsTest, ListNamesCachedClientsAndUnkownForTheRest) {
    char name[kNameBufferBytes];
    clientNameCache.addClient(kTab, 6, name);
    ASSERT_STREQ(name, "Alice");
    model.clearCalls();

    EXPECT_EQ(run("list"), 0);
    EXPECT_EQ(tab(), std::vector<std::string>({" Handler Connection : 1  \n", " 5 : Unkown \n",
                                               " 6 : Alice \n", " 7 : Unkown \n"}));
    // The cache is only read: no nickname queries.
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 0u);
}

TEST_F(CommandsTest, ListShowsTheLow32BitsOfTheConnectionSigned) {
    const uint64 wide = 0x1FFFFFFFEull;  // low half 0xFFFFFFFE = -2
    model.addConnection(wide, "Wide", 3);
    model.addClient(wide, 3, "W", 0);
    EXPECT_EQ(run("list", wide), 0);
    EXPECT_EQ(tab(), std::vector<std::string>({" Handler Connection : -2  \n", " 3 : Unkown \n"}));
    model.removeConnection(wide);
}

TEST_F(CommandsTest, ListWithoutAClientListIsSilent) {
    model.failNext("getClientList", 0x0702);
    EXPECT_EQ(run("list"), 0);
    EXPECT_TRUE(tab().empty());
    EXPECT_TRUE(logs().empty());
}

TEST_F(CommandsTest, InfoPrintsThePingOnceForTheClientAskedFor) {
    model.client(kTab, 7)->ping = "57";
    EXPECT_EQ(run("info 7"), 0);
    auto asked = model.callsTo("requestConnectionInfo");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].connection, kTab);
    EXPECT_EQ(asked[0].id1, 7u);
    EXPECT_EQ(pendingInfoClient, 7);

    onConnectionInfo(kTab, 8);
    EXPECT_TRUE(tab().empty());
    EXPECT_EQ(pendingInfoClient, 7);

    onConnectionInfo(kTab, 7);
    onConnectionInfo(kTab, 7);
    EXPECT_EQ(tab(), std::vector<std::string>({"Ping 7 : 57 ms\n"}));
    EXPECT_EQ(pendingInfoClient, 0);
    auto pings = model.callsTo("getConnectionVariableAsString");
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].id2, 0u);  // property 0, the ping
}

TEST_F(CommandsTest, InfoAnswerFromAnotherConnectionStillCounts) {
    model.addClient(kOtherTab, 7, "Carol", 40);
    model.client(kOtherTab, 7)->ping = "120";
    run("info 7");
    onConnectionInfo(kOtherTab, 7);
    EXPECT_EQ(tab(), std::vector<std::string>({"Ping 7 : 120 ms\n"}));
}

TEST_F(CommandsTest, InfoCutsTheNumberToSixteenBits) {
    EXPECT_EQ(run("info 65543"), 0);
    auto asked = model.callsTo("requestConnectionInfo");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].id1, 7u);
    EXPECT_EQ(pendingInfoClient, 7);
    // Saturated before the cut: 0x7FFFFFFF keeps its low 0xFFFF.
    run("info 99999999999");
    EXPECT_EQ(pendingInfoClient, 0xFFFF);
}

TEST_F(CommandsTest, InfoWithoutClientDoesNothing) {
    EXPECT_EQ(run("info"), 0);
    EXPECT_TRUE(model.calls().empty());
}

TEST_F(CommandsTest, InfoErrorsGoToTheTabAndKeepTheRequestOpen) {
    EXPECT_EQ(run("info 42"), 0);  // no client 42
    EXPECT_EQ(tab(), std::vector<std::string>({"Get Connection Variable error  :  0x200\n"}));
    EXPECT_EQ(pendingInfoClient, 42);

    model.clearCalls();
    run("info 6");
    model.failNext("getConnectionVariableAsString", 0x0702);
    onConnectionInfo(kTab, 6);
    EXPECT_EQ(tab(), std::vector<std::string>({"Get Connection Variable error  :  0x702\n"}));
    EXPECT_EQ(pendingInfoClient, 6);
    onConnectionInfo(kTab, 6);
    EXPECT_EQ(tab().back(), "Ping 6 : 42 ms\n");
    EXPECT_EQ(pendingInfoClient, 0);
}

}  // namespace
}  // namespace commandtest
