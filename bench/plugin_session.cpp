#include "plugin_session.h"

#include <windows.h>

#include <cstdio>

#include "display_channel.h"
#include "host_model.h"
#include "plugin_dll.h"
#include "world.h"

namespace benchplugin {

namespace {

// The cast; a scenario world (World::scenario) holds them with these ids.
constexpr uint64 kConnection = 1;
constexpr uint64 kLobby = 1;     // the user's channel
constexpr uint64 kUpstairs = 2;
constexpr anyID kMe = 1;
constexpr anyID kFirstSpeaker = 10;
constexpr anyID kWanderer = 40;  // moves between the two channels
constexpr anyID kPasserBy = 41;  // arrives and leaves the server
constexpr int kStatusStops = 0;
constexpr int kStatusStarts = 1;
constexpr int kEnterVisibility = 0;
constexpr int kLeaveVisibility = 2;
constexpr int kWarmUp = 200;
constexpr int kCountedEvents = 100;
constexpr DWORD kIdleMs = 1;      // pause before an isolated event
constexpr int kBurstLength = 50;  // events in a burst before the overlay catches up

// Nicknames of ordinary length and mixed width; with 20 of them the line no
// longer fits the default 240 pixels, so names get cut to the budget.
const char* const kSpeakerNames[20] = {
    "Alice",      "Bob",         "Charlotte", "Dmitri",   "Eleanor_92",
    "Fitzgerald", "Gwen",        "Hiroshi",   "Isabella", "Jean-Baptiste",
    "Kasia",      "Leonardo",    "Marguerite", "Nikolai", "Olivia",
    "P\xC3\xA1" "draig", "Quentin", "Rosalind", "S\xC3\xB8ren", "Th\xC3\xA9odore",
};

class Session {
public:
    Session(hostsim::HostModel& model, hostsim::PluginDll& dll, int events)
        : model_(model), dll_(dll), events_(events) {}

    void findOverlay() { overlay_ = FindWindowW(channel::kWindowClass, channel::kWindowTitle); }
    HWND overlay() const { return overlay_; }

    // Returns once the overlay has handled every notification sent so far.
    void settle() {
        DWORD_PTR ignored = 0;
        if (overlay_) SendMessageTimeoutW(overlay_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    }

    template <typename Before, typename Event>
    Row row(const char* name, Before before, Event event) {
        Row row;
        row.name = name;
        model_.setRecording(false);
        for (int i = 0; i < kWarmUp; ++i) {
            before();
            event();
        }
        settle();
        // How many host calls an event makes, from a short recorded pass.
        model_.setRecording(true);
        model_.clearCalls();
        size_t calls = 0;
        for (int i = 0; i < kCountedEvents; ++i) {
            before();
            const size_t recordedBefore = model_.calls().size();
            event();
            calls += model_.calls().size() - recordedBefore;
            settle();
        }
        row.hostCallsPerEvent = static_cast<double>(calls) / kCountedEvents;
        model_.setRecording(false);
        model_.clearCalls();

        // Isolated: the event comes to an idle system, as host events that
        // come far apart do. Under Wine every wineserver round trip then
        // costs more than while the system is busy, hence the second mode.
        row.isolated.reserve(events_);
        for (int i = 0; i < events_; ++i) {
            before();
            settle();
            Sleep(kIdleMs);
            const LONGLONG t0 = bench::now();
            event();
            const LONGLONG t1 = bench::now();
            row.isolated.add(bench::microseconds(t0, t1));
            settle();
        }
        // In a burst: events back to back, the overlay still busy with the
        // ones before (let catch up now and then, so its backlog stays small).
        row.burst.reserve(events_);
        for (int i = 0; i < events_; ++i) {
            before();
            const LONGLONG t0 = bench::now();
            event();
            const LONGLONG t1 = bench::now();
            row.burst.add(bench::microseconds(t0, t1));
            if ((i + 1) % kBurstLength == 0) settle();
        }
        settle();
        return row;
    }

    // The yardsticks of the run. One empty export call is below the
    // counter's tick, so each of its samples times a batch.
    void baselines(Report& report) {
        bench::Samples batched, single, floor;
        for (int i = 0; i < events_; ++i) {
            LONGLONG t0 = bench::now();
            for (int k = 0; k < kEmptyBatch; ++k) dll_.onServerUpdatedEvent(kConnection);
            LONGLONG t1 = bench::now();
            batched.add(bench::microseconds(t0, t1) / kEmptyBatch);
            t0 = bench::now();
            dll_.onServerUpdatedEvent(kConnection);
            t1 = bench::now();
            single.add(bench::microseconds(t0, t1));
            t0 = bench::now();
            t1 = bench::now();
            floor.add(bench::microseconds(t0, t1));
        }
        report.emptyCall = batched.median();
        report.emptySingle = single.median();
        report.timerFloor = floor.median();

        // What the plugin's own locking costs on this system, in both modes:
        // under Wine each wait and each release is a round trip to the
        // wineserver.
        bench::Samples idlePair, busyPair;
        HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
        for (int i = 0; mutex && i < events_ / 10; ++i) {
            Sleep(kIdleMs);
            LONGLONG t0 = bench::now();
            WaitForSingleObject(mutex, INFINITE);
            ReleaseMutex(mutex);
            idlePair.add(bench::microseconds(t0, bench::now()));
            t0 = bench::now();
            WaitForSingleObject(mutex, INFINITE);
            ReleaseMutex(mutex);
            busyPair.add(bench::microseconds(t0, bench::now()));
        }
        if (mutex) CloseHandle(mutex);
        report.mutexPairIdle = idlePair.median();
        report.mutexPairBusy = busyPair.median();

        report.recordCost = recordCost();
    }

private:
    // One host call through the table with the model keeping its record,
    // less the same call without: the record's price per call.
    double recordCost() {
        const HostFunctions table = hostsim::HostModel::table();
        bench::Samples with, without;
        anyID id = 0;
        for (int i = 0; i < events_; ++i) {
            model_.setRecording(true);
            LONGLONG t0 = bench::now();
            for (int k = 0; k < kEmptyBatch; ++k) table.getClientID(kConnection, &id);
            with.add(bench::microseconds(t0, bench::now()) / kEmptyBatch);
            model_.setRecording(false);
            t0 = bench::now();
            for (int k = 0; k < kEmptyBatch; ++k) table.getClientID(kConnection, &id);
            without.add(bench::microseconds(t0, bench::now()) / kEmptyBatch);
            if ((i + 1) % 10 == 0) model_.clearCalls();
        }
        model_.clearCalls();
        return with.median() - without.median();
    }

    hostsim::HostModel& model_;
    hostsim::PluginDll& dll_;
    int events_;
    HWND overlay_ = nullptr;
};

// This process's List Channel window, which the plugin's init opens when the
// settings say so.
HWND ownListWindow() {
    struct Search {
        static BOOL CALLBACK next(HWND window, LPARAM found) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            wchar_t cls[32] = L"";
            GetClassNameW(window, cls, 32);
            if (pid != GetCurrentProcessId() || lstrcmpW(cls, L"ListChannel") != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
    };
    HWND found = nullptr;
    EnumWindows(Search::next, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string buildWorld(hostsim::HostModel& model, const std::string& bin, const World& world) {
    model.pluginPath = bin;
    if (!world.scenario.empty()) {
        std::string error;
        if (!hostsim::loadWorld(model, world.scenario, &error)) return "world: " + error;
        if (!model.client(kConnection, kPasserBy) || !model.client(kConnection, kWanderer))
            return "world: the scenario lacks the benchmark's cast";
        return "";
    }
    model.addConnection(kConnection, "Benchmark server", kMe);
    model.addChannel(kConnection, kLobby, "Lobby");
    model.addChannel(kConnection, kUpstairs, "Upstairs");
    model.addClient(kConnection, kMe, "Me", kLobby);
    for (int i = 0; i < 20; ++i)
        model.addClient(kConnection, static_cast<anyID>(kFirstSpeaker + i), kSpeakerNames[i],
                        kLobby);
    model.addClient(kConnection, kWanderer, "Wanderer", kUpstairs);
    model.addClient(kConnection, kPasserBy, "Passer-by", kLobby);
    model.activeConnection = kConnection;
    return "";
}

// Talk events with `speakers` names on the line: the others keep talking
// while the last one stops (untimed) and starts again (timed).
Row talkRow(Session& session, hostsim::PluginDll& dll, int speakers) {
    for (int i = 0; i < 20; ++i)
        dll.onTalkStatusChangeEvent(kConnection, kStatusStops, 0,
                                    static_cast<anyID>(kFirstSpeaker + i));
    for (int i = 0; i + 1 < speakers; ++i)
        dll.onTalkStatusChangeEvent(kConnection, kStatusStarts, 0,
                                    static_cast<anyID>(kFirstSpeaker + i));
    const anyID last = static_cast<anyID>(kFirstSpeaker + speakers - 1);
    char name[64];
    std::snprintf(name, sizeof name, "talk start, %d speaker%s on the line", speakers,
                  speakers == 1 ? "" : "s");
    return session.row(
        name, [&] { dll.onTalkStatusChangeEvent(kConnection, kStatusStops, 0, last); },
        [&] { dll.onTalkStatusChangeEvent(kConnection, kStatusStarts, 0, last); });
}

}  // namespace

std::string measure(const std::wstring& dllPath, const std::string& bin, int events,
                    Report& report, const World& world, bool talkRowsOnly) {
    hostsim::HostModel model;  // outlives the DLL: the plugin frees into it until unloaded
    model.install();
    const std::string worldError = buildWorld(model, bin, world);
    if (!worldError.empty()) return worldError;

    hostsim::PluginDll dll;
    // Level 0: the DLL is taken at the API level it declares.
    if (!dll.load(dllPath, 0))
        return "LoadLibrary failed (" + std::to_string(dll.loadError()) + ")";
    if (!dll.complete()) return "the DLL lacks exports (" + dll.missingExports().front() + ")";
    report.apiVersion = dll.api();
    dll.setHostTable();
    dll.registerId("talvori-bench");  // a client may hand the id over before init
    if (int rc = dll.init()) return "ts3plugin_init returned " + std::to_string(rc);

    Session session(model, dll, events);
    session.findOverlay();
    if (!session.overlay()) {
        dll.shutdown();
        return "no overlay window after init";
    }
    DWORD overlayPid = 0;
    GetWindowThreadProcessId(session.overlay(), &overlayPid);
    report.overlay = "the real TALVORI.exe, started by the plugin's init (process " +
                     std::to_string(overlayPid) + ")";

    // An open List Channel window is hidden while the events are timed, so
    // that their rows are the events' own cost, as with the window off; it
    // shows again for a row of its own.
    const HWND list = ownListWindow();
    if (list) ShowWindow(list, SW_HIDE);

    session.baselines(report);
    for (int speakers : {1, 5, 20}) report.rows.push_back(talkRow(session, dll, speakers));
    for (int i = 0; i < 20; ++i)
        dll.onTalkStatusChangeEvent(kConnection, kStatusStops, 0,
                                    static_cast<anyID>(kFirstSpeaker + i));
    if (talkRowsOnly) {
        dll.shutdown();
        dll.unload();
        return "";
    }

    uint64 wandererFrom = kUpstairs, wandererTo = kLobby;
    report.rows.push_back(session.row(
        "move (Upstairs <-> Lobby)",
        [&] {
            std::swap(wandererFrom, wandererTo);
            model.moveClient(kConnection, kWanderer, wandererTo);
        },
        [&] { dll.onClientMoveEvent(kConnection, kWanderer, wandererFrom, wandererTo,
                                    kEnterVisibility, ""); }));

    auto arrive = [&] {
        if (!model.client(kConnection, kPasserBy))
            model.addClient(kConnection, kPasserBy, "Passer-by", kLobby);
        dll.onClientMoveEvent(kConnection, kPasserBy, 0, kLobby, kEnterVisibility, "");
    };
    auto leave = [&] {
        dll.onClientMoveEvent(kConnection, kPasserBy, kLobby, 0, kLeaveVisibility, "leaving");
    };
    report.rows.push_back(session.row(
        "leave the server", arrive, leave));
    report.rows.push_back(session.row(
        "arrival (nickname not cached yet)",
        [&] {
            leave();
            model.removeClient(kConnection, kPasserBy);
            model.addClient(kConnection, kPasserBy, "Passer-by", kLobby);
        },
        [&] { dll.onClientMoveEvent(kConnection, kPasserBy, 0, kLobby, kEnterVisibility, ""); }));

    if (world.leavesForGood) {
        // One place of the table comes free; the passer-by takes it at every
        // arrival and gives it back at every leave, and each arrival purges
        // the table against the server's whole client list. The leaver comes
        // to the user's channel first: with only-my-channel on, a client who
        // leaves from elsewhere keeps his entry.
        uint64 channel = 0;
        if (hostsim::SimClient* gone = model.client(kConnection, world.leavesForGood))
            channel = gone->channel;
        model.moveClient(kConnection, world.leavesForGood, kLobby);
        dll.onClientMoveEvent(kConnection, world.leavesForGood, channel, kLobby, 1, "");
        model.removeClient(kConnection, world.leavesForGood);
        dll.onClientMoveEvent(kConnection, world.leavesForGood, kLobby, 0, kLeaveVisibility, "");
        report.rows.push_back(session.row(
            "arrival, a free place in the table",
            [&] {
                leave();
                model.removeClient(kConnection, kPasserBy);
                model.addClient(kConnection, kPasserBy, "Passer-by", kLobby);
            },
            [&] {
                dll.onClientMoveEvent(kConnection, kPasserBy, 0, kLobby, kEnterVisibility, "");
            }));
    }

    report.rows.push_back(session.row(
        "selectConnection (tab switch)", [] {},
        [&] { dll.currentServerConnectionChanged(kConnection); }));

    // The whole window, painted at once on this thread (which created it), as
    // the plugin's own refresh does.
    if (list) {
        ShowWindow(list, SW_SHOWNA);
        report.rows.push_back(session.row("List Channel paint", [] {}, [&] {
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }));
    }

    dll.shutdown();
    dll.unload();
    if (model.badFrees() || model.outstandingBlocks())
        report.notes = "host model after shutdown: " + std::to_string(model.outstandingBlocks()) +
                       " blocks not freed, " + std::to_string(model.badFrees()) + " bad frees";
    return "";
}

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string windowsPath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/') return unixPath;
    std::string out = "Z:";
    for (char c : unixPath) out += (c == '/') ? '\\' : c;
    return out;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> treeDlls(const std::string& bin) {
    const char* names[] = {
#ifdef _WIN64
        "TALVOR_plugin_win64.dll",
#else
        "TALVOR_plugin.dll",
        "TALVOR_plugin_win32.dll",
#endif
    };
    std::vector<std::string> out;
    for (const char* name : names) {
        std::string path = bin + "\\" + name;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) out.push_back(path);
    }
    return out;
}

bool waitForNoOverlay(unsigned long timeoutMs) {
    const DWORD start = GetTickCount();
    while (FindWindowW(channel::kWindowClass, channel::kWindowTitle)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace benchplugin
