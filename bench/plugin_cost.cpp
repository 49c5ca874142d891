// What one host event costs the host thread that delivers it: the real
// plugin DLL loaded in-process the way the voice client loads it, the host
// simulator behind its function table, and the real TALVORI.exe (started by
// the plugin's own init) receiving its notifications. Every nickname is
// cached before timing starts, so the figures are the plugin's steady state.
//
// Usage: plugin_cost [--events N] [--bin <folder>] [--before <folder>]
//                    [--rounds N] [dll ...]
// Without DLLs it measures every plugin DLL of this tree found in the folder.
// With --before, each DLL is measured against the DLL of the same name in a
// previous release's folder (started with the TALVORI.exe there), every
// row, in alternating sessions (--rounds of them each, 4 unless told).
//
// Each DLL's talk rows are then measured again, in sessions alternating
// with its baseline twin, built for this benchmark only, which writes the
// speaker line into the shared area after every name as the plugin did
// before; the figures are printed as ratios to it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "display_channel.h"
#include "display_config.h"
#include "plugin_session.h"
#include "quiet_stdout.h"
#include "stored_value.h"

namespace {

using benchplugin::baseName;
using benchplugin::treeDlls;
using benchplugin::waitForNoOverlay;
using benchplugin::widen;
using benchplugin::windowsPath;

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The twin of a plugin DLL that writes the speaker line name by name.
std::string baselineTwin(const std::string& dll) {
    std::string name = baseName(dll);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return windowsPath(TALVORI_BENCH_BASELINE_DIR) + "\\" + name + "_write_each_name.dll";
}

struct Options {
    int events = 10000;
    std::string bin = windowsPath(TALVORI_BENCH_BIN_DIR);
    std::vector<std::string> dlls;
    std::string before;  // a previous release's folder, or empty
    int rounds = 4;      // sessions of each side against the previous release
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--events") && i + 1 < argc) {
            options.events = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--bin") && i + 1 < argc) {
            options.bin = windowsPath(argv[++i]);
        } else if (!std::strcmp(argv[i], "--before") && i + 1 < argc) {
            options.before = windowsPath(argv[++i]);
        } else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) {
            options.rounds = std::atoi(argv[++i]);
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: plugin_cost [--events N] [--bin folder] "
                                 "[--before folder] [--rounds N] [dll ...]\n");
            return false;
        } else {
            options.dlls.push_back(windowsPath(argv[i]));
        }
    }
    if (options.events < 100) options.events = 100;
    if (options.rounds < 1) options.rounds = 1;
    if (options.dlls.empty()) options.dlls = treeDlls(options.bin);
    return true;
}

void printTable(const char* title, const benchplugin::Report& report,
                bench::Samples benchplugin::Row::*mode) {
    using bench::figure;
    std::printf("  %s\n", title);
    std::printf("    %-36s %5s | %9s %9s | %9s %9s | %7s\n", "event", "calls", "median us",
                "p99 us", "x empty", "p99 x", "record");
    for (const benchplugin::Row& row : report.rows) {
        const bench::Samples& samples = row.*mode;
        const double median = samples.median();
        const double p99 = samples.percentile(99);
        const double share =
            median > 0 ? 100.0 * row.hostCallsPerEvent * report.recordCost / median : 0;
        std::printf("    %-36s %5s | %9s %9s | %9s %9s | %6s%%\n", row.name.c_str(),
                    figure(row.hostCallsPerEvent).c_str(), figure(median).c_str(),
                    figure(p99).c_str(), figure(median / report.emptyCall).c_str(),
                    figure(p99 / report.emptyCall).c_str(), figure(share).c_str());
    }
}

void printReport(const std::string& dll, const benchplugin::Report& report, int events) {
    using bench::figure;
    std::printf("Plugin cost per event: %s (API %d) in a %d-bit host, %d timed events per row "
                "and mode\n",
                baseName(dll).c_str(), report.apiVersion, static_cast<int>(sizeof(void*) * 8),
                events);
    std::printf("  notifications go to %s\n", report.overlay.c_str());
    std::printf("  QueryPerformanceCounter: tick %s us, two back-to-back reads %s us (median)\n",
                figure(bench::tickMicroseconds()).c_str(), figure(report.timerFloor).c_str());
    std::printf("  empty export ts3plugin_onServerUpdatedEvent: %s ns per call (median of %d "
                "batches of %d calls; one call alone between two reads: %s us)\n",
                figure(report.emptyCall * 1000).c_str(), events, benchplugin::kEmptyBatch,
                figure(report.emptySingle).c_str());
    std::printf("  for scale: an uncontended mutex wait + release (each write of a shared area "
                "takes one) costs %s us after a pause, %s us right after another (medians)\n",
                figure(report.mutexPairIdle).c_str(), figure(report.mutexPairBusy).c_str());
    std::printf("  keeping one host call in the host model's record (cleared every 1000 calls) "
                "costs %s us; events are timed with the record off, and 'record' is the share "
                "of the median it would add\n",
                figure(report.recordCost).c_str());
    std::printf("  calls = host function calls per event; x empty = figure / the empty call's "
                "median\n");
    printTable("isolated: each event alone, after the overlay has handled the one before and "
               "a 1 ms pause",
               report, &benchplugin::Row::isolated);
    printTable("in a burst: events back to back", report, &benchplugin::Row::burst);
    if (!report.notes.empty()) std::printf("  note: %s\n", report.notes.c_str());
    std::printf("\n");
    std::fflush(stdout);
}

const benchplugin::Row* rowNamed(const benchplugin::Report& report, const std::string& name) {
    for (const benchplugin::Row& row : report.rows)
        if (row.name == name) return &row;
    return nullptr;
}

// Adds the samples of `part` to the rows of the same name in `into`.
void merge(benchplugin::Report& into, const benchplugin::Report& part) {
    for (const benchplugin::Row& row : part.rows) {
        benchplugin::Row* same = nullptr;
        for (benchplugin::Row& r : into.rows)
            if (r.name == row.name) same = &r;
        if (!same) {
            into.rows.push_back(row);
            continue;
        }
        same->isolated.append(row.isolated);
        same->burst.append(row.burst);
    }
}

// One side of a comparison: a plugin DLL and the folder its overlay is
// started from.
struct Side {
    std::string dll;
    std::string bin;
};

// The rows of two DLLs in alternating sessions, the order turned every
// round (this, other, other, this, ...), so that a change of the machine's
// load during the run weighs on both alike. An empty result means success.
std::string compareSessions(const Side& mine, const Side& other, int events, int rounds,
                            bool talkRowsOnly, benchplugin::Report& now,
                            benchplugin::Report& before) {
    for (int round = 0; round < rounds; ++round) {
        for (int step = 0; step < 2; ++step) {
            const bool isMine = (step == 0) == (round % 2 == 0);
            const Side& side = isMine ? mine : other;
            benchplugin::Report part;
            std::string error;
            {
                bench::QuietStdout quiet;
                error = benchplugin::measure(widen(side.dll), side.bin, events / rounds, part,
                                             benchplugin::World(), talkRowsOnly);
            }
            if (!error.empty()) return baseName(side.dll) + ": " + error;
            if (!waitForNoOverlay(10000))
                return "the overlay did not end after the plugin's shutdown";
            merge(isMine ? now : before, part);
        }
    }
    return "";
}

void printRatios(const char* other, const benchplugin::Report& now,
                 const benchplugin::Report& before) {
    using bench::figure;
    std::printf("    %-36s | %9s %9s %7s | %9s %9s %7s\n", "event", "isolated", other, "ratio",
                "burst", other, "ratio");
    for (const benchplugin::Row& row : now.rows) {
        const benchplugin::Row* old = rowNamed(before, row.name);
        if (!old) continue;
        const double isolated = row.isolated.median(), isolatedOld = old->isolated.median();
        const double burst = row.burst.median(), burstOld = old->burst.median();
        std::printf("    %-36s | %9s %9s %7s | %9s %9s %7s\n", row.name.c_str(),
                    figure(isolated).c_str(), figure(isolatedOld).c_str(),
                    figure(isolatedOld > 0 ? isolated / isolatedOld : 0).c_str(),
                    figure(burst).c_str(), figure(burstOld).c_str(),
                    figure(burstOld > 0 ? burst / burstOld : 0).c_str());
    }
    std::printf("\n");
    std::fflush(stdout);
}

// The talk rows against the twin: what writing the line once saves.
constexpr int kTwinRounds = 2;

std::string compareWithTwin(const std::string& dll, const std::string& twin,
                            const Options& options) {
    benchplugin::Report now, before;
    const std::string error = compareSessions({dll, options.bin}, {twin, options.bin},
                                              options.events, kTwinRounds, true, now, before);
    if (!error.empty()) return error;
    std::printf("  one write per talk event, against %s (the line written after every name, "
                "one take of the mutex each), %d events per row and mode each, in alternating "
                "sessions: median us, and this DLL / the twin (1 speaker is written once "
                "either way: its ratio is the run's noise)\n",
                baseName(twin).c_str(), options.events);
    printRatios("twin", now, before);
    return "";
}

// Every row against a previous release, each with its own overlay, in more
// rounds than for the twin: the two programs' sessions differ more, and a
// single pair of sessions swings with the order they ran in. Under
// emulation a whole session's isolated figures move by a third at times
// (where its threads happen to run), so more rounds are what settles them.

std::string compareWithRelease(const std::string& dll, const Options& options) {
    const std::string previous = options.before + "\\" + baseName(dll);
    if (!fileExists(previous)) {
        std::printf("  no %s in %s to compare with\n\n", baseName(dll).c_str(),
                    options.before.c_str());
        return "";
    }
    benchplugin::Report now, before;
    const std::string error =
        compareSessions({dll, options.bin}, {previous, options.before}, options.events,
                        options.rounds, false, now, before);
    if (!error.empty()) return error;
    std::printf("  against the previous release's %s (with the TALVORI.exe beside it in %s), "
                "%d events per row and mode each, in %d sessions each, alternating: median "
                "us, and this DLL / the previous one\n",
                baseName(dll).c_str(), options.before.c_str(), options.events,
                options.rounds);
    printRatios("before", now, before);
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    bench::bufferStdout();
    Options options;
    if (!parse(argc, argv, options)) return 2;
    if (options.dlls.empty()) {
        std::printf("plugin_cost: no plugin DLL in %s\n", options.bin.c_str());
        return 1;
    }
    if (FindWindowW(channel::kWindowClass, channel::kWindowTitle)) {
        std::printf("plugin_cost: a window titled TALVORI is already open; it would take the "
                    "overlay's place and falsify the figures\n");
        return 1;
    }

    // Known settings: the defaults (width 240, only my channel on, List
    // Channel window off); the user's own come back afterwards.
    bench::StoredValue config(kDisplayConfigValue);
    bench::StoredValue listChannel(L"ListChannel");
    DisplayConfig defaults;
    resetDisplayConfig(defaults);
    config.store(&defaults, sizeof defaults);
    listChannel.erase();

    int failures = 0;
    for (const std::string& dll : options.dlls) {
        benchplugin::Report report;
        std::string error;
        {
            bench::QuietStdout quiet;
            error = benchplugin::measure(widen(dll), options.bin, options.events, report);
        }
        if (!error.empty()) {
            std::printf("plugin_cost: %s: %s\n\n", baseName(dll).c_str(), error.c_str());
            ++failures;
        } else {
            printReport(dll, report, options.events);
        }
        if (!waitForNoOverlay(10000)) {
            std::printf("plugin_cost: the overlay did not end after the plugin's shutdown\n");
            return 1;
        }
        if (!error.empty()) continue;
        const std::string twin = baselineTwin(dll);
        if (fileExists(twin)) error = compareWithTwin(dll, twin, options);
        if (error.empty() && !options.before.empty()) error = compareWithRelease(dll, options);
        if (!error.empty()) {
            std::printf("plugin_cost: %s\n\n", error.c_str());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
