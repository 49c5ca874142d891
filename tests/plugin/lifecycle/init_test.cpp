// Start of the plugin with the overlay window already present, and every
// way the creation of the display channel can fail.
#include "capture_stdout.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"
#include "unique_handle.h"

namespace lifecycle {
namespace {

class Init : public PluginSession {
protected:
    void loadWatched() {
        loadPlugin();
        ledger::reset();
        ledger::attach(plugin.module());
    }
    bool loggedError(const std::string& text) const {
        for (const hostsim::HostCall& c : logLines())
            if (c.text == text && c.number == 1 && c.text2 == "TALVORI" && c.id1 == 0) return true;
        return false;
    }
};

TEST_F(Init, PresentOverlayIsUsedAtOnceAndEachStepIsTraced) {
    StandInOverlay overlay;
    // Left-over text from an earlier session must not show again.
    UniqueKernelHandle stale(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                channel::kSpeakerBytes,
                                                channel::kSpeakerAreaName));
    UniqueView staleView(MapViewOfFile(stale.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    wcscpy(static_cast<wchar_t*>(staleView.get()), L"old speakers");
    loadWatched();
    model.clearCalls();

    StdoutCapture out;
    int result = plugin.init();
    std::string text = out.take();

    ASSERT_EQ(result, 0) << text;
    EXPECT_EQ(ledger::sleeps(), 0) << "found without a single 100 ms wait";
    EXPECT_TRUE(inOrder(lines(text), {
        kPluginApi == 8 ? "TALVORI: Client API Version: 8, Plugin API Version: 8"
                        : "TALVORI: Client API Version: 1700000000, Plugin API Version: 26",
        "TALVORI: App path: C:\\TeamSpeak 3 Client",
        "Resources path: C:\\TeamSpeak 3 Client",
        "Config path: C:\\Users\\user\\AppData\\Roaming\\TS3Client",
        "Plugin path: " + pluginFolder.path(),
        "Registry error : key Software\\Talvori Config : 2",
        "Current Connection Handler 7 ",
        "TALVORI: init",
    })) << text;
    std::vector<hostsim::HostCall> logs = logLines();
    ASSERT_FALSE(logs.empty());
    EXPECT_EQ(logs[0].text, "Start TALVORI");
    EXPECT_EQ(logs[0].number, 4);
    EXPECT_EQ(logs[0].text2, "Plugin");
    EXPECT_EQ(logs[0].id1, 0u);
    EXPECT_EQ(static_cast<wchar_t*>(staleView.get())[0], L'\0');
    EXPECT_TRUE(mutexExists(channel::kMutexName));
    EXPECT_TRUE(mappingExists(channel::kActivityAreaName));
    EXPECT_EQ(ledger::dcsTaken(), 1);

    StdoutCapture stop;
    plugin.shutdown();
    EXPECT_TRUE(inOrder(lines(stop.take()), {"TALVORI: shutdown"}));
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_QUIT, 1000));
    EXPECT_FALSE(mutexExists(channel::kMutexName));
    EXPECT_FALSE(mappingExists(channel::kActivityAreaName));
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

// One row per creation step that can fail. `blocker` names an object of
// another kind that the test holds under the step's name, so the creation
// fails for real; the view rows have the n-th MapViewOfFile fail instead.
struct FailureRow {
    const char* label;
    enum { kEvent, kMutex, kNone } blockerKind;
    const wchar_t* blocker;
    int failingView;
    const char* trace;
    const char* log;
};

const FailureRow kRows[] = {
    {"Mutex", FailureRow::kEvent, channel::kMutexName, 0,
     "TALVORI:Could not create Mutex object (6).", "Could not create file mapping object"},
    {"SpeakerMapping", FailureRow::kMutex, channel::kSpeakerAreaName, 0,
     "TALVORI:Could not create file mapping object (6).", "Could not create file mapping object"},
    {"SpeakerView", FailureRow::kNone, nullptr, 1, "TALVORI:Could not map view of file (8).",
     "Could not map view of file "},
    {"ActivityMapping", FailureRow::kMutex, channel::kActivityAreaName, 0,
     "TALVORI:Could not create file mapping object (6).", "Could not create file mapping object"},
    {"ActivityView", FailureRow::kNone, nullptr, 2, "TALVORI:Could not map view of file (8).",
     "Could not map view of file "},
};

void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.label; }

class InitFailure : public Init, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(InitFailure, ReportsReleasesAndLetsTheNextStartSucceed) {
    const FailureRow& row = GetParam();
    StandInOverlay overlay;
    loadWatched();
    UniqueKernelHandle blocker;
    if (row.blockerKind == FailureRow::kEvent)
        blocker.reset(CreateEventW(nullptr, FALSE, FALSE, row.blocker));
    else if (row.blockerKind == FailureRow::kMutex)
        blocker.reset(CreateMutexW(nullptr, FALSE, row.blocker));
    if (row.blocker) {
        ASSERT_TRUE(blocker) << "the name is taken by an object of the same kind";
    }
    ledger::failMapView(row.failingView);

    StdoutCapture out;
    int result = plugin.init();
    std::string text = out.take();

    EXPECT_EQ(result, 1);
    EXPECT_TRUE(inOrder(lines(text), {row.trace})) << text;
    EXPECT_EQ(text.find("TALVORI: init"), std::string::npos);
    EXPECT_TRUE(loggedError(row.log));
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
    EXPECT_EQ(overlay.codes(), std::vector<WPARAM>{});

    // Nothing the failed start made stands in the way of the next one.
    blocker.reset();
    ledger::failMapView(0);
    StdoutCapture again;
    int restarted = plugin.init();
    plugin.shutdown();
    std::string printed = again.take();
    EXPECT_EQ(restarted, 0) << printed;
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EachStep, InitFailure, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Init, PluginPathWithoutRoomForTheProgramNameFailsCleanly) {
    StandInOverlay overlay;
    // 499 characters + "\TALVORI.exe" + terminator fill the 512 bytes exactly.
    std::string fits = "C:\\" + std::string(496, 'p');
    model.pluginPath = fits;
    loadWatched();
    StdoutCapture out;
    int fitted = plugin.init();
    plugin.shutdown();
    model.pluginPath = fits + "p";
    model.clearCalls();
    int result = plugin.init();
    std::string text = out.take();
    EXPECT_EQ(fitted, 0) << "a path that just fits starts";
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(inOrder(lines(text), {"TALVORI:Plugin path too long to start TALVORI.exe."}))
        << text;
    EXPECT_TRUE(loggedError("Plugin path too long for TALVORI.exe"));
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
    EXPECT_FALSE(mutexExists(channel::kMutexName));
}

}  // namespace
}  // namespace lifecycle
