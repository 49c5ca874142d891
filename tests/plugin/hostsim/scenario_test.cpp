// Scenario files are hand-written: the parser must take what the format
// allows, and name the line of anything it does not, before a step runs.
#include <gtest/gtest.h>

#include "demo_scenario.h"
#include "scenario.h"

using namespace hostsim;

namespace {

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::string error;
    EXPECT_TRUE(splitWords(line, &out, &error)) << error;
    return out;
}

TEST(ScenarioWords, QuotesGroupEscapesAndCommentsEndTheLine) {
    EXPECT_EQ((std::vector<std::string>{"client", "1", "7", "Bob the \"B\"", "10"}),
              words("  client 1\t7 \"Bob the \\\"B\\\"\" 10  # trailing comment"));
    EXPECT_EQ((std::vector<std::string>{"say", "# not a comment", ""}),
              words("say \"# not a comment\" \"\""));
    EXPECT_EQ((std::vector<std::string>{"a\\b"}), words("\"a\\\\b\""));
    EXPECT_TRUE(words("   # only a comment").empty());

    std::vector<std::string> out;
    std::string error;
    EXPECT_FALSE(splitWords("say \"unclosed", &out, &error));
    EXPECT_FALSE(splitWords("say \"bad \\q escape\"", &out, &error));
    EXPECT_FALSE(splitWords("say \"glued\"on", &out, &error));
}

TEST(ScenarioParse, WorldAndEventsBecomeTypedSteps) {
    ParsedScenario p = parseScenario(
        "\xEF\xBB\xBF# a session\r\n"
        "connection 1 \"My Server\" own 5\r\n"
        "\n"
        "client 1 7 \"Bob\" 10 muted away ping 99\n"
        "move 1 7 - 20\n"
        "kickserver 1 7 20 2\n"
        "talk 1 7 whisper\n"
        "fail getClientID 0x702 always\n"
        "fail freeMemory 5\n"
        "update 1 7 nick \"Robert\"\n"
        "screenshot a.png screen\n"
        "configured\n");
    ASSERT_TRUE(p.ok()) << p.errors.front();
    ASSERT_EQ(10u, p.steps.size());

    const Step& conn = p.steps[0];
    EXPECT_EQ(Verb::Connection, conn.verb);
    EXPECT_EQ(2, conn.line);
    EXPECT_EQ(1u, conn.connection);
    EXPECT_EQ("My Server", conn.text);
    EXPECT_EQ(5, conn.client);
    EXPECT_EQ("connection 1 \"My Server\" own 5", conn.source);

    const Step& client = p.steps[1];
    EXPECT_EQ(4, client.line);
    EXPECT_EQ(10u, client.channel);
    EXPECT_TRUE(client.muted);
    EXPECT_FALSE(client.deaf);
    EXPECT_TRUE(client.away);
    EXPECT_EQ("99", client.ping);

    const Step& move = p.steps[2];
    EXPECT_TRUE(move.oldFromModel);
    EXPECT_EQ(20u, move.newChannel);
    EXPECT_EQ(-1, move.visibility);

    const Step& kick = p.steps[3];
    EXPECT_EQ(Verb::KickServer, kick.verb);
    EXPECT_FALSE(kick.oldFromModel);
    EXPECT_EQ(20u, kick.oldChannel);
    EXPECT_EQ(2, kick.visibility);

    EXPECT_EQ("whisper", p.steps[4].word);
    EXPECT_EQ(1794u, p.steps[5].error);
    EXPECT_EQ(-1, p.steps[5].number);
    EXPECT_EQ(5u, p.steps[6].error);
    EXPECT_EQ(1, p.steps[6].number) << "one failure unless told";
    EXPECT_EQ("Robert", p.steps[7].text);
    EXPECT_EQ("screen", p.steps[8].word);
    EXPECT_EQ(10000, p.steps[9].number) << "default configure wait";
}

TEST(ScenarioParse, EveryBadLineIsReportedWithItsNumber) {
    ParsedScenario p = parseScenario(
        "init\n"
        "teleport 1 2\n"                  // 2: unknown command
        "connection 1 \"S\" mine 5\n"     // 3: keyword
        "talk 1 7 shout\n"                // 4: talk state
        "client 1 70000 \"X\" 1\n"        // 5: client id beyond 16 bits
        "move 1 7 10\n"                   // 6: missing new channel
        "wait -5\n"                       // 7: negative number
        "tab 1 2\n"                       // 8: extra word
        "say \"open\n"                    // 9: unclosed quote
        "move 1 7 10 20 3\n"              // 10: visibility beyond 2
        "clients 1 9 3 \"P\" 1\n"         // 11: a range going down
        "clients 1 0 3 \"P\" 1\n"         // 12: a range from client 0
        "clients 1 2 500 \"Player\" 1 away\n"
        "shutdown\n");
    ASSERT_EQ(11u, p.errors.size());
    const char* expected[] = {"line 2: ", "line 3: ", "line 4: ", "line 5: ",  "line 6: ",
                              "line 7: ", "line 8: ", "line 9: ", "line 10: ", "line 11: ",
                              "line 12: "};
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(0u, p.errors[i].find(expected[i])) << p.errors[i];
    EXPECT_NE(std::string::npos, p.errors[0].find("teleport"));
    EXPECT_NE(std::string::npos, p.errors[5].find("-5"));
    ASSERT_EQ(3u, p.steps.size()) << "the good lines still parse";
    EXPECT_EQ(2, p.steps[1].client);
    EXPECT_EQ(500, p.steps[1].lastClient);
    EXPECT_TRUE(p.steps[1].away);
}

TEST(ScenarioParse, BuiltInDemoIsValid) {
    ParsedScenario p = parseScenario(kDemoScenario);
    EXPECT_TRUE(p.ok()) << (p.ok() ? "" : p.errors.front());
    ASSERT_FALSE(p.steps.empty());
    EXPECT_EQ(Verb::Unload, p.steps.back().verb);
}

}  // namespace
