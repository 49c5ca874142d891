// Splitting, dispatch, the command buffer's limit, the id registration and
// the text-message trace.
#include <malloc.h>

#include <chrono>
#include <cstring>
#include <random>

#include "commands_fixture.h"

namespace commandtest {
namespace {

TEST_F(CommandsTest, NoVerbIsNotHandledAndTouchesNothing) {
    for (const char* command : {"", " ", "     ", "JOIN 30", "Join 30", "joins 30", "join\t30",
                                "talvor join 30", "unknown", "list2", "eras"}) {
        EXPECT_EQ(run(command), 1) << '"' << command << '"';
    }
    EXPECT_TRUE(model.calls().empty()) << model.transcript();
    EXPECT_EQ(previousChannel, 0u);
}

TEST_F(CommandsTest, TraceShowsTheRawCommandFirst) {
    StdoutCapture out;
    int result = processCommand(kTab, "  JOIN  12 ");
    int nullResult = processCommand(kTab, nullptr);
    std::string printed = out.take();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(nullResult, 1);
    EXPECT_EQ(printed,
              "TALVORI: process command: '  JOIN  12 '\n"
              "TALVORI: process command: ''\n");
}

TEST_F(CommandsTest, CommandOf127BytesIsActedOnWhole) {
    std::string command = "join 30 " + std::string(119, 'p');
    ASSERT_EQ(command.size(), 127u);
    EXPECT_EQ(run(command.c_str()), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 30, std::string(119, 'p')}}));
}

TEST_F(CommandsTest, CommandOf128BytesOrMoreIsRefusedAfterTheTrace) {
    for (size_t size : {128u, 129u, 4000u}) {
        std::string command = "join 30 " + std::string(size - 8, 'p');
        ASSERT_EQ(command.size(), size);
        StdoutCapture out;
        int result = processCommand(kTab, command.c_str());
        std::string printed = out.take();
        EXPECT_EQ(result, 1) << size;
        EXPECT_EQ(printed, "TALVORI: process command: '" + command + "'\n");
    }
    EXPECT_TRUE(model.calls().empty()) << model.transcript();
    EXPECT_EQ(previousChannel, 0u);
}

TEST_F(CommandsTest, TabsStayInsideWords) {
    // The number reading skips a leading tab; the password keeps it.
    EXPECT_EQ(run("join \t30 \tsecret\t"), 0);
    EXPECT_EQ(moves(), std::vector<Move>({{kOwnClient, 30, "\tsecret\t"}}));
}

TEST_F(CommandsTest, RegistrationKeepsACopyAndPrintsIt) {
    std::string id = "talvor_plugin_7";
    StdoutCapture out;
    registerPluginCommandId(id.c_str());
    std::string printed = out.take();
    id[0] = 'X';  // the host's text may go away; the copy stays
    ASSERT_NE(pluginCommandId, nullptr);
    EXPECT_STREQ(pluginCommandId, "talvor_plugin_7");
    EXPECT_EQ(printed, "PLUGIN: registerPluginCommandID: talvor_plugin_7\n");
}

size_t crtBlocksInUse() {
    _HEAPINFO info{};
    info._pentry = nullptr;
    size_t used = 0;
    while (_heapwalk(&info) == _HEAPOK)
        if (info._useflag == _USEDENTRY) ++used;
    return used;
}

TEST_F(CommandsTest, RepeatedRegistrationReleasesTheEarlierCopy) {
    const size_t before = crtBlocksInUse();
    ASSERT_GT(before, 0u) << "the CRT heap cannot be walked here";
    {
        StdoutCapture quiet;
        for (int i = 0; i < 500; ++i) {
            std::string id = "id-" + std::to_string(i) + std::string(40, 'z');
            registerPluginCommandId(id.c_str());
        }
    }
    const size_t after = crtBlocksInUse();
    // 500 leaked copies would show; a few blocks of slack for the CRT's own.
    EXPECT_LT(after, before + 20) << "before " << before << ", after " << after;

    EXPECT_EQ(run("command ping"), 0);
    auto sent = model.callsTo("sendPluginCommand");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text2, "id-499" + std::string(40, 'z'));
}

TEST_F(CommandsTest, TextMessageIsOnlyTraced) {
    StdoutCapture out;
    int result = onTextMessage(0x100000003ull, 2, 77, 6, "Alice", "uid=", "hi there", 1);
    std::string printed = out.take();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(printed, "TALVORI: onTextMessageEvent 4294967299 2 6 Alice hi there 1\n");
    EXPECT_TRUE(model.calls().empty());
}

// Random commands, terminated right before an inaccessible page, through the
// whole dispatch: nothing may read past the terminator, crash, or leak a
// host block.
TEST_F(CommandsTest, RandomCommandsAgainstAGuardPage) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    char* base = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(base, nullptr);
    DWORD old;
    VirtualProtect(base + page, page, PAGE_NOACCESS, &old);

    registerPluginCommandId("fuzz");
    const char* verbs[] = {"join", "command", "list", "unmove", "info", "back", "erase", "x"};
    const char* words[] = {"+", "-", "30", "10", "7", "65543", "99999999999", "-1", "a\tb", ""};
    std::mt19937 random(6);
    auto started = std::chrono::steady_clock::now();
    size_t runs = 0;
    {
        StdoutCapture quiet;
        while (std::chrono::steady_clock::now() - started < std::chrono::seconds(2) &&
               runs < 5000) {
            std::string command;
            for (int i = random() % 3; i > 0; --i) command += ' ';
            command += verbs[random() % 8];
            for (int n = random() % 5; n > 0; --n) {
                command.append(1 + random() % 3, ' ');
                command += words[random() % 10];
                if (random() % 4 == 0) command += static_cast<char>(1 + random() % 255);
            }
            if (random() % 10 == 0) command.append(random() % 200, static_cast<char>('a' + random() % 26));
            char* text = base + page - (command.size() + 1);
            std::memcpy(text, command.c_str(), command.size() + 1);
            int result = processCommand(random() % 2 ? kTab : kOtherTab, text);
            if (result != 0 && result != 1) ADD_FAILURE() << command;
            onConnectionInfo(kTab, static_cast<anyID>(random() % 10));
            ++runs;
        }
    }
    VirtualFree(base, 0, MEM_RELEASE);
    EXPECT_GT(runs, 200u);
    EXPECT_EQ(model.outstandingBlocks(), 0u);
}

}  // namespace
}  // namespace commandtest
