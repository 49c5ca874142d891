// From the plugin's side writing a new speaker line and notifying, to the
// overlay's repainted line being on the screen: the real TALVORI.exe, driven
// through the feeder's PluginChannel, its top line read back from the screen
// until it shows the new text. Two speaker lines alternate, so every event
// changes the pixels.
//
// Usage: event_to_pixels [--events N] [--exe TALVORI.exe]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "overlay_session.h"
#include "screen_bench.h"
#include "screen_strip.h"

namespace {

constexpr int kWarmUp = 10;
constexpr DWORD kGiveUpMs = 2000;  // an event not on screen by then counts as missed
constexpr DWORD kPauseMs = 20;     // between events, so each starts from an idle overlay
const wchar_t* const kLines[2] = {L"Alice Bob Charlotte ", L"Mallory Trent Walter "};

}  // namespace

int main(int argc, char** argv) {
    bench::ScreenBenchOptions options;
    if (!bench::parseScreenBenchOptions(argc, argv, "event_to_pixels", options)) return 2;

    bench::OverlaySession overlay;
    const std::string error = overlay.start(options.exe);
    if (!error.empty()) {
        std::printf("event_to_pixels: %s\n", error.c_str());
        return 1;
    }
    const RECT line = overlay.speakerLine();
    bench::ScreenStrip strip(line);
    std::vector<uint32_t> pictures[2];
    if (!strip.ready() || !bench::settledPicture(overlay, strip, kLines[0], pictures[0]) ||
        !bench::settledPicture(overlay, strip, kLines[1], pictures[1])) {
        std::printf("event_to_pixels: the overlay's top line cannot be read from the screen\n");
        return 1;
    }
    if (pictures[0] == pictures[1]) {
        std::printf("event_to_pixels: both speaker lines look the same on screen\n");
        return 1;
    }

    bench::Samples latency, reads;
    int missed = 0;
    for (int i = 0; i < kWarmUp + options.events; ++i) {
        const int shown = i % 2;  // pictures[1] is on screen before the first event
        Sleep(kPauseMs);
        const LONGLONG start = bench::now();
        overlay.channel().postSpeakers(kLines[shown]);
        bool seen = false;
        for (;;) {
            const LONGLONG before = bench::now();
            if (!strip.read()) break;
            const LONGLONG after = bench::now();
            if (i >= kWarmUp) reads.add(bench::microseconds(before, after));
            if (strip.pixels() == pictures[shown]) {
                seen = true;
                if (i >= kWarmUp) latency.add(bench::microseconds(start, after) / 1000.0);
                break;
            }
            if (bench::microseconds(start, after) > kGiveUpMs * 1000.0) break;
        }
        if (!seen) {
            if (i >= kWarmUp) ++missed;
            // Start the next event from the picture that is really there.
            std::vector<uint32_t> ignored;
            bench::settledPicture(overlay, strip, kLines[shown], ignored);
        }
    }

    using bench::figure;
    const int width = line.right - line.left;
    const int height = line.bottom - line.top;
    std::printf("Event to pixels: speaker line written and notified -> repainted line on screen\n");
    std::printf("  real TALVORI.exe (process %lu), driven by a 64-bit PluginChannel; %d events, "
                "%lu ms apart, two alternating lines\n",
                overlay.processId(), options.events, kPauseMs);
    std::printf("  screen polled with BitBlt from GetDC(NULL), %dx%d pixels of the top line; "
                "one read takes %s ms (median), which bounds the resolution\n",
                width, height, figure(reads.median() / 1000.0).c_str());
    std::printf("  %-10s %9s %9s %9s %9s %7s\n", "", "p50 ms", "p99 ms", "min ms", "max ms",
                "missed");
    std::printf("  %-10s %9s %9s %9s %9s %7d\n", "latency", figure(latency.median()).c_str(),
                figure(latency.percentile(99)).c_str(), figure(latency.percentile(0)).c_str(),
                figure(latency.max()).c_str(), missed);
    std::printf("\n");
    overlay.quit();
    return missed > options.events / 10 ? 1 : 0;
}
