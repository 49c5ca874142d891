#pragma once
// One plugin DLL under measurement: the simulated host's world, the event
// kinds the host delivers most, and their timing.
#include <string>
#include <vector>

#include "bench_stats.h"
#include "host_types.h"

namespace benchplugin {

inline constexpr int kEmptyBatch = 100;  // empty export calls per timed sample

struct Row {
    std::string name;
    double hostCallsPerEvent = 0;
    // us per event, the host model's call record switched off
    bench::Samples isolated;  // each event alone, the system idle before it
    bench::Samples burst;     // events back to back
};

struct Report {
    int apiVersion = 0;
    std::string overlay;       // what received the plugin's notifications
    double timerFloor = 0;     // median of two back-to-back counter reads, us
    double emptyCall = 0;      // median cost of one empty export call, us
    double emptySingle = 0;    // median of one empty call between two reads, us
    // Median of an uncontended mutex wait + release, us: after a pause, and
    // right after the previous pair.
    double mutexPairIdle = 0;
    double mutexPairBusy = 0;
    double recordCost = 0;     // what keeping one host call in the model's record adds, us
    std::vector<Row> rows;
    std::string notes;         // host-model findings after shutdown, if any
};

// The host's world of a measurement. By default plugin_cost's: one server,
// two channels, 23 clients, every nickname cached before timing.
struct World {
    // A scenario file whose world commands make the host's world instead. It
    // holds the cast the rows drive, with their ids (see plugin_session.cpp).
    std::wstring scenario;
    // A client who leaves the server for good after the arrival row, so that
    // the next row times arrivals that find a free place in a full name
    // table (0: no such row).
    anyID leavesForGood = 0;
};

// Loads the DLL, starts it against the simulated host (its init starts the
// real overlay program from `bin`), times `events` events of each kind (only
// the talk rows with `talkRowsOnly`), and stops it. When the settings open
// the List Channel window at init, its paint is timed too. An empty result
// means success.
std::string measure(const std::wstring& dllPath, const std::string& bin, int events,
                    Report& report, const World& world = World(), bool talkRowsOnly = false);

// What the plugin benchmarks share around a measurement.
std::wstring widen(const std::string& s);
// A Unix path from the build as Wine shows it (drive Z:); others unchanged.
std::string windowsPath(const std::string& unixPath);
std::string baseName(const std::string& path);
// The plugin DLLs this tree builds that are in `bin`: the API-8 plugin is
// 32-bit only; the API-26 plugin exists in both bitnesses.
std::vector<std::string> treeDlls(const std::string& bin);
// Waits until no overlay window is left (the previous session's program
// quits); false after `timeoutMs`.
bool waitForNoOverlay(unsigned long timeoutMs);

}  // namespace benchplugin
