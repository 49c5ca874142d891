#pragma once
// A simulated host with one connection the user is on, the plugin's command
// state reset around every test, and readers for what reached the host.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "capture_stdout.h"
#include "chat_commands.h"
#include "fake_host.h"
#include "globals.h"
#include "host_model.h"
#include "lifecycle.h"
#include "name_cache.h"

namespace commandtest {

inline constexpr uint64 kTab = 1;       // the connection the user looks at
inline constexpr uint64 kOtherTab = 2;  // another open connection
inline constexpr anyID kOwnClient = 5;

struct Move {
    anyID client;
    uint64 channel;
    std::string password;
    bool operator==(const Move& o) const {
        return client == o.client && channel == o.channel && password == o.password;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Move& m) {
    return os << "move(" << m.client << " -> " << m.channel << ", '" << m.password << "')";
}

class CommandsTest : public testing::Test {
protected:
    void SetUp() override {
        // The plugin's strings and window class, looked up in this program.
        static const bool attached = [] {
            onProcessAttach(GetModuleHandleW(nullptr));
            return true;
        }();
        (void)attached;

        model.install();
        installFakeHost();
        model.addConnection(kTab, "Home", kOwnClient);
        model.addChannel(kTab, 10, "Lobby");
        model.addChannel(kTab, 20, "Games");
        model.addChannel(kTab, 30, "Quiet");
        model.addClient(kTab, kOwnClient, "Me", 20);
        model.addClient(kTab, 6, "Alice", 20);
        model.addClient(kTab, 7, "Bob", 10);
        model.addConnection(kOtherTab, "Elsewhere", 9);
        model.addChannel(kOtherTab, 40, "Far");
        model.addClient(kOtherTab, 9, "MeToo", 40);
        model.activeConnection = kTab;

        currentConnection = kTab;
        previousChannel = 0;
        pendingInfoClient = 0;
        clearCommandId();
    }

    void TearDown() override {
        clearCommandId();
        clientNameCache.deleteConnection(kTab);
        clientNameCache.deleteConnection(kOtherTab);
        EXPECT_EQ(model.outstandingBlocks(), 0u) << model.transcript();
        EXPECT_EQ(model.badFrees(), 0u);
    }

    static void clearCommandId() {
        std::free(pluginCommandId);
        pluginCommandId = nullptr;
    }

    // Runs a command with its trace lines swallowed.
    int run(const char* command, uint64 connection = kTab) {
        StdoutCapture quiet;
        return processCommand(connection, command);
    }

    std::vector<std::string> texts(const char* function) const {
        std::vector<std::string> out;
        for (const auto& c : model.callsTo(function)) out.push_back(c.text);
        return out;
    }
    std::vector<std::string> tab() const { return texts("printMessageToCurrentTab"); }
    std::vector<std::string> logs() const { return texts("logMessage"); }

    std::vector<Move> moves() const {
        std::vector<Move> out;
        for (const auto& c : model.callsTo("requestClientMove"))
            out.push_back(Move{static_cast<anyID>(c.id1), c.id2, c.text});
        return out;
    }

    // Every log line of a failed request goes the same way.
    void expectLoggedAsCommandError(const std::string& text) const {
        auto calls = model.callsTo("logMessage");
        ASSERT_EQ(calls.size(), 1u) << model.transcript();
        EXPECT_EQ(calls[0].text, text);
        EXPECT_EQ(calls[0].number, 1);
        EXPECT_EQ(calls[0].text2, "Plugin");
        EXPECT_EQ(calls[0].id1, kTab);
    }

    hostsim::HostModel model;
};

}  // namespace commandtest
