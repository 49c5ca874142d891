// The overlay program started on whatever a "Config" value may hold: sizes
// of 0 and 65535, a line count of 255, opacity 0, coordinates at the ends of
// their range, random bytes. It must start, answer every code, draw where
// its window can be seen, and quit cleanly when told to.
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "wine_path.h"
#include "knobs.h"
#include "overlay_harness.h"
#include "process_counters.h"
#include "unique_handle.h"

namespace {

std::wstring executablePath() { return wideWinePath(TALVORI_EXE); }

struct Garbage {
    std::string what;
    DisplayConfig config;
};

std::vector<Garbage> garbageRecords(const DisplayConfig& base, unsigned seed) {
    std::vector<Garbage> out;
    auto add = [&](const std::string& what, auto change) {
        DisplayConfig c = base;
        change(c);
        out.push_back({what, c});
    };
    add("width 0", [](DisplayConfig& c) { c.width = 0; });
    add("width 65535", [](DisplayConfig& c) { c.width = 65535; });
    add("line height 0", [](DisplayConfig& c) { c.lineHeight = 0; });
    add("line height 65535", [](DisplayConfig& c) { c.lineHeight = 65535; });
    add("255 lines of 65535 pixels, 65535 wide", [](DisplayConfig& c) {
        c.twoLines = 255;
        c.lineHeight = 65535;
        c.width = 65535;
    });
    add("opacity 0", [](DisplayConfig& c) { c.opacity = 0; });
    add("duration 65535", [](DisplayConfig& c) { c.displayDuration = 65535; });
    add("x and y at INT_MIN", [](DisplayConfig& c) { c.x = INT_MIN; c.y = INT_MIN; });
    add("x and y at INT_MAX", [](DisplayConfig& c) { c.x = INT_MAX; c.y = INT_MAX; });
    add("every byte 0xFF", [](DisplayConfig& c) { std::memset(&c, 0xFF, sizeof c); });
    add("every byte 0", [](DisplayConfig& c) { std::memset(&c, 0, sizeof c); });
    std::mt19937 random(seed);
    for (int i = 0; i < 3; ++i)
        add("random bytes (seed " + std::to_string(seed) + ", #" + std::to_string(i) + ")",
            [&](DisplayConfig& c) {
                auto* bytes = reinterpret_cast<unsigned char*>(&c);
                for (size_t b = 0; b < sizeof c; ++b) bytes[b] = static_cast<unsigned char>(random());
            });
    return out;
}

// Whether a window of this record can show the speaker line: on screen,
// visible enough, and big enough for a few letters.
bool visibleOnScreen(const DisplayConfig& c) {
    return c.opacity >= 128 && c.width >= 60 && c.lineHeight >= 16 && c.x >= 0 && c.x < 600 &&
           c.y >= 0 && c.y < 400 &&
           !c.transparentBackground && c.speakerColour != c.backgroundColour;
}

// Pixels of `colour` in the top-left corner of the window's client area,
// read from the screen (never the whole window: it may be 65535 wide).
int inkInCorner(HWND window, COLORREF colour, int width, int height) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT corner{origin.x, origin.y, origin.x + width, origin.y + height};
    screenshot::Image image;
    if (!screenshot::captureScreen(corner, image)) return 0;
    return countColour(image, colour, {0, 0, width, height});
}

class OverlayGarbageConfig : public OverlayTest {};

TEST_F(OverlayGarbageConfig, StartsAnswersDrawsAndQuitsOnAnyStoredRecord) {
    PluginChannel& channel = plugin();  // the channel exists before the program starts
    config.speakerColour = kSpeaker;
    const unsigned seed = robust::seed();
    int drawn = 0;
    SIZE_T largestCommit = 0;
    const DWORD start = GetTickCount();
    for (const Garbage& g : garbageRecords(config, seed)) {
        SCOPED_TRACE(g.what);
        stored.store(g.config);
        ASSERT_TRUE(overlay.start(executablePath(), true));
        window = overlay.waitForWindow(10000);
        ASSERT_NE(window, nullptr) << "no window\n" << overlay.output();

        channel.postSpeakers(L"Garbage in, overlay stays");
        channel.postActivity(L"arrived -> Lobby");
        channel.notify(DISPLAY_ACTIVITY_CLEAR);
        EXPECT_TRUE(channel.settle(5000)) << "the program stopped answering";
        EXPECT_EQ(channel.send(77, 0x12345678), 0);
        if (visibleOnScreen(g.config)) {
            EXPECT_TRUE(waitFor([&] {
                return inkInCorner(window, g.config.speakerColour, 60, 16) > 0;
            })) << "the speaker line does not show";
            ++drawn;
        }
        EXPECT_TRUE(overlay.running());
        // A window as big as its record says would need gigabytes for its
        // surface; the system clamps it to 32767 pixels a side, and the
        // program's commit charge must not follow the record either.
        {
            UniqueKernelHandle process(
                OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, overlay.id()));
            const robust::ProcessCounters counters = robust::countersOf(process.get());
            EXPECT_LT(counters.pagefile, 64u * 1024 * 1024) << counters.describe();
            if (counters.pagefile > largestCommit) largestCommit = counters.pagefile;
        }
        channel.send(DISPLAY_QUIT, 0);
        EXPECT_EQ(overlay.waitForExit(5000), 0) << overlay.output();
        overlay.stop(0);
        // The program may have stored the garbage again (it saves a window
        // the system moved into range). Put a sane record back at once, so
        // that a run killed half-way leaves no garbage to the programs
        // started after it.
        stored.store(config);
    }
    std::printf("[ figures  ] overlay started on %u stored records (seed %u) in %lu ms, "
                "line checked on screen for %d, largest commit charge %lu KB\n",
                static_cast<unsigned>(garbageRecords(config, seed).size()), seed,
                static_cast<unsigned long>(GetTickCount() - start), drawn,
                static_cast<unsigned long>(largestCommit / 1024));
}

}  // namespace
