#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_stdout.h"
#include "display_link.h"
#include "fixed_measurer.h"
#include "host_fixture.h"
#include "name_cache.h"
#include "speaker_line.h"

using speakertest::FixedMeasurer;
using speakertest::HostFixture;
using speakertest::MeasurerScope;

namespace {

std::vector<WPARAM> received;  // DISPLAY_MESSAGE codes, in order

LRESULT CALLBACK recorderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == DISPLAY_MESSAGE) {
        received.push_back(wp);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

const wchar_t kRecorderClass[] = L"TalvoriSpeakerTestRecorder";

HWND createRecorder(HWND parent, const wchar_t* title,
                    const wchar_t* className = kRecorderClass) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = recorderProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);  // fails harmlessly once registered
    return CreateWindowExW(0, className, title, WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class SpeakerLineTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        addServer(1);
        addServer(2);
        setTextMeasurer(&measurer);

        HANDLE mapping =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, nullptr);
        ASSERT_NE(mapping, nullptr);
        displayChannel.speakerMapping.reset(mapping);
        displayChannel.speakerView.reset(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 512));
        ASSERT_TRUE(displayChannel.speakerView);
        displayChannel.mutex.reset(CreateMutexW(nullptr, FALSE, nullptr));
        writeSpeakerText(L"stale", 6);

        recorder = createRecorder(HWND_MESSAGE, L"recorder");
        ASSERT_NE(recorder, nullptr);
        displayWindow = recorder;
        received.clear();

        pluginDisplayConfig.width = 1000;
        clearSpeakerSlots();
    }
    void TearDown() override {
        clearSpeakerSlots();
        {
            StdoutCapture quiet;
            while (clientNameCache.size() > 0)
                clientNameCache.deleteConnection(clientNameCache.connectionAt(0));
        }
        closeDisplayChannel();
        displayWindow = nullptr;
        DestroyWindow(recorder);
        setTextMeasurer(nullptr);
        HostFixture::TearDown();
    }

    void talk(uint64 connection, int status, anyID client) {
        StdoutCapture quiet;  // the cache's trace lines
        onTalkStatusChange(connection, status, 0, client);
    }
    void name(uint64 connection, anyID client, const std::string& nickname) {
        model.addClient(connection, client, nickname, 10);
    }
    std::wstring area() const { return speakerArea().text; }
    std::vector<anyID> slots() const {
        return std::vector<anyID>(speakerSlots.slot, speakerSlots.slot + kSpeakerSlotCount);
    }
    static std::vector<anyID> slotsOf(std::vector<anyID> front) {
        front.resize(kSpeakerSlotCount, 0);
        return front;
    }

    FixedMeasurer measurer;
    HWND recorder = nullptr;
};

TEST_F(SpeakerLineTest, StartsAndStopsKeepTheSlotsPackedInStartingOrder) {
    name(1, 11, "Eleven");
    name(1, 12, "Twelve");
    name(1, 13, "Thirteen");
    talk(1, 1, 11);
    talk(1, 1, 11);
    EXPECT_EQ(slots(), slotsOf({11}));
    EXPECT_EQ(area(), L"Eleven ");

    talk(1, 1, 12);
    talk(1, 1, 13);
    EXPECT_EQ(area(), L"Eleven Twelve Thirteen ");
    talk(1, 0, 12);
    EXPECT_EQ(slots(), slotsOf({11, 13}));
    EXPECT_EQ(area(), L"Eleven Thirteen ");
    EXPECT_EQ(received, std::vector<WPARAM>(5, DISPLAY_SPEAKERS_CHANGED));
}

TEST_F(SpeakerLineTest, EventsThatChangeNoSlotStillRewriteAndNotify) {
    name(1, 11, "Eleven");
    talk(1, 1, 11);
    writeSpeakerText(L"stale", 6);
    received.clear();

    talk(1, 0, 99);  // never started
    EXPECT_EQ(slots(), slotsOf({11}));
    EXPECT_EQ(area(), L"Eleven ");
    writeSpeakerText(L"stale", 6);
    talk(1, 2, 11);  // talking while disabled
    EXPECT_EQ(slots(), slotsOf({11}));
    EXPECT_EQ(area(), L"Eleven ");
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(SpeakerLineTest, BeyondNineteenSpeakersTheNewcomerTakesTheLastSlot) {
    for (anyID c = 101; c <= 121; ++c) name(1, c, "S" + std::to_string(c));
    for (anyID c = 101; c <= 121; ++c) talk(1, 1, c);
    std::vector<anyID> expected;
    for (anyID c = 101; c <= 119; ++c) expected.push_back(c);
    expected.push_back(121);
    EXPECT_EQ(slots(), expected);

    talk(1, 1, 121);  // slot 19 is not checked, rewriting it changes nothing
    talk(1, 1, 105);  // already in slots 0-18
    talk(1, 0, 120);  // replaced: nothing left to remove
    EXPECT_EQ(slots(), expected);
}

TEST_F(SpeakerLineTest, ALeaverFromAFullTableLeavesTheLastSlotEmpty) {
    for (anyID c = 101; c <= 120; ++c) name(1, c, "S" + std::to_string(c));
    for (anyID c = 101; c <= 120; ++c) talk(1, 1, c);
    ASSERT_EQ(slots()[19], 120);
    talk(1, 0, 106);
    std::vector<anyID> expected;
    for (anyID c = 101; c <= 120; ++c)
        if (c != 106) expected.push_back(c);
    EXPECT_EQ(slots(), slotsOf(expected));
}

TEST_F(SpeakerLineTest, ALoneSpeakerIsShownWholeHoweverWide) {
    pluginDisplayConfig.width = 50;
    name(1, 7, "Maximilian-Alexander-Fitzgerald");
    talk(1, 1, 7);
    EXPECT_EQ(area(), L"Maximilian-Alexander-Fitzgerald ");
}

TEST_F(SpeakerLineTest, NamesShareTheWidthWhenTheyDoNotFitTogether) {
    // Three names of 100 pixels in 240: each but the last gets (240 - 12) / 3
    // = 76 pixels.
    pluginDisplayConfig.width = 240;
    name(1, 1, "Aaaaaaaaaa");
    name(1, 2, "Bbbbbbbbbb");
    name(1, 3, "Cccccccccc");
    talk(1, 1, 1);
    talk(1, 1, 2);
    talk(1, 1, 3);
    // 7 characters fit, fewer than 10: cut to 5.
    EXPECT_EQ(area(), L"Aaaaa Bbbbb Cccccccccc ");

    // The same 100 pixels as 20 narrow characters: 15 fit and are kept.
    measurer.defaultWidth = 5;
    name(2, 1, "Dddddddddddddddddddd");
    name(2, 2, "Eeeeeeeeeeeeeeeeeeee");
    name(2, 3, "Ffffffffffffffffffff");
    for (anyID c = 1; c <= 3; ++c) talk(1, 0, c);
    for (anyID c = 1; c <= 3; ++c) talk(2, 1, c);
    EXPECT_EQ(area(), L"Ddddddddddddddd Eeeeeeeeeeeeeee Ffffffffffffffffffff ");

    // 300 pixels in 300: everyone whole.
    pluginDisplayConfig.width = 300;
    measurer.defaultWidth = 10;
    for (anyID c = 1; c <= 3; ++c) talk(2, 0, c);
    for (anyID c = 1; c <= 3; ++c) talk(1, 1, c);
    EXPECT_EQ(area(), L"Aaaaaaaaaa Bbbbbbbbbb Cccccccccc ");
}

TEST_F(SpeakerLineTest, ShortNamesAreNeverCut) {
    pluginDisplayConfig.width = 100;
    measurer.widths[L'X'] = 40;
    name(1, 1, "XXX");         // 120 px, nothing of it fits the budget
    name(1, 2, "Bbbbbbbbbb");  // 2 characters fit: cut to 5
    name(1, 3, "Dd");          // fits the budget whole
    name(1, 4, "Cccccc");
    talk(1, 1, 1);
    talk(1, 1, 2);
    talk(1, 1, 3);
    talk(1, 1, 4);
    // Budget (100 - 16) / 4 = 21 pixels.
    EXPECT_EQ(area(), L"XXX Bbbbb Dd Cccccc ");
}

TEST_F(SpeakerLineTest, ANameEndingInABlankGetsNoSecondOne) {
    name(1, 1, "Bob ");
    name(1, 2, "Amy");
    talk(1, 1, 1);
    talk(1, 1, 2);
    EXPECT_EQ(area(), L"Bob Amy ");
}

TEST_F(SpeakerLineTest, TheLastSpeakerStoppingEmptiesTheLine) {
    name(1, 1, "Bob");
    talk(1, 1, 1);
    received.clear();
    talk(1, 0, 1);
    EXPECT_EQ(area(), L"");
    EXPECT_EQ(received, std::vector<WPARAM>{DISPLAY_SPEAKERS_CHANGED});
}

// The overlay may paint at any moment: until the new line is complete the
// area holds the whole previous one, never a part of the new.
TEST_F(SpeakerLineTest, TheAreaKeepsTheLastLineUntilTheNewOneIsComplete) {
    class Spy : public FixedMeasurer {
    public:
        bool fit(const wchar_t* t, int n, int w, int* c) override {
            seen.push_back(speakerArea().text);
            return FixedMeasurer::fit(t, n, w, c);
        }
        std::vector<std::wstring> seen;
    } spy;
    MeasurerScope scope(&spy);
    name(1, 1, "Ann");
    name(1, 2, "Ben");
    name(1, 3, "Cid");
    talk(1, 1, 1);
    talk(1, 1, 2);
    spy.seen.clear();
    talk(1, 1, 3);
    ASSERT_EQ(spy.seen.size(), 2u);  // no fitting for the last name
    EXPECT_EQ(spy.seen[0], L"Ann Ben ");
    EXPECT_EQ(spy.seen[1], L"Ann Ben ");
    EXPECT_EQ(area(), L"Ann Ben Cid ");
}

TEST_F(SpeakerLineTest, WithoutAKnownWindowTheNoticeIsSkippedAndTheWindowSought) {
    name(1, 1, "Ann");
    displayWindow = nullptr;
    talk(1, 1, 1);
    EXPECT_EQ(area(), L"Ann ");
    EXPECT_EQ(displayWindow, nullptr);
    EXPECT_TRUE(received.empty());

    // Only the overlay's class counts: a box captioned "TALVORI", in front
    // of it, is not the overlay.
    HWND overlay = createRecorder(nullptr, L"TALVORI", channel::kWindowClass);
    HWND box = createRecorder(nullptr, L"TALVORI");
    ASSERT_NE(overlay, nullptr);
    ASSERT_NE(box, nullptr);
    talk(1, 0, 1);
    EXPECT_EQ(displayWindow, overlay);
    EXPECT_TRUE(received.empty());  // found for the next event, not this one
    talk(1, 1, 1);
    EXPECT_EQ(received, std::vector<WPARAM>{DISPLAY_SPEAKERS_CHANGED});
    DestroyWindow(box);
    DestroyWindow(overlay);
}

// A client id names a client on one server only: the same id on two tabs
// is two speakers, each named by its own server.
TEST_F(SpeakerLineTest, EachSpeakerIsNamedUnderTheirOwnConnection) {
    name(1, 5, "Alice");
    name(2, 5, "Eve");
    name(2, 7, "Gina");
    talk(1, 1, 5);
    EXPECT_EQ(area(), L"Alice ");
    talk(2, 1, 7);
    EXPECT_EQ(area(), L"Alice Gina ");
    talk(2, 1, 5);
    EXPECT_EQ(area(), L"Alice Gina Eve ");
    talk(1, 0, 5);
    EXPECT_EQ(area(), L"Gina Eve ");
}

TEST_F(SpeakerLineTest, NicknamesComeFromTheHostOnlyTheFirstTime) {
    name(1, 1, "Ann");
    name(1, 2, "Ben");
    talk(1, 1, 1);
    talk(1, 1, 2);
    EXPECT_EQ(model.countCalls("getClientVariableAsString"), 2u);
    model.clearCalls();
    talk(1, 2, 1);
    talk(1, 0, 1);
    EXPECT_EQ(model.calls().size(), 0u) << model.transcript();
}

TEST_F(SpeakerLineTest, ASpeakerTheCacheCannotNameIsShownUnderTheDefault) {
    name(1, 1, "Ann");
    model.failNext("getClientVariableAsString", hostsim::hosterror::kClientInvalidId);
    talk(1, 1, 1);
    EXPECT_EQ(area(), L"Unkown ");
    talk(1, 2, 1);
    EXPECT_EQ(area(), L"Ann ");
}

TEST_F(SpeakerLineTest, LongAndInvalidNicknamesAreShownAsFarAsTheyGo) {
    std::string longName;
    for (int i = 0; i < 35; ++i) longName += "\xC3\xA9";  // 70 bytes
    name(1, 1, longName);
    talk(1, 1, 1);
    EXPECT_EQ(area(), std::wstring(31, L'\u00E9') + L" ");

    // Each bad byte is a character 10 px wide, so the bad name is measured,
    // found too wide and cut to 5 of them.
    talk(1, 0, 1);
    pluginDisplayConfig.width = 100;
    name(1, 2, std::string(12, '\xFF'));
    name(1, 3, "Bob");
    talk(1, 1, 2);
    talk(1, 1, 3);
    EXPECT_EQ(area(), std::wstring(5, L'\uFFFD') + L" Bob ");
}

TEST_F(SpeakerLineTest, TheLineStopsAt254Characters) {
    measurer.defaultWidth = 1;
    pluginDisplayConfig.width = 65535;
    std::wstring expected;
    for (anyID c = 1; c <= 20; ++c) {
        std::string nick(63, static_cast<char>('a' + c));
        name(1, c, nick);
        talk(1, 1, c);
        expected += std::wstring(63, static_cast<wchar_t>(L'a' + c)) + L" ";
    }
    EXPECT_EQ(area(), expected.substr(0, 254));
}

TEST_F(SpeakerLineTest, EraseEmptiesSlotsAndLine) {
    name(1, 1, "Ann");
    name(1, 2, "Ben");
    talk(1, 1, 1);
    talk(1, 1, 2);
    received.clear();
    eraseSpeakers();
    EXPECT_EQ(slots(), slotsOf({}));
    EXPECT_EQ(area(), L"");
    EXPECT_EQ(received, std::vector<WPARAM>{DISPLAY_SPEAKERS_CHANGED});

    talk(1, 1, 2);
    displayWindow = nullptr;
    received.clear();
    eraseSpeakers();
    EXPECT_EQ(area(), L"");
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(displayWindow, nullptr);
}

}  // namespace
