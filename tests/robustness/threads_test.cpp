// Four host threads fire talk, move, leave and join events at the plugin at
// once, while the List Channel window repaints on the thread that started
// the plugin and this test reads both shared areas as the overlay would.
// Nothing may crash or hang, every area must stay terminated and hold only
// whole lines, and what the plugin shows at the end must match the world.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "capture_stdout.h"
#include "display_channel.h"
#include "knobs.h"
#include "plugin_host.h"
#include "unique_handle.h"

namespace robust {
namespace {

constexpr int kThreads = 4;
constexpr int kClientsPerThread = 10;
constexpr uint64 kGames = 20, kQuiet = 30;
const uint64 kChannels[] = {kLobby, kGames, kQuiet};

anyID clientId(int thread, int k) { return static_cast<anyID>(2 + thread * kClientsPerThread + k); }

// Blank-free nicknames of many lengths, so that some speaker names are cut.
std::string nickname(anyID id) {
    static const char kTail[] = "abcdefghijklmnopqrstuvwxyz";
    char name[64];
    std::snprintf(name, sizeof name, "N%02u%.*s", static_cast<unsigned>(id), (id * 7) % 26, kTail);
    return name;
}

// The overlay's view of the channel: both areas and the mutex, opened by name.
class OverlaySide {
public:
    OverlaySide()
        : speakerMapping_(OpenFileMappingW(FILE_MAP_READ, FALSE, channel::kSpeakerAreaName)),
          activityMapping_(OpenFileMappingW(FILE_MAP_READ, FALSE, channel::kActivityAreaName)),
          speaker_(speakerMapping_ ? MapViewOfFile(speakerMapping_.get(), FILE_MAP_READ, 0, 0,
                                                   channel::kSpeakerBytes)
                                   : nullptr),
          activity_(activityMapping_ ? MapViewOfFile(activityMapping_.get(), FILE_MAP_READ, 0, 0,
                                                     channel::kActivityBytes)
                                     : nullptr),
          mutex_(OpenMutexW(SYNCHRONIZE, FALSE, channel::kMutexName)) {}

    bool ready() const { return speaker_ && activity_ && mutex_; }

    // A terminator within the capacity, read without the lock as the paint does.
    bool terminated() const {
        return hasTerminator(speakerText(), channel::kSpeakerUnits) &&
               hasTerminator(activityText(), channel::kActivityUnits);
    }

    // Both lines as they stand between two writes.
    void readLocked(std::wstring* speaker, std::wstring* activity) const {
        WaitForSingleObject(mutex_.get(), INFINITE);
        *speaker = std::wstring(speakerText(), boundedLength(speakerText(), channel::kSpeakerUnits));
        *activity =
            std::wstring(activityText(), boundedLength(activityText(), channel::kActivityUnits));
        ReleaseMutex(mutex_.get());
    }

private:
    const wchar_t* speakerText() const { return static_cast<const wchar_t*>(speaker_.get()); }
    const wchar_t* activityText() const { return static_cast<const wchar_t*>(activity_.get()); }
    static bool hasTerminator(const wchar_t* area, unsigned capacity) {
        for (unsigned i = 0; i < capacity; ++i)
            if (area[i] == L'\0') return true;
        return false;
    }

    UniqueKernelHandle speakerMapping_, activityMapping_;
    UniqueView speaker_, activity_;
    UniqueKernelHandle mutex_;
};

std::vector<std::wstring> words(const std::wstring& line) {
    std::vector<std::wstring> out;
    std::wistringstream in(line);
    for (std::wstring w; in >> w;) out.push_back(w);
    return out;
}

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// Every word of a whole line is a known word or the start of a nickname
// (names are cut to fit); a torn line would mix two words into one.
class LineVocabulary {
public:
    LineVocabulary() {
        for (int t = 0; t < kThreads; ++t)
            for (int k = 0; k < kClientsPerThread; ++k) names_.push_back(wide(nickname(clientId(t, k))));
        names_.push_back(L"Me");
        names_.push_back(L"Unkown");  // the cache's default name, cut like any other
        for (const wchar_t* w : {L"->", L"disconnected", L"DISCONNECTED", L"Lobby",
                                 L"Games", L"Quiet", L"Robust", L"Server"})
            fixed_.insert(w);
    }
    bool knows(const std::wstring& word) const {
        if (fixed_.count(word)) return true;
        for (const std::wstring& n : names_)
            if (n.compare(0, word.size(), word) == 0) return true;
        return false;
    }
    // "" when every word is known, else the first stranger.
    std::wstring stranger(const std::wstring& line) const {
        for (const std::wstring& w : words(line))
            if (!knows(w)) return w;
        return L"";
    }

private:
    std::vector<std::wstring> names_;
    std::set<std::wstring> fixed_;
};

struct Tally {
    std::atomic<long> talks{0}, moves{0}, leaves{0}, joins{0};
    long total() const { return talks + moves + leaves + joins; }
};

// One host thread: owns its clients, so the world it changes stays in step
// with the events it sends (the host changes its state, then tells us).
class EventThread {
public:
    EventThread(PluginHost& host, int index, unsigned seed, DWORD deadline, Tally& tally)
        : host_(host), index_(index), random_(seed), deadline_(deadline), tally_(tally) {
        for (int k = 0; k < kClientsPerThread; ++k) {
            present_[k] = true;
            talking_[k] = false;
            channel_[k] = kChannels[k % 3];
        }
    }

    void run() {
        while (static_cast<LONG>(GetTickCount() - deadline_) < 0) step();
        // Everyone stops talking, so the final speaker line is known: empty.
        for (int k = 0; k < kClientsPerThread; ++k)
            if (talking_[k]) talk(k, false);
        done = true;
    }

    std::atomic<bool> done{false};

private:
    void step() {
        const int k = static_cast<int>(random_() % kClientsPerThread);
        const int action = static_cast<int>(random_() % 10);
        if (!present_[k]) return join(k);
        if (action < 5) return talk(k, !talking_[k]);
        if (action < 9) return move(k);
        leave(k);
    }

    void talk(int k, bool start) {
        talking_[k] = start;
        host_.dll.onTalkStatusChangeEvent(kConnection, start ? 1 : 0, 0, clientId(index_, k));
        ++tally_.talks;
    }

    void move(int k) {
        const uint64 from = channel_[k];
        int at = 0;
        while (kChannels[at] != from) ++at;
        const uint64 to = kChannels[(at + 1 + random_() % 2) % 3];
        channel_[k] = to;
        host_.model.moveClient(kConnection, clientId(index_, k), to);
        host_.dll.onClientMoveEvent(kConnection, clientId(index_, k), from, to, 1, "");
        ++tally_.moves;
    }

    void leave(int k) {
        if (talking_[k]) talk(k, false);
        present_[k] = false;
        host_.model.removeClient(kConnection, clientId(index_, k));
        host_.dll.onClientMoveEvent(kConnection, clientId(index_, k), channel_[k], 0, 2, "bye");
        ++tally_.leaves;
    }

    void join(int k) {
        present_[k] = true;
        channel_[k] = kChannels[random_() % 3];
        host_.model.addClient(kConnection, clientId(index_, k), nickname(clientId(index_, k)),
                              channel_[k]);
        host_.dll.onClientMoveEvent(kConnection, clientId(index_, k), 0, channel_[k], 0, "");
        ++tally_.joins;
    }

    PluginHost& host_;
    int index_;
    std::mt19937 random_;
    DWORD deadline_;
    Tally& tally_;
    bool present_[kClientsPerThread];
    bool talking_[kClientsPerThread];
    uint64 channel_[kClientsPerThread];
};

// " <id> : <nickname> " lines of the "list" command, by client id.
std::vector<std::pair<int, std::string>> listedNames(PluginHost& host) {
    host.model.clearCalls();
    host.dll.processCommand(kConnection, "list");
    std::vector<std::pair<int, std::string>> out;
    for (const hostsim::HostCall& c : host.model.callsTo("printMessageToCurrentTab")) {
        int id = 0;
        char name[80] = "";
        if (std::sscanf(c.text.c_str(), " %d : %79s", &id, name) == 2) out.emplace_back(id, name);
    }
    return out;
}

TEST(ConcurrentEvents, FourHostThreadsNeitherCrashNorTearTheSharedLines) {
    const int seconds = knob("TALVORI_ROBUST_THREAD_SECONDS", 3);
    PluginHost host;
    host.addWorld();
    host.model.addChannel(kConnection, kGames, "Games");
    host.model.addChannel(kConnection, kQuiet, "Quiet");
    for (int t = 0; t < kThreads; ++t)
        for (int k = 0; k < kClientsPerThread; ++k)
            host.model.addClient(kConnection, clientId(t, k), nickname(clientId(t, k)),
                                 kChannels[k % 3]);
    // Moves into and out of the user's channel repaint the List Channel
    // window, whose paint reads the name cache on this thread.
    host.sandbox.putBinary(L"ListChannel", listRecord(true));
    host.overlay = std::make_unique<StandInOverlay>();

    StdoutCapture quiet;  // tens of thousands of trace lines
    std::string why;
    ASSERT_TRUE(host.load(&why)) << why;
    ASSERT_EQ(host.start(), 0);
    host.model.setRecording(false);

    OverlaySide overlay;
    ASSERT_TRUE(overlay.ready());
    LineVocabulary vocabulary;

    Tally tally;
    const DWORD deadline = GetTickCount() + seconds * 1000;
    std::vector<std::unique_ptr<EventThread>> firers;
    std::vector<std::thread> threads;
    const unsigned seed = robust::seed();
    for (int t = 0; t < kThreads; ++t)
        firers.push_back(std::make_unique<EventThread>(host, t, seed + t, deadline, tally));
    for (auto& f : firers) threads.emplace_back([&f] { f->run(); });

    // Meanwhile: answer the List Channel window's messages and read the
    // areas, lock-free as the paint does and under the mutex as the copy does.
    long reads = 0, unterminated = 0;
    std::wstring tornSpeaker, tornActivity;
    auto allDone = [&] {
        for (auto& f : firers)
            if (!f->done) return false;
        return true;
    };
    const DWORD hangLimit = deadline + 20000;
    while (!allDone() && static_cast<LONG>(GetTickCount() - hangLimit) < 0) {
        PluginHost::pump(2);
        if (!overlay.terminated()) ++unterminated;
        std::wstring speaker, activity;
        overlay.readLocked(&speaker, &activity);
        if (tornSpeaker.empty() && !vocabulary.stranger(speaker).empty()) tornSpeaker = speaker;
        if (tornActivity.empty() && !vocabulary.stranger(activity).empty()) tornActivity = activity;
        ++reads;
    }
    const bool finished = allDone();
    if (!finished) {
        std::string lost = quiet.take();
        // Threads blocked for good: the process cannot end cleanly.
        for (auto& t : threads) t.detach();
        FAIL() << "the event threads hung (a lock held across a window message?)";
    }
    for (auto& t : threads) t.join();
    PluginHost::pump(50);

    std::wstring speaker, activity;
    overlay.readLocked(&speaker, &activity);
    host.model.setRecording(true);
    auto listed = listedNames(host);

    // Everyone talks once more on one thread: whatever a race left out of
    // the name cache comes back on the client's next event.
    for (int t = 0; t < kThreads; ++t)
        for (int k = 0; k < kClientsPerThread; ++k)
            if (host.model.client(kConnection, clientId(t, k))) {
                host.dll.onTalkStatusChangeEvent(kConnection, 1, 0, clientId(t, k));
                host.dll.onTalkStatusChangeEvent(kConnection, 0, 0, clientId(t, k));
            }
    auto healed = listedNames(host);
    std::wstring speakerAfter, activityAfter;
    overlay.readLocked(&speakerAfter, &activityAfter);

    host.stop();
    host.unload();
    std::string printed = quiet.take();

    std::printf("[ figures  ] %d threads, %d s (seed %u): %ld events (%ld talk, %ld move, "
                "%ld leave, %ld join), %ld area reads\n",
                kThreads, seconds, seed, tally.total(), tally.talks.load(), tally.moves.load(),
                tally.leaves.load(), tally.joins.load(), reads);
    EXPECT_GT(tally.total(), 100 * seconds);
    EXPECT_EQ(unterminated, 0) << "an area was read without a terminator in it";
    EXPECT_EQ(tornSpeaker, L"") << "a speaker line that no write produced";
    EXPECT_EQ(tornActivity, L"") << "an activity line that no write produced";
    EXPECT_EQ(speaker, L"") << "nobody talks any more, yet a line stayed";
    EXPECT_EQ(speakerAfter, L"");

    // "list" names clients from the cache alone: a client it names must
    // carry its own nickname; after the last round every present client does.
    for (const auto& [id, name] : listed)
        EXPECT_TRUE(name == nickname(static_cast<anyID>(id)) || name == "Unkown" || id == 1)
            << id << " listed as " << name;
    size_t present = 0;
    for (const auto& [id, name] : healed) {
        ++present;
        if (id == kOwnClient) continue;
        EXPECT_EQ(name, nickname(static_cast<anyID>(id))) << "client " << id;
    }
    EXPECT_GT(present, 0u);
    EXPECT_EQ(host.model.outstandingBlocks(), 0u) << "host strings or lists never released";
    EXPECT_EQ(host.model.badFrees(), 0u);
}

// Another process of the session holds the display mutex (or an overlay
// hangs while holding it): no event may wait for it beyond its bound, and
// what could not be written shows once the holder lets go, without a
// further event. The activity area read here is all an older overlay
// program reads.
TEST(ConcurrentEvents, AHeldDisplayMutexNeitherStallsEventsNorLosesTheirLines) {
    PluginHost host;
    host.addWorld();
    host.model.addClient(kConnection, 2, "Alice", kLobby);
    host.sandbox.putBinary(L"ListChannel", listRecord(false));
    host.overlay = std::make_unique<StandInOverlay>();
    std::string why;
    ASSERT_TRUE(host.load(&why)) << why;
    ASSERT_EQ(host.start(), 0);
    OverlaySide overlay;
    ASSERT_TRUE(overlay.ready());

    // The holder lets go when told, or after 8 s: long enough to tell a
    // bounded wait from one that waits for the holder.
    HANDLE letGo = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, channel::kMutexName));
        WaitForSingleObject(mutex.get(), INFINITE);
        SetEvent(held);
        WaitForSingleObject(letGo, 8000);
        ReleaseMutex(mutex.get());
    });
    ASSERT_EQ(WaitForSingleObject(held, 5000), WAIT_OBJECT_0);

    DWORD start = GetTickCount();
    host.dll.onTalkStatusChangeEvent(kConnection, 1, 0, 2);
    const DWORD talkTook = GetTickCount() - start;
    host.model.addClient(kConnection, 3, "Bob", kLobby);
    start = GetTickCount();
    host.dll.onClientMoveEvent(kConnection, 3, 0, kLobby, 0, "");
    const DWORD moveTook = GetTickCount() - start;
    SetEvent(letGo);
    holder.join();
    CloseHandle(letGo);
    CloseHandle(held);
    EXPECT_LT(talkTook, 2000u) << "a talk event waited for the holder";
    EXPECT_LT(moveTook, 2000u) << "a move event waited for the holder";

    std::wstring speaker, activity;
    auto written = [&] {
        overlay.readLocked(&speaker, &activity);
        return speaker.find(L"Alice") != std::wstring::npos && activity == L"Bob -> Lobby ";
    };
    const DWORD deadline = GetTickCount() + 3000;
    while (!written() && static_cast<LONG>(GetTickCount() - deadline) < 0) PluginHost::pump(20);
    EXPECT_NE(speaker.find(L"Alice"), std::wstring::npos) << "the speaker line was lost";
    EXPECT_EQ(activity, L"Bob -> Lobby ");
    EXPECT_TRUE(host.overlay->waitForCode(DISPLAY_ACTIVITY_POSTED, 3000))
        << "the overlay was never told about the line";
    host.stop();
}

// Events still running while the host shuts the plugin down: none may
// write into a view shutdown has unmapped (the host would crash), and the
// overlay program the plugin started must be gone every time.
TEST(ConcurrentEvents, ShutdownWhileFourThreadsSendEventsCrashesNothingAndEndsTheOverlay) {
    const int cycles = knob("TALVORI_ROBUST_SHUTDOWN_CYCLES", 5);
    PluginHost host;
    host.addWorld();
    host.model.addChannel(kConnection, kGames, "Games");
    for (int t = 0; t < kThreads; ++t)
        host.model.addClient(kConnection, clientId(t, 0), nickname(clientId(t, 0)), kLobby);
    host.sandbox.putBinary(L"ListChannel", listRecord(false));
    host.model.pluginPath = binFolder();  // the real overlay program
    host.model.setRecording(false);
    std::string why;
    ASSERT_TRUE(host.load(&why)) << why;
    // Checked after the loop: its trace lines are swallowed, and so would
    // be a failure reported inside it.
    std::vector<std::string> faults;
    int done = 0;
    {
        StdoutCapture quiet;
        const DWORD limit = GetTickCount() + 40000;
        for (; done < cycles && static_cast<LONG>(GetTickCount() - limit) < 0; ++done) {
            const std::string cycle = "cycle " + std::to_string(done) + ": ";
            if (host.start() != 0) {
                faults.push_back(cycle + "init failed");
                break;
            }
            HWND window = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));

            std::atomic<bool> stop{false};
            std::atomic<long> events{0};
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreads; ++t)
                threads.emplace_back([&, t] {
                    const anyID c = clientId(t, 0);
                    for (int i = 0; !stop; ++i) {
                        host.dll.onTalkStatusChangeEvent(kConnection, i % 2 == 0 ? 1 : 0, 0, c);
                        const uint64 to = i % 2 == 0 ? kGames : kLobby;
                        host.model.moveClient(kConnection, c, to);
                        host.dll.onClientMoveEvent(kConnection, c, to == kGames ? kLobby : kGames,
                                                   to, 0, "");
                        ++events;
                    }
                });
            while (events < 40) Sleep(1);
            host.stop();  // while the threads go on
            stop = true;
            for (std::thread& t : threads) t.join();
            if (!process)
                faults.push_back(cycle + "no overlay program found");
            else if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0)
                faults.push_back(cycle + "the overlay program is still running");
        }
    }
    host.unload();
    EXPECT_EQ(faults, std::vector<std::string>{});
    EXPECT_GE(done, 2) << "too few cycles to tell";
}

}  // namespace
}  // namespace robust
