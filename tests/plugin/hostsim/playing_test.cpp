// The switches for playing, reached the three ways a user has: chat verbs
// (every level), and the client's Plugins menu and hotkeys (API 26). Each
// change must land in the stored "Playing" bytes and reach the overlay,
// whose stand-in records the codes it gets.
#include <chrono>
#include <thread>

#include "capture_stdout.h"
#include "display_channel.h"
#include "plugin_menus26.h"
#include "plugin_offers.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

using Bytes = std::vector<BYTE>;

class Playing : public PluginSession {
protected:
    void start() {
        loadPlugin();
        StdoutCapture quiet;
        plugin.registerId("TALVOR_plugin");  // before init, as API-26 clients do
        ASSERT_EQ(plugin.init(), 0) << quiet.take();
        if (kPluginApi == 26) offers.take(plugin);
    }
    void stop() {
        StdoutCapture quiet;
        plugin.shutdown();
        offers.giveBack(plugin);
        plugin.unload();
    }
    Bytes playing() const { return sandbox.getValue(L"Playing"); }
    // What the client's menu would show: 1 enabled, 0 greyed out, -1 unset.
    std::vector<int> menuStates() const {
        std::vector<int> states;
        for (int id = MENU_LOCK; id <= MENU_HIDE_LIST; ++id) states.push_back(model.menuEnabled(id));
        return states;
    }
    void menu(int id) { plugin.onMenuItemEvent(kConnection, 0, id, 0); }
    size_t playChanges(const StandInOverlay& overlay) const {
        size_t n = 0;
        for (WPARAM code : overlay.codes()) n += code == DISPLAY_PLAY_CHANGED;
        return n;
    }

    hostsim::PluginOffers offers;
};

TEST_F(Playing, ChatVerbsToggleEachSwitchSayItAndSurviveARestart) {
    StandInOverlay overlay;
    sandbox.putBinary(L"Config", Bytes(20, 7));
    const Bytes listRecord = {200, 1, 0, 0, 0x10, 0x20, 0x30, 0, 0, 0, 0, 0, 240, 0, 44, 1,
                              10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0};
    sandbox.putBinary(L"ListChannel", listRecord);
    start();
    struct Step {
        const char* verb;
        Bytes stored;
        const char* said;
    };
    const Step steps[] = {
        {"lock", {1, 0, 0, 0}, "Overlay locked: clicks go through it."},
        {"idle", {1, 1, 0, 0}, "Overlay hidden when idle."},
        {"overlay", {1, 1, 1, 0}, "Overlay hidden."},
        {"lock", {0, 1, 1, 0}, "Overlay unlocked."},
        {"overlay", {0, 1, 0, 0}, "Overlay shown."},
    };
    size_t n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.verb);
        model.clearCalls();
        {
            StdoutCapture quiet;
            EXPECT_EQ(plugin.processCommand(kConnection, step.verb), 0);
        }
        EXPECT_EQ(playing(), step.stored);
        ASSERT_EQ(model.callsTo("printMessageToCurrentTab").size(), 1u);
        EXPECT_EQ(model.callsTo("printMessageToCurrentTab")[0].text, step.said);
        EXPECT_TRUE(overlay.waitForCode(DISPLAY_PLAY_CHANGED, 3000, ++n));
    }
    {
        StdoutCapture quiet;
        EXPECT_EQ(plugin.processCommand(kConnection, "locks"), 1) << "an unknown word";
    }
    EXPECT_EQ(sandbox.getValue(L"Config"), Bytes(20, 7));
    stop();
    EXPECT_EQ(sandbox.getValue(L"ListChannel"), listRecord) << "the other records' bytes";

    // The client starts again: the next change starts from what was stored.
    start();
    {
        StdoutCapture quiet;
        plugin.processCommand(kConnection, "idle");
    }
    EXPECT_EQ(playing(), (Bytes{0, 0, 0, 0}));
    stop();
}

// API-8 clients have no plugin menus or hotkeys.
#if TALVORI_TEST_PLUGIN_API == 26
TEST_F(Playing, TheClientGetsMenuEntriesAndHotkeysInItsLayoutAndEveryBlockBack) {
    StandInOverlay overlay;
    start();
    const std::vector<std::pair<int, std::string>> entries = {
        {MENU_LOCK, "Lock overlay"},
        {MENU_UNLOCK, "Unlock overlay"},
        {MENU_HIDE_WHEN_IDLE, "Hide overlay when idle"},
        {MENU_SHOW_WHEN_IDLE, "Keep overlay shown when idle"},
        {MENU_SHOW_LIST, "Show List Channel"},
        {MENU_HIDE_LIST, "Hide List Channel"},
        {MENU_SETTINGS, "Settings\u2026"},
    };
    ASSERT_EQ(offers.menuItems().size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const hostsim::OfferedMenuItem& item = offers.menuItems()[i];
        EXPECT_EQ(item.type, 0) << "the client's Plugins menu";
        EXPECT_EQ(item.id, entries[i].first);
        EXPECT_EQ(item.text, entries[i].second);
        EXPECT_TRUE(item.textTerminated);
        EXPECT_EQ(item.icon, "");
    }
    EXPECT_FALSE(offers.menuIconOffered());
    ASSERT_EQ(offers.hotkeys().size(), 3u);
    EXPECT_EQ(offers.hotkeys()[0].keyword, "toggle_lock");
    EXPECT_EQ(offers.hotkeys()[0].description, "Lock or unlock the overlay");
    EXPECT_EQ(offers.hotkeys()[1].keyword, "toggle_overlay");
    EXPECT_EQ(offers.hotkeys()[1].description, "Show or hide the overlay");
    EXPECT_EQ(offers.hotkeys()[2].keyword, "toggle_list");
    EXPECT_EQ(offers.hotkeys()[2].description, "Show or hide the List Channel window");
    // Unlocked, not hiding, no List Channel window: the other of each pair
    // is greyed out from the start.
    EXPECT_EQ(menuStates(), (std::vector<int>{1, 0, 1, 0, 1, 0}));
    for (const auto& call : model.callsTo("setPluginMenuEnabled"))
        EXPECT_EQ(call.text2, "TALVOR_plugin") << "under the id the client registered";

    stop();
    // 7 entries and their array, 3 hotkeys and theirs.
    EXPECT_EQ(offers.received(), 12u);
    EXPECT_EQ(offers.freed(), 12u);
    EXPECT_EQ(offers.outstanding(), 0u);
}

TEST_F(Playing, EveryMenuEntryAndHotkeyReachesTheStoredSwitchesTheOverlayAndTheMenu) {
    StandInOverlay overlay;
    start();
    struct Step {
        int menu;             // or 0 for the hotkey
        const char* hotkey;
        Bytes stored;
        std::vector<int> states;
    };
    const Step steps[] = {
        {MENU_LOCK, nullptr, {1, 0, 0, 0}, {0, 1, 1, 0, 1, 0}},
        {MENU_HIDE_WHEN_IDLE, nullptr, {1, 1, 0, 0}, {0, 1, 0, 1, 1, 0}},
        {MENU_UNLOCK, nullptr, {0, 1, 0, 0}, {1, 0, 0, 1, 1, 0}},
        {MENU_SHOW_WHEN_IDLE, nullptr, {0, 0, 0, 0}, {1, 0, 1, 0, 1, 0}},
        {0, "toggle_lock", {1, 0, 0, 0}, {0, 1, 1, 0, 1, 0}},
        {0, "toggle_overlay", {1, 0, 1, 0}, {0, 1, 1, 0, 1, 0}},
        {0, "toggle_overlay", {1, 0, 0, 0}, {0, 1, 1, 0, 1, 0}},
    };
    size_t n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.hotkey ? step.hotkey : std::to_string(step.menu).c_str());
        if (step.hotkey) plugin.onHotkeyEvent(step.hotkey);
        else menu(step.menu);
        EXPECT_EQ(playing(), step.stored);
        EXPECT_EQ(menuStates(), step.states);
        EXPECT_TRUE(overlay.waitForCode(DISPLAY_PLAY_CHANGED, 3000, ++n));
    }
    EXPECT_EQ(playChanges(overlay), n);

    // The List Channel window: the menu makes it, both ways hide and show it.
    ASSERT_EQ(ownListWindow(), nullptr);
    menu(MENU_SHOW_LIST);
    HWND list = ownListWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(menuStates()[4], 0);
    EXPECT_EQ(menuStates()[5], 1);
    plugin.onHotkeyEvent("toggle_list");
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(menuStates()[4], 1);
    plugin.onHotkeyEvent("toggle_list");
    EXPECT_TRUE(IsWindowVisible(list));
    menu(MENU_HIDE_LIST);
    EXPECT_FALSE(IsWindowVisible(list));
    // The chat verb too: the menu follows whichever way the window went.
    for (const char* verb : {"channel show", "channel hide"}) {
        SCOPED_TRACE(verb);
        StdoutCapture quiet;
        EXPECT_EQ(plugin.processCommand(kConnection, verb), 0);
        const bool shown = verb[8] == 's';
        EXPECT_EQ(IsWindowVisible(list) != FALSE, shown);
        EXPECT_EQ(menuStates()[4], shown ? 0 : 1);
        EXPECT_EQ(menuStates()[5], shown ? 1 : 0);
    }
    // Its close box (shown while configuring) hides it, and the menu can
    // show it again.
    menu(MENU_SHOW_LIST);
    SendMessageW(list, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(list));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(menuStates()[4], 1);
    EXPECT_EQ(menuStates()[5], 0);
    EXPECT_EQ(playChanges(overlay), n) << "the List Channel window is not a stored switch";
    stop();
    EXPECT_EQ(sandbox.getValue(L"ListChannel").at(3), 1) << "the window comes back next start";
}

TEST_F(Playing, SettingsFromTheMenuLeavesTheClientsThreadAtOnce) {
    StandInOverlay overlay(1);
    overlay.holdSettings();  // the settings dialog stays open
    start();
    // Should the menu wait for the dialog, the dialog still closes after a
    // while and the test fails on the time rather than hanging.
    std::thread closer([&] {
        Sleep(4000);
        overlay.release();
    });
    const auto begin = std::chrono::steady_clock::now();
    menu(MENU_SETTINGS);
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_LT(took, std::chrono::seconds(2)) << "the client's GUI thread waited for the dialog";
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000)) << "configure never ran";
    menu(MENU_SETTINGS);  // a second one while the first is open does nothing
    // Shutdown waits for the settings thread before the library may go.
    stop();
    closer.join();
    const std::vector<WPARAM> codes = overlay.codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DISPLAY_OPEN_SETTINGS), 1);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), DISPLAY_QUIT);
}

#endif

}  // namespace
}  // namespace lifecycle
