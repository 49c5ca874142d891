// The plugin started on whatever the two stored records may hold: a List
// Channel window 0 or 65535 pixels wide, at the ends of the coordinate
// range, fully transparent; an overlay width of 0 or 65535 to fit names
// into. It must start, compose its lines, paint the List Channel window
// wherever that window has room, stop, and store a record it can load again.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "capture_stdout.h"
#include "display_channel.h"
#include "display_config.h"
#include "knobs.h"
#include "list_config.h"
#include "plugin_host.h"
#include "unique_handle.h"

namespace robust {
namespace {

template <typename Record>
std::vector<BYTE> bytesOf(const Record& r) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&r);
    return std::vector<BYTE>(p, p + sizeof r);
}

struct Records {
    std::string what;
    ListChannelConfig list;
    DisplayConfig display;
};

std::vector<Records> garbage(unsigned seed) {
    ListChannelConfig list;
    resetListChannelConfig(list);
    list.windowEnabled = 1;
    list.transparentBackground = 0;
    DisplayConfig display;
    resetDisplayConfig(display);

    std::vector<Records> out;
    auto add = [&](const std::string& what, auto change) {
        Records r{what, list, display};
        change(r.list, r.display);
        out.push_back(r);
    };
    using L = ListChannelConfig;
    using D = DisplayConfig;
    add("window 0 x 0, overlay width 0", [](L& l, D& d) { l.width = l.height = 0; d.width = 0; });
    add("window 65535 x 65535, overlay width 65535",
        [](L& l, D& d) { l.width = l.height = 65535; d.width = 65535; });
    add("window at INT_MIN", [](L& l, D&) { l.x = l.y = INT_MIN; });
    add("window at INT_MAX", [](L& l, D&) { l.x = l.y = INT_MAX; });
    add("opacity 0, enabled 0xFF, overlay width 1",
        [](L& l, D& d) { l.opacity = 0; l.windowEnabled = 0xFF; d.width = 1; });
    add("every byte 0xFF", [](L& l, D& d) {
        std::memset(&l, 0xFF, sizeof l);
        std::memset(&d, 0xFF, sizeof d);
    });
    add("every byte 0 (no window)", [](L& l, D& d) {
        std::memset(&l, 0, sizeof l);
        std::memset(&d, 0, sizeof d);
    });
    std::mt19937 random(seed);
    for (int i = 0; i < 4; ++i)
        add("random #" + std::to_string(i), [&](L& l, D& d) {
            for (BYTE& b : reinterpret_cast<BYTE(&)[sizeof l]>(l)) b = static_cast<BYTE>(random());
            for (BYTE& b : reinterpret_cast<BYTE(&)[sizeof d]>(d)) b = static_cast<BYTE>(random());
        });
    return out;
}

// A terminator within the capacity, and the text before it.
bool readArea(const wchar_t* name, unsigned units, std::wstring* text) {
    UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    if (!mapping) return false;
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, units * sizeof(wchar_t)));
    if (!view) return false;
    const wchar_t* area = static_cast<const wchar_t*>(view.get());
    const size_t length = boundedLength(area, units);
    *text = std::wstring(area, length);
    return length < units;
}

TEST(PluginGarbageRecords, StartsComposesPaintsAndStopsOnAnyStoredRecords) {
    const unsigned seed = robust::seed();
    int windows = 0, painted = 0;
    for (const Records& r : garbage(seed)) {
        SCOPED_TRACE(r.what + ", seed " + std::to_string(seed));
        PluginHost host;
        host.addWorld();
        host.model.addChannel(kConnection, 20, "A channel with a rather long name");
        host.model.addClient(kConnection, 2, "Alice with a long nickname", kLobby);
        host.model.addClient(kConnection, 3, "Bob", kLobby);
        host.model.addClient(kConnection, 4, "Carol the third speaker", kLobby);
        host.overlay = std::make_unique<StandInOverlay>();
        host.sandbox.putBinary(L"ListChannel", bytesOf(r.list));
        host.sandbox.putBinary(L"Config", bytesOf(r.display));

        StdoutCapture quiet;
        std::string why;
        const bool loaded = host.load(&why);
        const int started = loaded ? host.start() : -1;
        const HWND window = ownListWindow();
        for (anyID c : {2, 3, 4}) host.dll.onTalkStatusChangeEvent(kConnection, 1, 0, c);
        std::wstring speakers;
        const bool speakersTerminated =
            readArea(channel::kSpeakerAreaName, channel::kSpeakerUnits, &speakers);
        host.model.moveClient(kConnection, 2, 20);
        host.dll.onClientMoveEvent(kConnection, 2, kLobby, 20, 1, "");
        std::wstring moved;
        const bool movedTerminated =
            readArea(channel::kActivityAreaName, channel::kActivityUnits, &moved);
        host.model.removeClient(kConnection, 3);
        host.dll.onClientMoveEvent(kConnection, 3, kLobby, 0, 2, "");
        std::wstring left;
        readArea(channel::kActivityAreaName, channel::kActivityUnits, &left);
        host.model.clearCalls();
        host.dll.updateClient(kConnection, 4);
        PluginHost::pump(0);
        const bool paintedNow = host.model.countCalls("getChannelClientList") > 0;
        RECT client{};
        if (window) GetClientRect(window, &client);
        host.dll.processCommand(kConnection, "channel hide");
        host.dll.processCommand(kConnection, "channel show");
        host.stop();
        host.unload();
        const std::string printed = quiet.take();

        ASSERT_TRUE(loaded) << why;
        ASSERT_EQ(started, 0) << printed;
        EXPECT_EQ(window != nullptr, r.list.windowEnabled != 0);
        EXPECT_TRUE(speakersTerminated && movedTerminated);
        // Three speakers are on the line whatever the width; the names may be cut.
        EXPECT_EQ(speakers.compare(0, 5, L"Alice"), 0) << std::string(speakers.begin(), speakers.end());
        EXPECT_NE(speakers.find(L"Bob "), std::wstring::npos);
        EXPECT_NE(speakers.find(L"Carol the third speaker "), std::wstring::npos)
            << "the last speaker is always whole";
        EXPECT_NE(moved.find(L"-> A channel with a rather long name"), std::wstring::npos)
            << std::string(moved.begin(), moved.end());
        EXPECT_NE(left.find(L"disconnected"), std::wstring::npos);
        // A window with room to paint in paints the own channel's clients.
        if (window && client.right > 0 && client.bottom > 0) {
            EXPECT_TRUE(paintedNow) << "no paint of a " << client.right << " x " << client.bottom
                                    << " window";
            painted += paintedNow;
        }
        windows += window != nullptr;
        EXPECT_EQ(host.model.outstandingBlocks(), 0u);

        // Shutdown stores a whole record again.
        EXPECT_EQ(host.sandbox.getValue(L"ListChannel").size(), sizeof(ListChannelConfig));
    }
    std::printf("[ figures  ] plugin started on %u pairs of garbage records (seed %u): %d List "
                "Channel windows, %d painted\n",
                static_cast<unsigned>(garbage(seed).size()), seed, windows, painted);
}

}  // namespace
}  // namespace robust
