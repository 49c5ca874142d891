#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "capture_stdout.h"
#include "host_fixture.h"
#include "name_cache.h"

using speakertest::HostFixture;

namespace {

// Hides one client from the host's client list while its nickname can still
// be read: how a client looks that left between the two queries.
anyID hiddenClient = 0;
unsigned (*modelGetClientList)(uint64, anyID**) = nullptr;

unsigned getClientListHiding(uint64 connection, anyID** result) {
    unsigned error = modelGetClientList(connection, result);
    if (error == 0 && *result) {
        anyID* out = *result;
        for (const anyID* in = *result; *in != 0; ++in)
            if (*in != hiddenClient) *out++ = *in;
        *out = 0;
    }
    return error;
}

class NameCacheTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        addServer(1);
        addServer(2);
    }
    void TearDown() override {
        cache.~ClientNameCache();  // hands every nickname back before the leak check
        new (&cache) ClientNameCache();
        HostFixture::TearDown();
    }

    std::string entries() const {
        std::string out;
        for (unsigned i = 0; i < cache.size(); ++i) {
            out += std::to_string(cache.connectionAt(i)) + ":" +
                   std::to_string(cache.clientAt(i)) + "=" + cache.nameAt(i) + " ";
        }
        return out;
    }

    void add(uint64 connection, anyID client) { cache.addClient(connection, client, nullptr); }

    ClientNameCache cache;
    char name[kNameBufferBytes];
};

TEST_F(NameCacheTest, EmptyTableNamesEveryoneByTheDefault) {
    memset(name, 'x', sizeof name);
    EXPECT_EQ(cache.findClient(1, 5, name), -1);
    EXPECT_STREQ(name, defaultClientName);
    EXPECT_STREQ(name, "Unkown");
    EXPECT_EQ(model.calls().size(), 0u);
}

TEST_F(NameCacheTest, FirstSightAsksTheHostOnceAndLaterRequestsAskNothing) {
    model.addClient(1, 5, "Alice", 10);
    {
        StdoutCapture out;
        cache.addClient(1, 5, name);
        EXPECT_EQ(out.take(), "index: 1    Alice\n");
    }
    EXPECT_STREQ(name, "Alice");
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 1u);
    auto query = model.callsTo("getClientVariableAsString")[0];
    EXPECT_EQ(query.connection, 1u);
    EXPECT_EQ(query.id1, 5u);
    EXPECT_EQ(query.id2, 1u);  // the nickname property

    model.clearCalls();
    StdoutCapture out;
    cache.addClient(1, 5, name);
    EXPECT_EQ(cache.findClient(1, 5, name), 0);
    EXPECT_EQ(out.take(), "");
    EXPECT_STREQ(name, "Alice");
    EXPECT_EQ(model.calls().size(), 0u);
    EXPECT_EQ(cache.size(), 1u);
}

TEST_F(NameCacheTest, TheHundredAndFirstPairIsRefused) {
    for (anyID c = 1; c <= 101; ++c) model.addClient(1, c, "N" + std::to_string(c), 10);
    for (anyID c = 1; c <= 100; ++c) add(1, c);
    ASSERT_EQ(cache.size(), MAX_CLIENT_COUNT);
    std::string before = entries();
    model.clearCalls();

    StdoutCapture out;
    cache.addClient(1, 101, name);
    EXPECT_EQ(out.take(), "MAX_CLIENT_COUNT");
    EXPECT_STREQ(name, "Unkown");
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(model.calls().size(), 0u);

    // Room comes back only through a deletion.
    EXPECT_EQ(cache.deleteClient(1, 50), 1);
    cache.addClient(1, 101, name);
    EXPECT_STREQ(name, "N101");
    EXPECT_EQ(cache.size(), MAX_CLIENT_COUNT);
}

TEST_F(NameCacheTest, AFailedNicknameQueryIsLoggedAndAskedAgainNextTime) {
    model.addClient(2, 7, "Bob", 10);
    model.failNext("getClientVariableAsString", hostsim::hosterror::kClientInvalidId);
    {
        StdoutCapture out;
        cache.addClient(2, 7, name);
        EXPECT_EQ(out.take(), "TALVORI: AddClient Error client name: 7\n");
    }
    EXPECT_STREQ(name, "Unkown");
    EXPECT_EQ(cache.size(), 0u);
    auto logs = model.callsTo("logMessage");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].text, "AddClient Error client name");
    EXPECT_EQ(logs[0].number, 1);
    EXPECT_EQ(logs[0].text2, "TALVORI");
    EXPECT_EQ(logs[0].id1, 2u);  // the log id
    EXPECT_EQ(model.countCalls("getClientList"), 0u);  // no purge after a failure

    cache.addClient(2, 7, name);
    EXPECT_STREQ(name, "Bob");
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 2u);
    EXPECT_EQ(cache.size(), 1u);
}

TEST_F(NameCacheTest, PurgeDropsDepartedClientsOfItsConnectionOnly) {
    const char* names[] = {"", "A", "B", "C", "D", "E"};
    for (anyID c = 1; c <= 5; ++c) {
        model.addClient(1, c, names[c], 10);
        model.addClient(2, c, std::string("two") + names[c], 10);
    }
    // Interleave the connections so the survivors' order shows.
    add(1, 1);
    add(2, 1);
    add(1, 2);
    add(1, 3);
    add(2, 2);
    add(1, 4);
    // Entries 1:2 and 1:3 sit next to each other; both leave, and client 2
    // leaves connection 2 too (that entry must stay: it is not purged here).
    model.removeClient(1, 2);
    model.removeClient(1, 3);
    model.removeClient(2, 2);

    StdoutCapture out;
    cache.addClient(1, 5, name);
    EXPECT_EQ(out.take(),
              "TALVORI: Delete client name: B\n"
              "TALVORI: Delete client name: C\n"
              "index: 5    E\n");
    EXPECT_STREQ(name, "E");
    EXPECT_EQ(entries(), "1:1=A 2:1=twoA 2:2=twoB 1:4=D 1:5=E ");
    for (unsigned i = cache.size(); i < MAX_CLIENT_COUNT; ++i) {
        EXPECT_EQ(cache.nameAt(i), nullptr);
        EXPECT_EQ(cache.clientAt(i), 0);
        EXPECT_EQ(cache.connectionAt(i), 0u);
    }
}

TEST_F(NameCacheTest, AClientTheHostNoLongerListsIsNamedThenDroppedAgain) {
    model.addClient(1, 1, "Ann", 10);
    model.addClient(1, 9, "Ghost", 10);
    add(1, 1);

    fakehost::Table table = fakehost::table();
    modelGetClientList = table.getClientList;
    table.getClientList = &getClientListHiding;
    hiddenClient = 9;
    fakehost::install(table);

    StdoutCapture out;
    cache.addClient(1, 9, name);
    EXPECT_EQ(out.take(), "TALVORI: Delete client name: Ghost\nindex: 1    Ann\n");
    EXPECT_STREQ(name, "Ghost");
    EXPECT_EQ(entries(), "1:1=Ann ");
}

TEST_F(NameCacheTest, AFailedClientListKeepsTheNewEntryAndPurgesNothing) {
    model.addClient(1, 1, "Ann", 10);
    model.addClient(1, 2, "Ben", 10);
    add(1, 1);
    model.removeClient(1, 1);
    model.failNext("getClientList", hostsim::hosterror::kConnectionInvalid);
    StdoutCapture out;
    cache.addClient(1, 2, name);
    EXPECT_EQ(out.take(), "index: 2    Ben\n");
    EXPECT_EQ(entries(), "1:1=Ann 1:2=Ben ");
}

TEST_F(NameCacheTest, DeletingTheMiddleEntryKeepsTheOthersInOrder) {
    model.addClient(1, 1, "Ann", 10);
    model.addClient(1, 2, "Ben", 10);
    model.addClient(1, 3, "Cid", 10);
    add(1, 1);
    add(1, 2);
    add(1, 3);
    {
        StdoutCapture out;
        EXPECT_EQ(cache.deleteClient(1, 2), 1);
        EXPECT_EQ(out.take(), "TALVORI: Delete client name: Ben\n");
    }
    EXPECT_EQ(entries(), "1:1=Ann 1:3=Cid ");
    EXPECT_EQ(cache.nameAt(2), nullptr);
    EXPECT_EQ(cache.clientAt(2), 0);
    EXPECT_EQ(cache.connectionAt(2), 0u);

    StdoutCapture out;
    EXPECT_EQ(cache.deleteClient(1, 2), 0);
    EXPECT_EQ(cache.deleteClient(2, 1), 0);
    EXPECT_EQ(out.take(), "");
    EXPECT_EQ(entries(), "1:1=Ann 1:3=Cid ");
}

TEST_F(NameCacheTest, OneClientIdOnTwoConnectionsIsTwoEntries) {
    model.addClient(1, 5, "Alice", 10);
    model.addClient(2, 5, "Eve", 10);
    model.addClient(2, 6, "Fay", 10);
    add(1, 5);
    add(2, 5);
    add(2, 6);
    cache.findClient(2, 5, name);
    EXPECT_STREQ(name, "Eve");

    cache.deleteConnection(2);
    EXPECT_EQ(entries(), "1:5=Alice ");
    add(2, 5);
    add(2, 6);
    cache.deleteConnection(1);
    EXPECT_EQ(entries(), "2:5=Eve 2:6=Fay ");
}

TEST_F(NameCacheTest, RebuildFillsFromEveryConnectionAndASecondRunAsksNoNickname) {
    model.addClient(1, 1, "Ann", 10);
    model.addClient(1, 2, "Ben", 10);
    model.addClient(1, 3, "Cid", 10);
    model.addClient(2, 4, "Dee", 20);
    model.addClient(2, 1, "Eli", 20);

    cache.rebuild();
    EXPECT_EQ(entries(), "1:1=Ann 1:2=Ben 1:3=Cid 2:4=Dee 2:1=Eli ");
    EXPECT_EQ(model.countCalls("getServerConnectionHandlerList"), 1u);
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 5u);
    // One list to walk per connection, and one per purge after each addition.
    EXPECT_EQ(model.countCalls("getClientList"), (3u + 1u) + (2u + 1u));

    model.clearCalls();
    StdoutCapture out;
    cache.rebuild();
    EXPECT_EQ(out.take(), "");
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 0u);
    EXPECT_EQ(model.countCalls("getClientList"), 2u);
    EXPECT_EQ(entries(), "1:1=Ann 1:2=Ben 1:3=Cid 2:4=Dee 2:1=Eli ");
}

TEST_F(NameCacheTest, RebuildFailuresLeaveTheTableOrSkipAConnection) {
    model.addClient(1, 1, "Ann", 10);
    model.addClient(2, 2, "Ben", 10);
    model.failNext("getServerConnectionHandlerList", hostsim::hosterror::kParameterInvalid);
    {
        StdoutCapture out;
        cache.rebuild();
        EXPECT_EQ(out.take(), "TALVORI: Get Connection Handler List error\n");
    }
    EXPECT_EQ(cache.size(), 0u);
    auto logs = model.callsTo("logMessage");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].text, "Get Connection Handler List");
    EXPECT_EQ(logs[0].number, 1);
    EXPECT_EQ(logs[0].text2, "TALVORI");
    EXPECT_EQ(logs[0].id1, 0u);

    model.failNext("getClientList", hostsim::hosterror::kConnectionInvalid);
    cache.rebuild();
    EXPECT_EQ(entries(), "2:2=Ben ");
}

TEST_F(NameCacheTest, ALongNicknameIsCachedWholeAndHandedOutCutAtACharacter) {
    std::string longName;
    for (int i = 0; i < 32; ++i) longName += "\xC3\xA9";  // é, two bytes
    longName += "zz";                                      // 66 bytes in all
    model.addClient(1, 8, longName, 10);
    memset(name, 'x', sizeof name);
    cache.addClient(1, 8, name);
    EXPECT_STREQ(cache.nameAt(0), longName.c_str());
    // 63 bytes would end in the first half of the 32nd é: the cut keeps 62.
    EXPECT_EQ(std::string(name), longName.substr(0, 62));

    cache.findClient(1, 8, name);
    EXPECT_EQ(std::string(name), longName.substr(0, 62));
}

}  // namespace
