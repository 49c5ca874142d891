// What a hostile or unlucky host hands the plugin (nicknames built to turn
// the line around, control bytes, invalid UTF-8, two server tabs sharing a
// client id, a tab lost while someone talks there), and what reaches the
// overlay's shared areas: the exact text and, where direction matters, how
// TextOutW draws it.
#include <windows.h>

#include <string>
#include <vector>

#include "capture_stdout.h"
#include "display_channel.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

constexpr uint64 kOther = 0x200000009ull;  // a second server tab
constexpr uint64 kLobby = 1;
constexpr uint64 kHebrewChannel = 2;

std::wstring areaText(const wchar_t* name, DWORD bytes, size_t units) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (!mapping) return L"(no area)";
    auto text = static_cast<const wchar_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, bytes));
    std::wstring out = text ? std::wstring(text, boundedLength(text, units)) : L"(no view)";
    if (text) UnmapViewOfFile(text);
    CloseHandle(mapping);
    return out;
}

std::wstring speakerText() {
    return areaText(channel::kSpeakerAreaName, channel::kSpeakerBytes, channel::kSpeakerUnits);
}
std::wstring activityText() {
    return areaText(channel::kActivityAreaName, channel::kActivityBytes, channel::kActivityUnits);
}

// Black-on-white pixels of texts drawn the way the overlay draws: TextOutW
// in the stock system font, each text at its x.
struct Run {
    int x;
    std::wstring text;
};

constexpr int kWidth = 400, kHeight = 20;

std::vector<DWORD> drawn(const std::vector<Run>& runs) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    for (const Run& r : runs) TextOutW(dc, r.x, 0, r.text.c_str(), static_cast<int>(r.text.size()));
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    // Colour only: the background box of each text and the blank bitmap
    // differ in the unused top byte.
    std::vector<DWORD> out(kWidth * kHeight);
    for (size_t i = 0; i < out.size(); ++i) out[i] = p[i] & 0x00FFFFFF;
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
}

// The pieces of a line drawn one by one from the left, each followed by a
// blank: how the line reads when no piece can reorder another.
std::vector<DWORD> drawnOneByOne(const std::vector<std::wstring>& pieces) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    std::vector<Run> runs;
    int x = 0;
    for (const std::wstring& piece : pieces) {
        runs.push_back({x, piece});
        const std::wstring spaced = piece + L" ";
        SIZE size{};
        GetTextExtentPoint32W(dc, spaced.c_str(), static_cast<int>(spaced.size()), &size);
        x += size.cx;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return drawn(runs);
}

// What a drawing shows, left to right: the runs of inked columns, the blank
// columns between them left out. Some renderers draw a zero-width mark
// next to right-to-left text a few pixels wide: the gaps may differ, the
// glyphs and their order may not.
std::vector<std::vector<DWORD>> inkRuns(const std::vector<DWORD>& pixels) {
    std::vector<std::vector<DWORD>> runs;
    std::vector<DWORD> run;
    for (int x = 0; x < kWidth; ++x) {
        std::vector<DWORD> column;
        bool ink = false;
        for (int y = 0; y < kHeight; ++y) {
            column.push_back(pixels[y * kWidth + x]);
            ink = ink || column.back() != 0x00FFFFFF;
        }
        if (ink) run.insert(run.end(), column.begin(), column.end());
        if (!ink && !run.empty()) runs.push_back(std::move(run)), run.clear();
    }
    if (!run.empty()) runs.push_back(run);
    return runs;
}

struct Nick {
    uint64 connection;
    anyID client;
    const char* utf8;
};

struct Step {
    enum Kind { kTalk, kArrive, kTabLost, kOwnClientGone, kLeaves } kind;
    uint64 connection;
    anyID client = 0;
    uint64 channel = kLobby;
};

struct Row {
    const char* what;
    std::vector<Nick> nicks;
    std::vector<Step> steps;
    std::wstring speakers;                     // the speaker area afterwards
    std::vector<std::wstring> speakersDrawn;   // its pieces, when pixels are compared
    std::wstring activity;                     // the activity area, when an arrival was posted
    std::vector<std::wstring> activityDrawn;
    size_t speakerNotices;                     // DISPLAY_SPEAKERS_CHANGED the overlay receives
};

using HostileNames = PluginSession;

TEST_F(HostileNames, NamesAndTabsCannotSpoilTheLines) {
    const Row rows[] = {
        {"an override left open turns no later text around",
         {{kConnection, 11, "Zed\xE2\x80\xAE"}, {kConnection, 12, "Frank"}},
         {{Step::kTalk, kConnection, 11}, {Step::kTalk, kConnection, 12},
          {Step::kArrive, kConnection, 11}},
         L"Zed Frank ", {L"Zed", L"Frank"},
         L"Zed -> Lobby ", {L"Zed", L"->", L"Lobby"}, 2},
        {"an isolate left open is not drawn",
         {{kConnection, 21, "Ann\xE2\x81\xA7"}, {kConnection, 22, "Kim"}},
         {{Step::kTalk, kConnection, 21}, {Step::kTalk, kConnection, 22},
          {Step::kArrive, kConnection, 21}},
         L"Ann Kim ", {L"Ann", L"Kim"}, L"Ann -> Lobby ", {L"Ann", L"->", L"Lobby"}, 2},
        {"two Hebrew names keep their order, and so does the arrow",
         {{kConnection, 31, "\xD7\x90\xD7\x91"},
          {kConnection, 32, "\xD7\x92\xD7\x93\xD7\x94\xD7\x95\xD7\x96"}},
         {{Step::kTalk, kConnection, 31}, {Step::kTalk, kConnection, 32},
          {Step::kArrive, kConnection, 31, kHebrewChannel}},
         L"\u05D0\u05D1\u200E \u05D2\u05D3\u05D4\u05D5\u05D6\u200E ",
         {L"\u05D0\u05D1", L"\u05D2\u05D3\u05D4\u05D5\u05D6"},
         L"\u05D0\u05D1\u200E -> \u05DC\u05D5\u05D1\u05D9\u200E ",
         {L"\u05D0\u05D1", L"->", L"\u05DC\u05D5\u05D1\u05D9"}, 2},
        {"control characters, C0 and C1, show as replacement characters",
         {{kConnection, 41, "Tab\tX\x01\x7F\xC2\x85"}},
         {{Step::kTalk, kConnection, 41}, {Step::kArrive, kConnection, 41}},
         L"Tab\uFFFDX\uFFFD\uFFFD\uFFFD ", {},
         L"Tab\uFFFDX\uFFFD\uFFFD\uFFFD -> Lobby ", {}, 1},
        {"invalid UTF-8 does not let an override through",
         {{kConnection, 51, "Bad\xFF\xE2\x80\xAE\xC0"}, {kConnection, 52, "Lee"}},
         {{Step::kTalk, kConnection, 51}, {Step::kTalk, kConnection, 52}},
         L"Bad\uFFFD\uFFFD Lee ", {}, L"", {}, 2},
        {"two tabs with the same client id: each name from its own server",
         {{kConnection, 5, "Alice"}, {kOther, 5, "Eve"}, {kOther, 7, "Frank"}},
         {{Step::kTalk, kConnection, 5}, {Step::kTalk, kOther, 7}},
         L"Alice Frank ", {}, L"", {}, 2},
        {"a tab lost while someone talks there takes them off the line",
         {{kConnection, 61, "Gus"}, {kOther, 62, "Hal"}},
         {{Step::kTalk, kConnection, 61}, {Step::kTalk, kOther, 62},
          {Step::kTabLost, kOther}},
         L"Gus ", {}, L"", {}, 3},
        {"the own client leaving a tab takes its speakers off the line",
         {{kConnection, 71, "Ida"}, {kOther, 72, "Jon"}},
         {{Step::kTalk, kConnection, 71}, {Step::kTalk, kOther, 72},
          {Step::kOwnClientGone, kOther}},
         L"Ida ", {}, L"DISCONNECTED ", {}, 3},
        {"a client who leaves the server while talking leaves the line",
         {{kConnection, 81, "Kai"}, {kConnection, 82, "Lou"}},
         {{Step::kTalk, kConnection, 81}, {Step::kTalk, kConnection, 82},
          {Step::kLeaves, kConnection, 81}},
         L"Lou ", {}, L"Kai disconnected ", {}, 3},
    };

    model.addChannel(kConnection, kHebrewChannel, "\xD7\x9C\xD7\x95\xD7\x91\xD7\x99");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        // Each row starts from a freshly loaded plugin and a second tab
        // that is up.
        model.removeConnection(kOther);
        model.addConnection(kOther, "Beta", 1);
        model.addChannel(kOther, kLobby, "Hall");
        model.addClient(kOther, 1, "Me", kLobby);
        for (const Nick& n : row.nicks) model.addClient(n.connection, n.client, n.utf8, kLobby);

        StandInOverlay overlay;
        loadPlugin();
        {
        StdoutCapture quiet;  // the plugin's trace lines, not the test's findings
        ASSERT_EQ(plugin.init(), 0);
        for (const Step& s : row.steps) {
            switch (s.kind) {
                case Step::kTalk:
                    plugin.onTalkStatusChangeEvent(s.connection, 1, 0, s.client);
                    break;
                case Step::kArrive:
                    model.moveClient(s.connection, s.client, s.channel);
                    // From the user's channel, or into it from nowhere.
                    plugin.onClientMoveEvent(s.connection, s.client,
                                             s.channel == kLobby ? 0 : kLobby, s.channel, 0, "");
                    break;
                case Step::kTabLost:
                    model.connection(s.connection)->status = 0;
                    plugin.onConnectStatusChangeEvent(s.connection, 0, 1797);
                    break;
                case Step::kLeaves:
                    plugin.onClientMoveEvent(s.connection, s.client, kLobby, 0, 2, "");
                    model.removeClient(s.connection, s.client);
                    break;
                case Step::kOwnClientGone:
                    model.connection(s.connection)->ownClient = 0;
                    plugin.onClientMoveEvent(s.connection, 1, kLobby, 0, 0, "");
                    break;
            }
        }
        }

        EXPECT_EQ(speakerText(), row.speakers);
        if (!row.speakersDrawn.empty()) {
            EXPECT_TRUE(inkRuns(drawn({{0, row.speakers}})) == inkRuns(drawnOneByOne(row.speakersDrawn)))
                << "the speaker line draws otherwise than its names one by one";
        }
        if (!row.activity.empty()) {
            EXPECT_EQ(activityText(), row.activity);
            if (!row.activityDrawn.empty()) {
                EXPECT_TRUE(inkRuns(drawn({{0, row.activity}})) == inkRuns(drawnOneByOne(row.activityDrawn)))
                    << "the activity line draws otherwise than its pieces one by one";
            }
        }
        EXPECT_TRUE(overlay.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000, row.speakerNotices));

        {
            StdoutCapture quiet;
            plugin.shutdown();
        }
        plugin.unload();
        for (const Nick& n : row.nicks)
            if (n.connection == kConnection) model.removeClient(n.connection, n.client);
    }
}

}  // namespace
}  // namespace lifecycle
