// Where the two API levels meet the host differently: the id the host
// registers for the plugin (plugin commands at both levels, the plugin-path
// query at API 26, registered before or after init), the client-update event
// and the server-error answer.
#include "capture_stdout.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

class HostBoundary : public PluginSession {
protected:
    int start() {
        StdoutCapture quiet;
        return plugin.init();
    }
    void stop() {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    hostsim::HostCall onlyCallTo(const char* function) const {
        std::vector<hostsim::HostCall> calls = model.callsTo(function);
        EXPECT_EQ(calls.size(), 1u) << model.transcript();
        return calls.empty() ? hostsim::HostCall{} : calls.front();
    }
    void sendCommand(const char* text) {
        StdoutCapture quiet;
        EXPECT_EQ(plugin.processCommand(kConnection, text), 0);
    }
};

TEST_F(HostBoundary, CommandsGoOutUnderTheLatestRegisteredId) {
    StandInOverlay overlay;
    loadPlugin();
    ASSERT_EQ(start(), 0);
    plugin.registerId("talvor_first");
    plugin.registerId("talvor_second");  // a host that registers again replaces the id
    model.clearCalls();
    sendCommand("command hello");

    hostsim::HostCall sent = onlyCallTo("sendPluginCommand");
    EXPECT_EQ(sent.connection, kConnection);
    EXPECT_EQ(sent.text2, "talvor_second");
    EXPECT_EQ(sent.text, "hello");
    EXPECT_EQ(sent.number, 0);  // target mode: the user's channel
    EXPECT_EQ(sent.id1, 0u);    // no target list
    EXPECT_EQ(sent.api26, kPluginApi == 26);
    if (kPluginApi == 26) {
        EXPECT_TRUE(sent.returnCodeNull);
    }
    stop();
}

TEST_F(HostBoundary, AnIdRegisteredBeforeInitNamesThePluginPathQuery) {
    StandInOverlay overlay;
    loadPlugin();
    plugin.registerId("talvor_early");
    ASSERT_EQ(start(), 0);

    hostsim::HostCall path = onlyCallTo("getPluginPath");
    EXPECT_EQ(path.id1, 512u);
    EXPECT_EQ(path.answer, pluginFolder.path());
    if (kPluginApi == 26) {
        EXPECT_TRUE(path.api26);
        EXPECT_FALSE(path.text2Null);
        EXPECT_EQ(path.text2, "talvor_early");
    } else {
        EXPECT_FALSE(path.api26) << "API 8's query takes no id";
    }
    // The id registered before init serves commands as well.
    model.clearCalls();
    sendCommand("command early");
    EXPECT_EQ(onlyCallTo("sendPluginCommand").text2, "talvor_early");
    stop();
}

TEST_F(HostBoundary, WithoutAnIdYetThePluginPathQueryGetsNullAndInitGoesOn) {
    StandInOverlay overlay;
    loadPlugin();
    ASSERT_EQ(start(), 0);
    hostsim::HostCall path = onlyCallTo("getPluginPath");
    EXPECT_EQ(path.answer, pluginFolder.path());
    if (kPluginApi == 26) {
        EXPECT_TRUE(path.text2Null);
    }

    // Registered only now, the id still reaches the commands.
    plugin.registerId("talvor_late");
    model.clearCalls();
    sendCommand("command late");
    EXPECT_EQ(onlyCallTo("sendPluginCommand").text2, "talvor_late");
    stop();
}

TEST_F(HostBoundary, AClientUpdateRepaintsTheListOfTheEventsConnection) {
    StandInOverlay overlay;
    storeListRecord({255, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0, 44, 1,
                     10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0});  // window switched on
    loadPlugin();
    ASSERT_EQ(start(), 0);
    ASSERT_NE(ownListWindow(), nullptr);
    model.clearCalls();
    // The list paints on this thread, the one that created the window.
    plugin.updateClient(kConnection, 2);
    std::vector<hostsim::HostCall> listed = model.callsTo("getChannelClientList");
    ASSERT_EQ(listed.size(), 1u) << model.transcript();
    EXPECT_EQ(listed[0].connection, kConnection);
    EXPECT_EQ(listed[0].id1, 1u);  // the user's channel
    stop();
}

// What only the API-26 boundary does: API 8 asks the host for its API
// version, and its server-error event answers nothing.
#if TALVORI_TEST_PLUGIN_API == 26
TEST_F(HostBoundary, AtApi26TheTraceShowsTheClientLibrarysVersionNumber) {
    StandInOverlay overlay;
    loadPlugin();
    auto firstLine = [this] {
        StdoutCapture out;
        int result = plugin.init();
        std::vector<std::string> printed = lines(out.take());
        plugin.shutdown();
        EXPECT_EQ(result, 0);
        return printed.empty() ? std::string() : printed.front();
    };
    model.clientLibVersionNumber = 1712345678;
    EXPECT_EQ(firstLine(), "TALVORI: Client API Version: 1712345678, Plugin API Version: 26");
    // Too large for the trace's int: the largest int, never a negative number.
    model.clientLibVersionNumber = 5000000000ull;
    EXPECT_EQ(firstLine(), "TALVORI: Client API Version: 2147483647, Plugin API Version: 26");
    model.failNext("getClientLibVersionNumber", 0x0b00);
    EXPECT_EQ(firstLine(), "TALVORI: Client API Version: 0, Plugin API Version: 26");
    EXPECT_EQ(model.countCalls("getClientLibVersionNumber"), 3u);
}

TEST_F(HostBoundary, AServerErrorIsLeftToTheHostAtApi26) {
    loadPlugin();
    EXPECT_EQ(plugin.onServerErrorEvent26(kConnection, "insufficient permissions", 0x0a08, "rc",
                                          ""),
              0);
    EXPECT_EQ(model.calls().size(), 0u) << model.transcript();
}
#endif

}  // namespace
}  // namespace lifecycle
