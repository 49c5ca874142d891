// Whether an event costs more on a big server: the plugin_cost measurement
// run in one process against the same DLL, in turns in plugin_cost's
// world (23 clients, every nickname cached) and in the big-server
// scenario (500 clients, 200 of them in the user's channel, and 200 more on
// a second tab), where the name table is full and none of the clients the
// rows drive is in it. The List Channel window is open in both, hidden while
// the events are timed and shown for a row of its own, its paint. Printed:
// each row's medians in both worlds and their ratio, big / small.
//
// Usage: scale_cost [--events N] [--bin <folder>] [--scenario <file>] [dll ...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "display_channel.h"
#include "display_config.h"
#include "list_config.h"
#include "plugin_session.h"
#include "quiet_stdout.h"
#include "stored_value.h"

namespace {

using benchplugin::baseName;
using benchplugin::treeDlls;
using benchplugin::waitForNoOverlay;
using benchplugin::widen;
using benchplugin::windowsPath;

// A client of the big world whom the table holds after init (the first of
// the crowd), and who leaves so that arrivals find a free place.
constexpr anyID kCachedCrowdMember = 100;
constexpr double kLimit = 2.0;  // what the ratios must stay under
constexpr int kRounds = 8;      // turns of each world

struct Options {
    int events = 2000;
    std::string bin = windowsPath(TALVORI_BENCH_BIN_DIR);
    std::string scenario = windowsPath(TALVORI_BENCH_BIG_SCENARIO);
    std::vector<std::string> dlls;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--events") && i + 1 < argc) {
            options.events = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--bin") && i + 1 < argc) {
            options.bin = windowsPath(argv[++i]);
        } else if (!std::strcmp(argv[i], "--scenario") && i + 1 < argc) {
            options.scenario = windowsPath(argv[++i]);
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: scale_cost [--events N] [--bin folder] "
                                 "[--scenario file] [dll ...]\n");
            return false;
        } else {
            options.dlls.push_back(windowsPath(argv[i]));
        }
    }
    if (options.events < 400) options.events = 400;
    if (options.dlls.empty()) options.dlls = treeDlls(options.bin);
    return true;
}

void pool(benchplugin::Report& into, const benchplugin::Report& round) {
    if (into.rows.empty()) {
        into = round;
        return;
    }
    for (size_t i = 0; i < into.rows.size() && i < round.rows.size(); ++i) {
        into.rows[i].isolated.append(round.rows[i].isolated);
        into.rows[i].burst.append(round.rows[i].burst);
    }
    if (!round.notes.empty()) into.notes = round.notes;
}

// The small world's row a big-world row compares with: arrivals into a free
// place of the table have no row of their own there, since every arrival
// finds one.
const benchplugin::Row* counterpart(const benchplugin::Report& small, const std::string& name) {
    const bool arrival = name.compare(0, 7, "arrival") == 0;
    for (const benchplugin::Row& row : small.rows)
        if (row.name == name || (arrival && row.name.compare(0, 7, "arrival") == 0)) return &row;
    return nullptr;
}

std::string ratioText(double big, double small, int* over) {
    if (small <= 0) return "-";
    const double ratio = big / small;
    if (over && ratio >= kLimit) ++*over;
    return bench::figure(ratio) + (ratio >= kLimit ? "!" : "");
}

// Medians of both worlds, their ratio, and the ratio of the 10th
// percentiles: on a loaded machine most of an event's spread is time it
// waited for the processor, which the low percentiles carry least of.
std::string columns(const bench::Samples& small, const bench::Samples& big, int& over) {
    char text[64];
    std::snprintf(text, sizeof text, "%8s %8s %6s %6s", bench::figure(small.median()).c_str(),
                  bench::figure(big.median()).c_str(),
                  ratioText(big.median(), small.median(), &over).c_str(),
                  ratioText(big.percentile(10), small.percentile(10), nullptr).c_str());
    return text;
}

int printComparison(const std::string& dll, const benchplugin::Report& small,
                    const benchplugin::Report& big, int events) {
    using bench::figure;
    std::printf("Cost per event as the server grows: %s (API %d) in a %d-bit host, %d timed "
                "events per row, mode and world (%d turns of each world)\n",
                baseName(dll).c_str(), big.apiVersion, static_cast<int>(sizeof(void*) * 8),
                events / kRounds * kRounds, kRounds);
    std::printf("  small: one server, 23 clients, every nickname in the name table\n");
    std::printf("  big: 500 clients (200 in the user's channel) and 200 on a second tab; the "
                "table is full and holds none of the clients the rows drive\n");
    std::printf("  List Channel window open in both (240 x 300; hidden but for its paint); "
                "medians in us; ratio = big / small, of the medians and of the 10th "
                "percentiles (! = %s or more)\n",
                figure(kLimit).c_str());
    std::printf("    %-36s %5s %5s | %8s %8s %6s %6s | %8s %8s %6s %6s\n", "event", "calls",
                "calls", "isolated", "", "", "", "burst", "", "", "");
    std::printf("    %-36s %5s %5s | %8s %8s %6s %6s | %8s %8s %6s %6s\n", "", "small", "big",
                "small", "big", "ratio", "p10", "small", "big", "ratio", "p10");
    int over = 0;
    for (const benchplugin::Row& row : big.rows) {
        const benchplugin::Row* base = counterpart(small, row.name);
        if (!base) continue;
        std::printf("    %-36s %5s %5s | %s | %s\n", row.name.c_str(),
                    figure(base->hostCallsPerEvent).c_str(), figure(row.hostCallsPerEvent).c_str(),
                    columns(base->isolated, row.isolated, over).c_str(),
                    columns(base->burst, row.burst, over).c_str());
    }
    if (over) std::printf("  %d ratio%s at %s or more\n", over, over == 1 ? "" : "s",
                          figure(kLimit).c_str());
    for (const benchplugin::Report* r : {&small, &big})
        if (!r->notes.empty()) std::printf("  note: %s\n", r->notes.c_str());
    std::printf("\n");
    std::fflush(stdout);
    return over;
}

}  // namespace

int main(int argc, char** argv) {
    bench::bufferStdout();
    Options options;
    if (!parse(argc, argv, options)) return 2;
    if (options.dlls.empty()) {
        std::printf("scale_cost: no plugin DLL in %s\n", options.bin.c_str());
        return 1;
    }
    if (FindWindowW(channel::kWindowClass, channel::kWindowTitle)) {
        std::printf("scale_cost: a window titled TALVORI is already open\n");
        return 1;
    }

    // Known settings: the overlay's defaults, and the List Channel window
    // opened at init, opaque so that its paint is the whole story.
    bench::StoredValue config(kDisplayConfigValue);
    bench::StoredValue listChannel(L"ListChannel");
    DisplayConfig defaults;
    resetDisplayConfig(defaults);
    config.store(&defaults, sizeof defaults);
    ListChannelConfig list{255, 0, 0, 1, 0xFFFFFF, 0, 240, 300, 10, 60, 0x0000FF};
    listChannel.store(&list, sizeof list);

    benchplugin::World big;
    big.scenario = widen(options.scenario);
    big.leavesForGood = kCachedCrowdMember;

    int failures = 0;
    for (const std::string& dll : options.dlls) {
        // The worlds take turns, a share of the events each time, so that a
        // change of load on the machine meets both alike.
        benchplugin::Report pooled[2];
        std::string error;
        for (int round = 0; round < kRounds && error.empty(); ++round) {
            for (int w = 0; w < 2 && error.empty(); ++w) {
                benchplugin::Report report;
                {
                    bench::QuietStdout quiet;
                    error = benchplugin::measure(widen(dll), options.bin,
                                                 options.events / kRounds, report,
                                                 w == 0 ? benchplugin::World() : big);
                }
                if (!waitForNoOverlay(10000)) {
                    std::printf("scale_cost: the overlay did not end after the plugin's "
                                "shutdown\n");
                    return 1;
                }
                if (error.empty()) pool(pooled[w], report);
            }
        }
        if (!error.empty()) {
            std::printf("scale_cost: %s: %s\n\n", baseName(dll).c_str(), error.c_str());
            ++failures;
            continue;
        }
        printComparison(dll, pooled[0], pooled[1], options.events);
    }
    return failures ? 1 : 0;
}
