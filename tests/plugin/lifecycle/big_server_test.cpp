// A big community server: 500 clients on one tab, 200 on another, against
// a name table of 100. Every name the user sees is the client's own, the
// table keeps its bound, and every host string comes back.
#include <algorithm>
#include <memory>
#include <string>

#include "capture_stdout.h"
#include "display_channel.h"
#include "list_config.h"
#include "plugin_session.h"
#include "screen_capture.h"
#include "stand_in_overlay.h"
#include "world.h"

namespace lifecycle {
namespace {

constexpr uint64 kBig = 1;     // 500 clients; the user in Lobby with 199 others
constexpr uint64 kSecond = 2;  // 200 clients
constexpr uint64 kLobby = 1;

std::wstring readArea(const wchar_t* name, unsigned units) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (!mapping) return L"<no area>";
    const wchar_t* text =
        static_cast<const wchar_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    std::wstring out = text ? std::wstring(text, boundedLength(text, units)) : L"<no view>";
    if (text) UnmapViewOfFile(text);
    CloseHandle(mapping);
    return out;
}

size_t occurrences(const std::string& text, const std::string& word) {
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

class BigServer : public PluginSession {
protected:
    void SetUp() override {
        PluginSession::SetUp();
        overlay = std::make_unique<StandInOverlay>();
        model.removeConnection(kConnection);
        model.activeConnection = 0;
        std::string error;
        ASSERT_TRUE(hostsim::loadWorld(model, wideWinePath(TALVORI_TEST_BIG_SCENARIO),
                                       &error))
            << error;

        // The List Channel window, once switched on: opaque, without a
        // frame, where the test can read it.
        ListChannelConfig list{255, 0, 0, 0, 0xFFFFFF, 0, 240, 300, 100, 100, 0x0000FF};
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&list);
        storeListRecord(std::vector<BYTE>(bytes, bytes + sizeof list));
        loadPlugin();
        StdoutCapture out;
        ASSERT_EQ(plugin.init(), 0);
        initOutput = out.take();
    }

    void TearDown() override {
        quietly([&] { plugin.shutdown(); });
        EXPECT_EQ(model.outstandingBlocks(), 0u);
        PluginSession::TearDown();
        overlay.reset();
    }

    // The plugin's trace lines, out of the way of the test's own messages.
    template <typename Action>
    void quietly(Action action) {
        StdoutCapture quiet;
        action();
    }

    std::vector<std::string> tabLines() const {
        std::vector<std::string> out;
        for (const hostsim::HostCall& call : model.callsTo("printMessageToCurrentTab"))
            out.push_back(call.text);
        return out;
    }

    std::unique_ptr<StandInOverlay> overlay;  // after the base's check for a stray one
    std::string initOutput;
};

TEST_F(BigServer, TheTableKeepsItsBoundAndTheLinesStillNameEveryClient) {
    // The table took the first 100 clients and traced each one it had no
    // room for, as before.
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 100u);
    EXPECT_EQ(occurrences(initOutput, "MAX_CLIENT_COUNT"), 600u);

    model.clearCalls();
    quietly([&] { plugin.onTalkStatusChangeEvent(kBig, 1, 0, 576); });
    // The table cannot hold Player576: asked for once per event, not once
    // per pass over the line.
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 1u);
    quietly([&] { plugin.onTalkStatusChangeEvent(kBig, 1, 0, 10); });
    EXPECT_EQ(readArea(channel::kSpeakerAreaName, channel::kSpeakerUnits), L"Player576 Alice ");

    model.addClient(kBig, 600, "Newcomer", kLobby);
    quietly([&] { plugin.onClientMoveEvent(kBig, 600, 0, kLobby, 0, ""); });
    EXPECT_EQ(readArea(channel::kActivityAreaName, channel::kActivityUnits),
              L"Newcomer -> Lobby ");

    model.clearCalls();
    quietly([&] {
        plugin.processCommand(kBig, "list");
        plugin.processCommand(kSecond, "list");
    });
    const std::vector<std::string> printed = tabLines();
    ASSERT_EQ(printed.size(), 2u + 501u + 200u);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), " 1 : Me \n"), 2);  // one per tab
    for (const char* line : {" 198 : Player198 \n", " 199 : Player199 \n",
                             " 576 : Player576 \n", " 29 : Th\xC3\xA9odore \n",
                             " 600 : Newcomer \n", " 150 : Guest150 \n"})
        EXPECT_EQ(std::count(printed.begin(), printed.end(), line), 1) << line;
    for (const std::string& line : printed)
        EXPECT_EQ(line.find("Unkown"), std::string::npos) << line;
}

TEST_F(BigServer, ListChannelWindowNamesTheClientsBeyondTheTableAndClipsTheRest) {
    quietly([&] { plugin.processCommand(kBig, "channel on"); });
    HWND window = ownListWindow();
    ASSERT_NE(window, nullptr);
    const int lineHeight = systemFontLineHeight();
    RECT client{};
    GetClientRect(window, &client);
    const int fullLines = client.bottom / lineHeight;
    ASSERT_GT(fullLines, 3);

    // Lobby in host order: Me (in the table), then Player399 on (not).
    auto shows = [&](int line, const std::wstring& text) {
        return pumpUntil([&] {
            POINT origin{0, 0};
            ClientToScreen(window, &origin);
            Pixels screen = captureScreen(origin.x, origin.y, client.right, client.bottom);
            return screen.bandEquals(line * lineHeight,
                                     renderLine(text, RGB(0, 0, 0), RGB(255, 255, 255),
                                                client.right, lineHeight));
        });
    };
    EXPECT_TRUE(shows(0, L"Me"));
    EXPECT_TRUE(shows(1, L"Player399"));
    const int last = fullLines - 1;
    EXPECT_TRUE(shows(last, L"Player" + std::to_wstring(398 + last)));

    // A repaint asks the host only about the clients it can show: the lines
    // below the window's bottom are clipped, not drawn.
    model.clearCalls();
    quietly([&] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
    const size_t asked = model.countCalls("getClientVariableAsString");
    EXPECT_GE(asked, static_cast<size_t>(fullLines) - 1);
    EXPECT_LE(asked, static_cast<size_t>(fullLines) + 1);
    EXPECT_TRUE(shows(last, L"Player" + std::to_wstring(398 + last)));
}

}  // namespace
}  // namespace lifecycle
