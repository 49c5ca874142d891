// Connection events that re-target the plugin, and the traced plugin events.
#include <algorithm>
#include <string>

#include "capture_stdout.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

using Events = PluginSession;

TEST_F(Events, OnlyAnEstablishedConnectionIsSelected) {
    StandInOverlay overlay;
    loadPlugin();
    {
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0);
    }
    model.clearCalls();
    StdoutCapture out;
    for (int status : {0, 1, 2, 3}) plugin.onConnectStatusChangeEvent(kConnection, status, 0);
    EXPECT_EQ(out.take(), "");
    EXPECT_EQ(model.calls().size(), 0u) << model.transcript();
    Sleep(100);  // a notification would have arrived by now
    EXPECT_EQ(overlay.codes(), std::vector<WPARAM>{});

    StdoutCapture established;
    plugin.onConnectStatusChangeEvent(kConnection, 4, 0);
    std::string text = established.take();
    EXPECT_TRUE(inOrder(lines(text), {"TALVORI: ConnectStatusChangeEvent 4294967303 (4294967303)"}))
        << text;
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_ACTIVITY_CLEAR, 1000)) << "the connection was selected";

    StdoutCapture quiet;
    plugin.shutdown();
}

TEST_F(Events, ActiveTabChangeIsTracedBeforeTheConnectionIsSelected) {
    StandInOverlay overlay;
    loadPlugin();
    {
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0);
    }
    StdoutCapture out;
    plugin.currentServerConnectionChanged(kConnection);
    std::vector<std::string> printed = lines(out.take());
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed[0], "TALVORI: currentServerConnectionChanged 4294967303 (4294967303)");
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_ACTIVITY_CLEAR, 1000));
    StdoutCapture quiet;
    plugin.shutdown();
}


// Between two writes the overlay may paint: a line written name by name
// shows half-built lines, and each write costs a take of the mutex.
TEST_F(Events, ATalkEventWritesItsWholeLineOnce) {
    for (anyID id = 10; id < 30; ++id)
        model.addClient(kConnection, id, ("Speaker" + std::to_string(id)).c_str(), 1);
    StandInOverlay overlay;
    loadPlugin();
    ledger::attach(plugin.module());
    {
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0);
        for (anyID id = 10; id < 29; ++id) plugin.onTalkStatusChangeEvent(kConnection, 1, 0, id);
    }
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000, 19));

    ledger::reset();
    plugin.onTalkStatusChangeEvent(kConnection, 1, 0, 29);
    EXPECT_EQ(ledger::mutexReleases(), 1);
    const std::wstring line = speakerAreaText();
    EXPECT_EQ(line.rfind(L"Speaker29 "), line.size() - 10) << "the last name, whole, ends it";
    EXPECT_EQ(std::count(line.begin(), line.end(), L' '), 20) << "one blank after each name";
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000, 20));

    ledger::reset();
    for (anyID id = 10; id < 30; ++id) plugin.onTalkStatusChangeEvent(kConnection, 0, 0, id);
    EXPECT_EQ(ledger::mutexReleases(), 20);
    EXPECT_EQ(speakerAreaText(), L"");

    StdoutCapture quiet;
    plugin.shutdown();
}

// pluginEvent exists at API 8 only; the API-26 builds don't export it.
#if TALVORI_TEST_PLUGIN_API == 8
TEST_F(Events, PluginEventsAreTracedByTypeAndSubtype) {
    loadPlugin();
    struct Case {
        unsigned short data;
        const char* message;
        const char* printed;
    };
    const Case cases[] = {
        {0x0103, "hotkey", "TALVORI: pluginEvent data = 259\nMessage: hotkey\nType = 1, subtype = 3\n"},
        {0x0110, nullptr, "TALVORI: pluginEvent data = 272\nType = 1, subtype = 16\nDeactivate away\n"},
        {0x0201, nullptr, "TALVORI: pluginEvent data = 513\nType = 2, subtype = 1\n"},
        {0x0101, nullptr, "TALVORI: pluginEvent data = 257\nType = 1, subtype = 1\nMicro on\n"},
        {0xFF81, nullptr, "TALVORI: pluginEvent data = 65409\nType = -1, subtype = -127\n"},
    };
    for (const Case& c : cases) {
        StdoutCapture out;
        plugin.pluginEvent(c.data, c.message);
        EXPECT_EQ(out.take(), c.printed) << std::hex << c.data;
    }
}
#endif

}  // namespace
}  // namespace lifecycle
