// The API-26 table answers from the same world as the API-8 one, in the
// 230-slot layout, with the three slots whose form differs recorded in full.
#include <gtest/gtest.h>

#include <cstring>

#include "host_model.h"

using hostsim::HostModel;

namespace {

class HostTable26Test : public testing::Test {
protected:
    void SetUp() override {
        model.install();
        model.addConnection(1, "Alpha", 10);
        model.addChannel(1, 100, "Lobby");
        model.addClient(1, 10, "Me", 100);
        t = HostModel::table26();
    }
    HostModel model;
    HostFunctions26 t{};
};

TEST_F(HostTable26Test, EverySlotIsFilledAndNamedInItsPlace) {
    HostSlot slots[HostModel::kSlotCount26];
    static_assert(sizeof slots == sizeof(HostFunctions26), "230 slots");
    memcpy(slots, &t, sizeof slots);
    for (size_t i = 0; i < HostModel::kSlotCount26; ++i) {
        EXPECT_NE(nullptr, slots[i]) << HostModel::slotName26(i);
        EXPECT_STRNE("", HostModel::slotName26(i));
    }
    EXPECT_STREQ("getClientLibVersionNumber", HostModel::slotName26(1));
    EXPECT_STREQ("getPluginPath", HostModel::slotName26(182));
    EXPECT_STREQ("sendPluginCommand", HostModel::slotName26(187));
    EXPECT_STREQ("getChannelGroupNameByID", HostModel::slotName26(229));
}

TEST_F(HostTable26Test, SharedSlotsAnswerFromTheSameWorld) {
    char* name = nullptr;
    ASSERT_EQ(0u, t.getClientVariableAsString(1, 10, 1, &name));
    EXPECT_STREQ("Me", name);
    EXPECT_EQ(0u, t.freeMemory(name));
    anyID* inLobby = nullptr;
    ASSERT_EQ(0u, t.getChannelClientList(1, 100, &inLobby));
    EXPECT_EQ(10, inLobby[0]);
    EXPECT_EQ(0, inLobby[1]);
    t.freeMemory(inLobby);
    EXPECT_EQ(0u, model.outstandingBlocks());
}

TEST_F(HostTable26Test, TheSlotsOfItsOwnAreRecordedWithTheirExtraArguments) {
    model.clientLibVersionNumber = 1690000123;
    uint64 number = 0;
    EXPECT_EQ(0u, t.getClientLibVersionNumber(&number));
    EXPECT_EQ(1690000123u, number);
    model.failNext("getClientLibVersionNumber", 0x0b00);
    EXPECT_EQ(0x0b00u, t.getClientLibVersionNumber(&number));

    model.pluginPath = "C:\\plugins";
    char path[16];
    t.getPluginPath(path, sizeof path, "talvor_id");
    EXPECT_STREQ("C:\\plugins", path);
    t.getPluginPath(path, sizeof path, nullptr);
    t.sendPluginCommand(1, "talvor_id", "hello", 0, nullptr, nullptr);
    t.sendPluginCommand(1, "talvor_id", "again", 0, nullptr, "rc1");
    // A slot the plugin has no business calling (playWaveFileHandle).
    auto stub = reinterpret_cast<unsigned (*)(int)>(t.playWaveFileHandle);
    EXPECT_NE(0u, stub(0));

    EXPECT_EQ(
        "getClientLibVersionNumber() -> 0 = 1690000123\n"
        "getClientLibVersionNumber() -> error 0x0b00\n"
        "getPluginPath(16, \"talvor_id\") = \"C:\\\\plugins\"\n"
        "getPluginPath(16, null) = \"C:\\\\plugins\"\n"
        "sendPluginCommand(1, \"talvor_id\", \"hello\", 0, null, null)\n"
        "sendPluginCommand(1, \"talvor_id\", \"again\", 0, null, \"rc1\")\n"
        "unexpected:playWaveFileHandle() -> error 0x0001\n",
        model.transcript());
}

}  // namespace
