// What idle hiding costs the first line after a silence: from the plugin's
// side writing a speaker line and notifying, to the line being on screen,
// once with the overlay window hidden while nobody talked (it must be shown
// and painted) and once with it always shown (it is only repainted). The
// real TALVORI.exe, driven through the feeder's PluginChannel; the two cases
// take turns in one run, each event starting from an empty speaker line.
//
// Usage: event_to_visible [--events N] [--exe TALVORI.exe]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "overlay_session.h"
#include "play_config.h"
#include "screen_bench.h"
#include "screen_strip.h"
#include "stored_value.h"

namespace {

constexpr int kWarmUp = 10;
constexpr DWORD kGiveUpMs = 2000;  // an event not on screen by then counts as missed
constexpr DWORD kPauseMs = 30;     // after the silence, so the screen shows it
constexpr double kFrameMs = 16;
const wchar_t kLine[] = L"Alice Bob Charlotte ";

struct Case {
    const char* name = "";
    PlayConfig play{};
    bench::Samples latency;
    int missed = 0;
};

// Stores the switches and tells the program, as the plugin does.
void switchTo(bench::StoredValue& stored, bench::OverlaySession& overlay, const PlayConfig& play) {
    stored.store(&play, sizeof play);
    overlay.channel().send(DISPLAY_PLAY_CHANGED, 0);
}

// Nobody talks: the window hides when idle hiding is on. Whether it shows.
bool silence(bench::OverlaySession& overlay) {
    overlay.channel().postSpeakers(L"");
    overlay.channel().settle();
    Sleep(kPauseMs);
    return IsWindowVisible(overlay.window()) != FALSE;
}

// The time from writing the line until the screen shows it.
bool measure(bench::OverlaySession& overlay, bench::ScreenStrip& strip,
             const std::vector<uint32_t>& picture, double& ms) {
    const LONGLONG start = bench::now();
    overlay.channel().postSpeakers(kLine);
    for (;;) {
        if (!strip.read()) return false;
        const LONGLONG after = bench::now();
        if (strip.pixels() == picture) {
            ms = bench::microseconds(start, after) / 1000.0;
            return true;
        }
        if (bench::microseconds(start, after) > kGiveUpMs * 1000.0) return false;
    }
}

void printRow(const Case& c) {
    using bench::figure;
    std::printf("  %-16s %9s %9s %9s %9s %7d\n", c.name, figure(c.latency.median()).c_str(),
                figure(c.latency.percentile(99)).c_str(), figure(c.latency.percentile(0)).c_str(),
                figure(c.latency.max()).c_str(), c.missed);
}

}  // namespace

int main(int argc, char** argv) {
    bench::ScreenBenchOptions options;
    if (!bench::parseScreenBenchOptions(argc, argv, "event_to_visible", options)) return 2;

    // Kept aside and put back, like the settings the session stores.
    bench::StoredValue storedPlay(kPlayConfigValue);
    Case cases[2];
    cases[0].name = "always shown";
    cases[0].play = PlayConfig{0, 0, 0, 0};
    cases[1].name = "hidden -> shown";
    cases[1].play = PlayConfig{0, 1, 0, 0};
    storedPlay.store(&cases[0].play, sizeof cases[0].play);

    bench::OverlaySession overlay;
    const std::string error = overlay.start(options.exe);
    if (!error.empty()) {
        std::printf("event_to_visible: %s\n", error.c_str());
        return 1;
    }
    bench::ScreenStrip strip(overlay.speakerLine());
    std::vector<uint32_t> picture;
    if (!strip.ready() || !bench::settledPicture(overlay, strip, kLine, picture)) {
        std::printf("event_to_visible: the overlay's top line cannot be read from the screen\n");
        return 1;
    }

    int notHidden = 0;
    for (int i = 0; i < 2 * (kWarmUp + options.events); ++i) {
        Case& c = cases[i % 2];
        switchTo(storedPlay, overlay, c.play);
        // A silence that left the window shown would make this case
        // measure a repaint like the other.
        const bool visible = silence(overlay);
        if (visible == (c.play.hideWhenIdle != 0) && i >= 2 * kWarmUp) ++notHidden;
        double ms = 0;
        const bool seen = measure(overlay, strip, picture, ms);
        if (i < 2 * kWarmUp) continue;
        if (seen)
            c.latency.add(ms);
        else
            ++c.missed;
    }
    switchTo(storedPlay, overlay, cases[0].play);

    using bench::figure;
    const Case& shown = cases[0];
    const Case& hidden = cases[1];
    std::printf("Event to visible with idle hiding: speaker line written and notified -> "
                "the line on screen, after a silence\n");
    std::printf("  real TALVORI.exe (process %lu), driven by a 64-bit PluginChannel; %d events "
                "per case, the cases taking turns, each event %lu ms after an empty line\n",
                overlay.processId(), options.events, kPauseMs);
    std::printf("  hidden -> shown: idle hiding on, the window hidden by the silence is shown "
                "and painted; always shown: it is only repainted\n");
    std::printf("  %-16s %9s %9s %9s %9s %7s\n", "", "p50 ms", "p99 ms", "min ms", "max ms",
                "missed");
    printRow(shown);
    printRow(hidden);
    const double p50 =
        shown.latency.median() > 0 ? hidden.latency.median() / shown.latency.median() : 0;
    const double p99 = shown.latency.percentile(99) > 0
                           ? hidden.latency.percentile(99) / shown.latency.percentile(99)
                           : 0;
    std::printf("  ratio hidden -> shown / always shown: p50 %s, p99 %s\n", figure(p50).c_str(),
                figure(p99).c_str());
    std::printf("  aim: hidden -> shown within one frame (%s ms) at p99: %s\n",
                figure(kFrameMs).c_str(),
                hidden.latency.percentile(99) <= kFrameMs ? "met" : "not met");
    if (notHidden)
        std::printf("  warning: %d silences did not leave the window as the case needs\n",
                    notHidden);
    std::printf("\n");
    overlay.quit();
    const int missed = shown.missed + hidden.missed;
    return missed > options.events / 10 || notHidden ? 1 : 0;
}
