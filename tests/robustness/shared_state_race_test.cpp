// The name cache and the speaker slots driven from four threads at once,
// inside this program and without windows or text measurement, so that a
// race between two host threads shows within a second rather than once in a
// long while: a freed name read, an entry lost or doubled, a speaker stuck
// on the line after everybody stopped.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "capture_stdout.h"
#include "chat_commands.h"
#include "display_channel.h"
#include "display_link.h"
#include "globals.h"
#include "host_adapter8.h"
#include "host_model.h"
#include "knobs.h"
#include "live_display_config.h"
#include "name_cache.h"
#include "registry_sandbox.h"
#include "speaker_line.h"
#include "text_fit.h"

namespace robust {
namespace {

constexpr int kThreads = 4;
constexpr uint64 kMain = 1, kSecond = 2;
constexpr anyID kFirstClient = 2, kLastClient = 41;  // present on the main server
constexpr anyID kAbsent = 45;                        // 42..45: the host knows no such client

std::string nicknameOf(uint64 connection, anyID id) {
    return (connection == kMain ? "Main" : "Second") + std::to_string(id) +
           std::string(id % 13, 'x');
}

// Ten pixels a unit: the fitting rules run, no device context is touched.
class EvenMeasurer : public TextMeasurer {
public:
    int width(const wchar_t*, int length) override { return 10 * length; }
    bool fit(const wchar_t*, int length, int maxWidth, int* count) override {
        *count = maxWidth <= 0 ? 0 : (maxWidth / 10 < length ? maxWidth / 10 : length);
        return true;
    }
};

// Runs `work(thread index, random)` on four threads until `ms` have passed,
// answering this thread's messages (the notifications) meanwhile.
template <typename Work>
void onFourThreads(DWORD ms, unsigned seed, Work work) {
    const DWORD deadline = GetTickCount() + ms;
    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([=, &running] {
            std::mt19937 random(seed + t);
            while (static_cast<LONG>(GetTickCount() - deadline) < 0) work(t, random);
            --running;
        });
    while (running > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    for (auto& th : threads) th.join();
}

// The host's getClientList, except that on one chosen thread it answers
// and then waits before returning: that thread's purge works from a list
// the world has moved on from.
namespace heldList {
std::atomic<DWORD> thread{0};
HANDLE answered = nullptr;
HANDLE goOn = nullptr;
unsigned (*modelGetClientList)(uint64, anyID**) = nullptr;

unsigned getClientList(uint64 connection, anyID** result) {
    const unsigned error = modelGetClientList(connection, result);
    if (GetCurrentThreadId() == thread) {
        SetEvent(answered);
        WaitForSingleObject(goOn, 10000);
    }
    return error;
}
}  // namespace heldList

// The host's sendPluginCommand, except that it reads the id only once the
// test has let it go on, as a host busy elsewhere would.
namespace heldSend {
HANDLE asked = nullptr;
HANDLE goOn = nullptr;
std::string seen;

void send(uint64, const char* id, const char*, int, const anyID*) {
    SetEvent(asked);
    WaitForSingleObject(goOn, 10000);
    seen = id ? id : "(null)";
}
}  // namespace heldSend

class SharedStateRace : public testing::Test {
protected:
    void SetUp() override {
        char loaded[sizeof defaultClientName] = {};
        if (LoadStringA(GetModuleHandleW(nullptr), 40002, loaded, sizeof loaded) > 0)
            std::memcpy(defaultClientName, loaded, sizeof loaded);
        model.install();
        host::setFunctionTable(hostsim::HostModel::table());
        model.addConnection(kMain, "Main", 1);
        model.addConnection(kSecond, "Second", 1);
        for (anyID id = 1; id <= kLastClient; ++id) model.addClient(kMain, id, nicknameOf(kMain, id), 10);
        for (anyID id = 1; id <= 12; ++id) model.addClient(kSecond, id, nicknameOf(kSecond, id), 10);
        // Tens of thousands of calls: keep none of them.
        model.setRecording(false);
        setTextMeasurer(&measurer);
    }
    void TearDown() override {
        setTextMeasurer(nullptr);
        clearSpeakerSlots();
        closeDisplayChannel();
        displayWindow = nullptr;
        clientNameCache.deleteConnection(kMain);
        clientNameCache.deleteConnection(kSecond);
        EXPECT_EQ(model.outstandingBlocks(), 0u) << "host strings or lists never released";
        EXPECT_EQ(model.badFrees(), 0u);
    }

    hostsim::HostModel model;
    EvenMeasurer measurer;
};

TEST_F(SharedStateRace, NameCacheServesFourThreadsWithoutLosingOrMixingNames) {
    const DWORD ms = knob("TALVORI_ROBUST_RACE_MS", 1000);
    std::atomic<long> operations{0}, wrongNames{0};
    std::string firstWrong;
    std::atomic<bool> noted{false};
    const std::string unknown = defaultClientName;

    StdoutCapture quiet;
    onFourThreads(ms, seed(), [&](int, std::mt19937& random) {
        const uint64 connection = random() % 4 == 0 ? kSecond : kMain;
        const anyID id = static_cast<anyID>(kFirstClient + random() % (kAbsent - kFirstClient + 1));
        char name[kNameBufferBytes];
        std::memset(name, '#', sizeof name);
        const unsigned op = random() % 100;
        if (op < 40)
            clientNameCache.addClient(connection, id, name);
        else if (op < 80)
            clientNameCache.findClient(connection, id, name);
        else if (op < 97)
            clientNameCache.deleteClient(connection, id);
        else if (op < 99)
            clientNameCache.rebuild();
        else
            clientNameCache.deleteConnection(kSecond);
        if (op < 80 && name != unknown && name != nicknameOf(connection, id)) {
            ++wrongNames;
            if (!noted.exchange(true)) firstWrong = std::to_string(id) + " named " + name;
        }
        ++operations;
    });
    quiet.take();

    EXPECT_GT(operations.load(), 1000);
    EXPECT_EQ(wrongNames.load(), 0) << firstWrong;
    // What is left is a table a single thread could have built.
    std::set<std::pair<uint64, anyID>> seen;
    ASSERT_LE(clientNameCache.size(), MAX_CLIENT_COUNT);
    for (unsigned i = 0; i < clientNameCache.size(); ++i) {
        const auto key = std::make_pair(clientNameCache.connectionAt(i), clientNameCache.clientAt(i));
        EXPECT_TRUE(seen.insert(key).second) << "client " << key.second << " cached twice";
        ASSERT_NE(clientNameCache.nameAt(i), nullptr) << "entry " << i;
        EXPECT_EQ(clientNameCache.nameAt(i), nicknameOf(key.first, key.second)) << "entry " << i;
        EXPECT_TRUE(key.first == kMain || key.first == kSecond);
    }
    std::printf("[ figures  ] name cache: %ld operations on 4 threads in %lu ms, %u entries left\n",
                operations.load(), static_cast<unsigned long>(ms), clientNameCache.size());
}

TEST_F(SharedStateRace, SpeakerLineEndsEmptyWhenEveryThreadsSpeakersHaveStopped) {
    const DWORD ms = knob("TALVORI_ROBUST_RACE_MS", 1000);
    // A speaker area of our own, unnamed and without the cross-process
    // mutex (each wait on it is a trip to the kernel, which would space the
    // events out), and a window nobody else sees for the notifications.
    displayChannel.speakerMapping.reset(CreateFileMappingW(
        INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, channel::kSpeakerBytes, nullptr));
    displayChannel.speakerView.reset(MapViewOfFile(displayChannel.speakerMapping.get(),
                                                   channel::kMapAllAccess, 0, 0,
                                                   channel::kSpeakerBytes));
    ASSERT_TRUE(displayChannel.speakerView);
    displayWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(displayWindow, nullptr);

    // Each thread has ten clients of its own and says when they talk; 40
    // clients for 20 slots, so the last slot changes hands too.
    bool talking[kThreads][10] = {};
    std::atomic<long> events{0};
    StdoutCapture quiet;
    onFourThreads(ms, seed(), [&](int t, std::mt19937& random) {
        const int k = static_cast<int>(random() % 10);
        talking[t][k] = !talking[t][k];
        onTalkStatusChange(kMain, talking[t][k] ? 1 : 0, 0,
                           static_cast<anyID>(kFirstClient + t * 10 + k));
        ++events;
    });
    // Every thread stops its speakers, all at once.
    std::vector<std::thread> stoppers;
    for (int t = 0; t < kThreads; ++t)
        stoppers.emplace_back([&, t] {
            for (int k = 0; k < 10; ++k)
                if (talking[t][k])
                    onTalkStatusChange(kMain, 0, 0, static_cast<anyID>(kFirstClient + t * 10 + k));
        });
    for (auto& s : stoppers) s.join();
    quiet.take();

    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    DestroyWindow(displayWindow);
    displayWindow = nullptr;

    EXPECT_GT(events.load(), 1000);
    for (int i = 0; i < kSpeakerSlotCount; ++i)
        EXPECT_EQ(speakerSlots.slot[i], 0) << "slot " << i << " kept a speaker who stopped";
    const wchar_t* area = speakerArea().text;
    EXPECT_EQ(std::wstring(area, boundedLength(area, channel::kSpeakerUnits)), L"")
        << "the line of an older change was written last";
    std::printf("[ figures  ] speaker slots: %ld talk events on 4 threads in %lu ms\n",
                events.load(), static_cast<unsigned long>(ms));
}

// The interleaving the test above can only hope for, forced: one thread is
// held inside the host while it composes the line for a speaker who starts;
// meanwhile that speaker stops on another thread and the empty line is
// written. The held thread's line is older and must not be written after.
TEST_F(SharedStateRace, AnOlderSpeakerLineIsNotWrittenOverANewerOne) {
    displayChannel.speakerMapping.reset(CreateFileMappingW(
        INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, channel::kSpeakerBytes, nullptr));
    displayChannel.speakerView.reset(MapViewOfFile(displayChannel.speakerMapping.get(),
                                                   channel::kMapAllAccess, 0, 0,
                                                   channel::kSpeakerBytes));
    ASSERT_TRUE(displayChannel.speakerView);
    const anyID speaker = 7;  // not cached yet: its name is asked of the host
    clientNameCache.deleteClient(kMain, speaker);

    HANDLE asking = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE answer = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    model.setCallListener([&](const hostsim::HostCall& call) {
        if (call.function == "getClientVariableAsString" && call.id1 == speaker) {
            SetEvent(asking);
            WaitForSingleObject(answer, 10000);
        }
    });
    StdoutCapture quiet;
    std::thread starter([&] { onTalkStatusChange(kMain, 1, 0, speaker); });
    ASSERT_EQ(WaitForSingleObject(asking, 10000), WAIT_OBJECT_0);
    onTalkStatusChange(kMain, 0, 0, speaker);  // asks the host nothing: no one is left
    const wchar_t* area = speakerArea().text;
    const std::wstring newer(area, boundedLength(area, channel::kSpeakerUnits));
    SetEvent(answer);
    starter.join();
    quiet.take();
    model.setCallListener(nullptr);
    CloseHandle(asking);
    CloseHandle(answer);

    EXPECT_EQ(newer, L"");
    EXPECT_EQ(std::wstring(area, boundedLength(area, channel::kSpeakerUnits)), L"")
        << "the line composed before the speaker stopped was written last";
    for (int i = 0; i < kSpeakerSlotCount; ++i) EXPECT_EQ(speakerSlots.slot[i], 0) << i;
}

// A client the host lists only after another thread asked for the list:
// that thread's purge must not take the newcomer out of the cache again.
TEST_F(SharedStateRace, APurgeSparesAClientWhoArrivedAfterTheHostListedTheClients) {
    clientNameCache.deleteConnection(kMain);
    HostFunctions table = hostsim::HostModel::table();
    heldList::modelGetClientList = table.getClientList;
    table.getClientList = &heldList::getClientList;
    host::setFunctionTable(table);
    heldList::answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    heldList::goOn = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const anyID newcomer = 50;

    StdoutCapture quiet;
    std::thread earlier([] {
        heldList::thread = GetCurrentThreadId();
        clientNameCache.addClient(kMain, 30, nullptr);  // lists the clients, then waits
    });
    ASSERT_EQ(WaitForSingleObject(heldList::answered, 10000), WAIT_OBJECT_0);
    model.addClient(kMain, newcomer, "Newcomer", 10);
    char name[kNameBufferBytes] = "";
    clientNameCache.addClient(kMain, newcomer, name);
    SetEvent(heldList::goOn);
    earlier.join();
    const std::string printed = quiet.take();
    heldList::thread = 0;
    host::setFunctionTable(hostsim::HostModel::table());
    CloseHandle(heldList::answered);
    CloseHandle(heldList::goOn);

    EXPECT_STREQ(name, "Newcomer");
    EXPECT_GE(clientNameCache.findClient(kMain, newcomer, nullptr), 0)
        << "purged by a list taken before it arrived:\n" << printed;
    EXPECT_GE(clientNameCache.findClient(kMain, 30, nullptr), 0);
}

// Configure reloads the display settings while event threads compose with
// them: every reader sees the stored record, never the defaults a reload
// starts from.
TEST_F(SharedStateRace, ASettingsReloadNeverShowsTheDefaultsInBetween) {
    RegistrySandbox sandbox;
    DisplayConfig stored;
    resetDisplayConfig(stored);
    stored.width = 333;
    stored.onlyMyChannel = 1;
    sandbox.putValue(kDisplayConfigValue, REG_BINARY, &stored, sizeof stored);

    int reads = 0, defaults = 0;
    {
        StdoutCapture quiet;  // a trace line per reload
        reloadLiveDisplayConfig();
        std::atomic<bool> stop{false};
        std::thread reloader([&] {
            while (!stop) reloadLiveDisplayConfig();
        });
        for (DWORD end = GetTickCount() + 500; static_cast<LONG>(GetTickCount() - end) < 0;
             ++reads) {
            DisplayConfig seen = liveDisplayConfig();
            if (seen.width != 333 || seen.onlyMyChannel != 1) ++defaults;
        }
        stop = true;
        reloader.join();
    }
    resetDisplayConfig(pluginDisplayConfig);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(defaults, 0) << "of " << reads << " reads";
}

// The host registers the plugin again while another of its threads sends a
// plugin command: the id it is handed stays whole until it has read it,
// even though the registration gave the old copy back.
TEST_F(SharedStateRace, AnIdReplacedWhileACommandSendsItIsNotReadFreed) {
    const std::string first = "talvor_plugin_first";
    StdoutCapture quiet;
    registerPluginCommandId(first.c_str());
    HostFunctions table = hostsim::HostModel::table();
    table.sendPluginCommand = &heldSend::send;
    host::setFunctionTable(table);
    heldSend::asked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    heldSend::goOn = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    std::thread sender([] { processCommand(kMain, "command hello"); });
    ASSERT_EQ(WaitForSingleObject(heldSend::asked, 10000), WAIT_OBJECT_0);
    registerPluginCommandId("talvor_plugin_again");
    // The heap hands the freed block out again, as it will in a busy host.
    std::vector<char*> reuse;
    for (int i = 0; i < 64; ++i) {
        char* block = static_cast<char*>(std::malloc(first.size() + 1));
        std::memset(block, 'Z', first.size());
        block[first.size()] = '\0';
        reuse.push_back(block);
    }
    SetEvent(heldSend::goOn);
    sender.join();
    quiet.take();
    for (char* block : reuse) std::free(block);
    host::setFunctionTable(hostsim::HostModel::table());
    CloseHandle(heldSend::asked);
    CloseHandle(heldSend::goOn);
    registerPluginCommandId(nullptr);

    EXPECT_EQ(heldSend::seen, first);
}

}  // namespace
}  // namespace robust
