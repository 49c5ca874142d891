// The simulated host must be trustworthy before any plugin test can lean on
// it: lists and strings it hands out, its bookkeeping of frees, its injected
// failures and its error answers.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "host_model.h"

using hostsim::HostModel;
namespace err = hostsim::hosterror;

namespace {

class HostModelTest : public testing::Test {
protected:
    void SetUp() override {
        model.install();
        model.addConnection(1, "Alpha", 10);
        model.addChannel(1, 100, "Lobby");
        model.addChannel(1, 200, "Games");
        model.addClient(1, 10, "Me", 100);
        model.addClient(1, 11, "Bob", 200);
        model.addClient(1, 12, "Cid", 100);
        t = HostModel::table();
    }
    HostModel model;
    HostFunctions t{};
};

TEST_F(HostModelTest, ListsEndWithZeroAndMustBeFreedOnce) {
    anyID* clients = nullptr;
    ASSERT_EQ(0u, t.getClientList(1, &clients));
    EXPECT_EQ(10, clients[0]);
    EXPECT_EQ(11, clients[1]);
    EXPECT_EQ(12, clients[2]);
    EXPECT_EQ(0, clients[3]);

    anyID* inLobby = nullptr;
    ASSERT_EQ(0u, t.getChannelClientList(1, 100, &inLobby));
    EXPECT_EQ(10, inLobby[0]);
    EXPECT_EQ(12, inLobby[1]);
    EXPECT_EQ(0, inLobby[2]);

    uint64* channels = nullptr;
    ASSERT_EQ(0u, t.getChannelList(1, &channels));
    EXPECT_EQ(100u, channels[0]);
    EXPECT_EQ(200u, channels[1]);
    EXPECT_EQ(0u, channels[2]);

    uint64* connections = nullptr;
    ASSERT_EQ(0u, t.getServerConnectionHandlerList(&connections));
    EXPECT_EQ(1u, connections[0]);
    EXPECT_EQ(0u, connections[1]);

    EXPECT_EQ(4u, model.outstandingBlocks());
    EXPECT_EQ(0u, t.freeMemory(clients));
    EXPECT_EQ(0u, t.freeMemory(inLobby));
    EXPECT_EQ(0u, t.freeMemory(channels));
    EXPECT_EQ(0u, t.freeMemory(connections));
    EXPECT_EQ(0u, model.outstandingBlocks());
    EXPECT_EQ(0u, model.badFrees());
}

TEST_F(HostModelTest, DoubleAndForeignFreesAreCountedAndLeaksReported) {
    char* name = nullptr;
    ASSERT_EQ(0u, t.getClientVariableAsString(1, 11, 1, &name));
    EXPECT_STREQ("Bob", name);
    char* server = nullptr;
    ASSERT_EQ(0u, t.getServerVariableAsString(1, 1, &server));
    EXPECT_STREQ("Alpha", server);

    EXPECT_EQ(0u, t.freeMemory(name));
    EXPECT_NE(0u, t.freeMemory(name));
    char local[4];
    EXPECT_NE(0u, t.freeMemory(local));
    EXPECT_EQ(2u, model.badFrees());

    ASSERT_EQ(1u, model.outstandingBlocks());
    EXPECT_EQ("\"Alpha\"", model.outstandingDescriptions().at(0));
    auto frees = model.callsTo("freeMemory");
    ASSERT_EQ(3u, frees.size());
    EXPECT_EQ("freeMemory(\"Bob\") -> 0", frees[0].describe());
    EXPECT_EQ("freeMemory(already freed \"Bob\") -> error 0x0603", frees[1].describe());
    t.freeMemory(server);
}

TEST_F(HostModelTest, InjectedFailuresLastTheGivenNumberOfCalls) {
    model.failNext("getClientID", 1794, 2);
    anyID own = 77;
    EXPECT_EQ(1794u, t.getClientID(1, &own));
    EXPECT_EQ(1794u, t.getClientID(1, &own));
    EXPECT_EQ(77, own) << "a failed call does no work";
    EXPECT_EQ(0u, t.getClientID(1, &own));
    EXPECT_EQ(10, own);

    model.failNext("getChannelList", 0x0512, -1);
    uint64* list = nullptr;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(0x0512u, t.getChannelList(1, &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(0u, model.outstandingBlocks());
    model.clearFailures();
    EXPECT_EQ(0u, t.getChannelList(1, &list));
    t.freeMemory(list);

    model.pluginPath = "C:\\plugins";
    model.failNext("getPluginPath", 1, 1);
    char path[512];
    memset(path, 'x', sizeof path);
    t.getPluginPath(path, sizeof path);
    EXPECT_STREQ("", path);
    t.getPluginPath(path, sizeof path);
    EXPECT_STREQ("C:\\plugins", path);
}

TEST_F(HostModelTest, UnknownObjectsAndDroppedConnectionsGiveHostErrors) {
    anyID own = 0;
    uint64 channel = 0;
    char* text = nullptr;
    EXPECT_EQ(err::kConnectionInvalid, t.getClientID(9, &own));
    EXPECT_EQ(err::kClientInvalidId, t.getChannelOfClient(1, 99, &channel));
    EXPECT_EQ(err::kChannelInvalidId, t.getChannelVariableAsString(1, 999, 0, &text));
    EXPECT_EQ(err::kParameterInvalid, t.getClientVariableAsString(1, 11, 2, &text));

    model.connection(1)->ownClient = 0;
    model.connection(1)->status = 0;
    EXPECT_EQ(0u, t.getClientID(1, &own)) << "a dropped tab still names its own client";
    EXPECT_EQ(0, own);
    EXPECT_EQ(1794u, t.getServerVariableAsString(1, 1, &text));
    anyID* clients = nullptr;
    EXPECT_EQ(1794u, t.getClientList(1, &clients));
    EXPECT_EQ(0u, model.outstandingBlocks());
}

TEST_F(HostModelTest, ClientStateAndPathsAnswerFromTheModel) {
    auto* bob = model.client(1, 11);
    bob->inputMuted = 1;
    bob->away = 1;
    bob->ping = "17";
    int v = -1;
    EXPECT_EQ(0u, t.getClientVariableAsInt(1, 11, 5, &v));
    EXPECT_EQ(1, v);
    EXPECT_EQ(0u, t.getClientVariableAsInt(1, 11, 6, &v));
    EXPECT_EQ(0, v);
    EXPECT_EQ(0u, t.getClientVariableAsInt(1, 11, 38, &v));
    EXPECT_EQ(1, v);
    char* ping = nullptr;
    EXPECT_EQ(0u, t.getConnectionVariableAsString(1, 11, 0, &ping));
    EXPECT_STREQ("17", ping);
    t.freeMemory(ping);

    model.pluginPath = "C:\\TeamSpeak\\plugins";
    char small[8];
    memset(small, '#', sizeof small);
    t.getPluginPath(small, 5);
    EXPECT_STREQ("C:\\T", small);
    EXPECT_EQ('#', small[5]) << "nothing written past maxLen";

    model.activeConnection = 1;
    EXPECT_EQ(1u, t.getCurrentServerConnectionHandlerID());
    model.apiVersion = 23;
    EXPECT_EQ(23, t.getAPIVersion());
}

TEST_F(HostModelTest, RecordsRequestsAndUnexpectedSlots) {
    t.logMessage("Start TALVORI", 4, "Plugin", 0);
    EXPECT_EQ(0u, t.requestClientMove(1, 10, 200, "", nullptr));
    t.sendPluginCommand(1, "plugin_1", "hello", 0, nullptr);
    t.printMessageToCurrentTab("shown");
    // A slot the plugin has no business calling (spawnNewServerConnectionHandler).
    auto stub = reinterpret_cast<unsigned (*)(int, void*)>(t.spawnNewServerConnectionHandler);
    EXPECT_NE(0u, stub(0, nullptr));

    EXPECT_EQ(
        "logMessage(\"Start TALVORI\", 4, \"Plugin\", 0) -> 0\n"
        "requestClientMove(1, 10, 200, \"\", null) -> 0\n"
        "sendPluginCommand(1, \"plugin_1\", \"hello\", 0, null)\n"
        "printMessageToCurrentTab(\"shown\")\n"
        "unexpected:spawnNewServerConnectionHandler() -> error 0x0001\n",
        model.transcript());
    ASSERT_EQ(1u, model.unexpectedCalls().size());
    EXPECT_EQ(100u, model.client(1, 10)->channel) << "the move waits for the server";
}

TEST_F(HostModelTest, EverySlotIsFilled) {
    HostSlot slots[HostModel::kSlotCount];
    memcpy(slots, &t, sizeof slots);
    for (size_t i = 0; i < HostModel::kSlotCount; ++i) {
        EXPECT_NE(nullptr, slots[i]) << HostModel::slotName(i);
        EXPECT_STRNE("", HostModel::slotName(i));
    }
    EXPECT_STREQ("getPluginPath", HostModel::slotName(167));
}

TEST_F(HostModelTest, ConcurrentCallersKeepTheBooksStraight) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([this] {
            for (int n = 0; n < 200; ++n) {
                anyID* list = nullptr;
                char* name = nullptr;
                if (t.getClientList(1, &list) == 0) t.freeMemory(list);
                if (t.getClientVariableAsString(1, 12, 1, &name) == 0) t.freeMemory(name);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(0u, model.outstandingBlocks());
    EXPECT_EQ(0u, model.badFrees());
    EXPECT_EQ(4u * 200 * 4, model.calls().size());
}

}  // namespace
