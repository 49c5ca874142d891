#pragma once
// A scriptable stand-in for the TeamSpeak client: servers, channels and
// clients, a complete function table of either API level (8 or 26) backed
// by them, a record of every
// call the plugin makes into the host, injected errors, and a check that
// every string or list handed out comes back through freeMemory once.
//
// The table may be called from several threads at once; the model guards its
// world, its record and its heap blocks with one lock. The lock is never held
// while the plugin runs, so a test may drive the plugin from any thread.
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "host_functions26.h"
#include "host_functions8.h"

namespace hostsim {

// Error codes the simulated host answers with. Only 1794 is a value the
// plugin tests for; the others just have to be non-zero and distinct.
namespace hosterror {
inline constexpr unsigned kOk = 0;
inline constexpr unsigned kUndefined = 0x0001;          // a slot the plugin should not call
inline constexpr unsigned kClientInvalidId = 0x0200;    // no such client on the connection
inline constexpr unsigned kChannelInvalidId = 0x0300;   // no such channel on the connection
inline constexpr unsigned kConnectionInvalid = 0x0512;  // no such server connection handler
inline constexpr unsigned kParameterInvalid = 0x0601;   // unknown property flag, null result
inline constexpr unsigned kNotConnected = 0x0702;       // 1794: the tab is not connected
inline constexpr unsigned kBadFree = 0x0603;            // freeMemory of a block the host never gave
}  // namespace hosterror

struct SimClient {
    anyID id = 0;
    std::string nickname;  // UTF-8, may be deliberately invalid
    uint64 channel = 0;
    int inputMuted = 0;
    int outputMuted = 0;
    int away = 0;
    std::string ping = "42";
};

struct SimChannel {
    uint64 id = 0;
    std::string name;  // UTF-8
};

struct SimConnection {
    uint64 id = 0;
    std::string serverName;
    anyID ownClient = 0;  // 0 = the user's client is gone (disconnected)
    int status = 4;       // connect status
    std::vector<SimChannel> channels;  // host order
    std::vector<SimClient> clients;    // host order

    // Queries about the server answer 1794 unless the tab is established.
    bool connected() const { return status == 4 && ownClient != 0; }

    // The client with this id, or null, at the same cost on a server of 500
    // as of 5, so that a benchmark of a big world measures the plugin and not
    // the model. The index of positions checks itself on every use: code
    // that changes `clients` directly needs no care.
    SimClient* findClient(anyID id);
    const SimClient* findClient(anyID id) const;

private:
    mutable std::unordered_map<anyID, size_t> position_;
};

// One call into the host, as the plugin made it.
struct HostCall {
    std::string function;     // slot name, e.g. "logMessage"
    uint64 connection = 0;    // schid where the call has one
    uint64 id1 = 0;           // client id / channel id / flag, by function
    uint64 id2 = 0;           // second id or flag
    std::string text;         // message, log text, password, command, path
    std::string text2;        // log channel, plugin command id
    int number = 0;           // severity, target mode
    unsigned result = 0;      // what the host answered
    bool textNull = false;    // `text` came as a null pointer
    bool text2Null = false;   // `text2` came as a null pointer
    // Made through an API-26 slot that takes more than its API-8 namesake:
    // getPluginPath (the plugin id, in text2) and sendPluginCommand (the
    // return code below).
    bool api26 = false;
    std::string returnCode;
    bool returnCodeNull = false;
    std::string answer;       // what the host handed back, readable ("Alice", "5,7,0")
    std::string describe() const;
};

// What the host would do later in answer to a request the plugin made
// (a client move, a connection-info query). Queued only when the model is
// told to answer requests; the driver delivers them as events.
struct PendingEvent {
    enum Kind { kMove, kConnectionInfo };
    Kind kind = kMove;
    uint64 connection = 0;
    anyID client = 0;
    uint64 oldChannel = 0;
    uint64 newChannel = 0;
};

class HostModel {
public:
    HostModel();
    ~HostModel();
    HostModel(const HostModel&) = delete;
    HostModel& operator=(const HostModel&) = delete;

    // The model that the table's functions currently serve (one at a time).
    static HostModel* current();
    // Makes this model the one the table serves. A model that is destroyed
    // while installed uninstalls itself.
    void install();

    // World. References stay valid until the object is removed (connections)
    // or until the next add to the same connection (channels, clients).
    SimConnection& addConnection(uint64 id, const std::string& serverName, anyID ownClient);
    SimConnection* connection(uint64 id);
    void removeConnection(uint64 id);
    SimChannel& addChannel(uint64 connection, uint64 id, const std::string& name);
    SimClient& addClient(uint64 connection, anyID id, const std::string& nickname, uint64 channel);
    SimClient* client(uint64 connection, anyID id);
    void removeClient(uint64 connection, anyID id);
    void moveClient(uint64 connection, anyID id, uint64 channel);
    std::vector<uint64> connectionIds() const;
    uint64 activeConnection = 0;  // getCurrentServerConnectionHandlerID
    std::string pluginPath;       // getPluginPath (folder of the DLL and TALVORI.exe)
    std::string appPath = "C:\\TeamSpeak 3 Client";
    std::string resourcesPath = "C:\\TeamSpeak 3 Client";
    std::string configPath = "C:\\Users\\user\\AppData\\Roaming\\TS3Client";
    std::string clientLibVersion = "3.0.19 [hostsim]";
    int apiVersion = 8;           // getAPIVersion (API 8)
    uint64 clientLibVersionNumber = 1700000000;  // getClientLibVersionNumber (API 26)

    // Errors: the named host function returns `error` the next `times`
    // calls (-1 = always) instead of doing its work. Functions without a
    // result answer their empty value instead: the path getters write "",
    // getCurrentServerConnectionHandlerID answers 0, getAPIVersion 0, and
    // printMessageToCurrentTab / sendPluginCommand deliver nothing.
    void failNext(const std::string& function, unsigned error, int times = 1);
    void clearFailures();

    // Requests answered later (see PendingEvent); off by default so that a
    // test sees only what it drives itself.
    bool answerRequests = false;
    void queueEvent(const PendingEvent& event);
    std::vector<PendingEvent> takePendingEvents();

    // The record of calls. calls() is for a test that has stopped every
    // thread calling the table; the copies below are safe at any time.
    const std::vector<HostCall>& calls() const { return calls_; }
    std::vector<HostCall> callsSnapshot() const;
    std::vector<HostCall> callsTo(const std::string& function) const;
    size_t countCalls(const std::string& function) const;
    // Calls to slots the plugin is not expected to use ("unexpected:<slot>").
    std::vector<HostCall> unexpectedCalls() const;
    void clearCalls();
    // Off: calls are no longer kept (the listener still hears them), so a
    // benchmark driving the plugin for a long time measures the plugin and
    // not the growth of the record. On by default.
    void setRecording(bool on);
    // Whether a call's answer goes anywhere (the record, or a listener).
    bool keepsCalls() const;
    std::string transcript() const;  // one describe() line per call
    // Called with each call as it is recorded, on the caller's thread and
    // under the model's lock (it must not call the table or the model).
    void setCallListener(std::function<void(const HostCall&)> listener);

    // Memory discipline: blocks handed out and not yet freed; frees of
    // unknown or already freed pointers.
    size_t outstandingBlocks() const;
    size_t badFrees() const;
    // One line per block still outstanding, for a leak report.
    std::vector<std::string> outstandingDescriptions() const;

    // A complete table bound to the installed model: API 8 and API 26.
    static HostFunctions table();
    static HostFunctions26 table26();
    // Slot names in table order (176 and 230 entries).
    static const char* slotName(size_t index);
    static const char* slotName26(size_t index);
    static constexpr size_t kSlotCount = sizeof(HostFunctions) / sizeof(void*);
    static constexpr size_t kSlotCount26 = sizeof(HostFunctions26) / sizeof(void*);

    // The plugin's menu entries as setPluginMenuEnabled left them: 1
    // enabled, 0 greyed out, -1 never set. Key names the user bound to a
    // plugin's hotkey keywords (getHotkeyFromKeyword); none by default.
    int menuEnabled(int menuId) const;
    void setMenuEnabled(int menuId, bool enabled);
    void bindHotkey(const std::string& keyword, const std::string& key);
    std::string hotkeyBinding(const std::string& keyword) const;

    // Used by the table's functions.
    bool takeFailure(const std::string& function, unsigned* error);
    void record(HostCall call);
    char* allocString(const std::string& s);
    void* allocBlock(const void* data, size_t bytes, const std::string& what = "block");
    unsigned freeBlock(void* p, std::string* what = nullptr);

    // The lock guarding the world, the record and the blocks. A scenario
    // holds it while it changes the world from a thread of its own.
    std::recursive_mutex& mutex() const { return mutex_; }

private:
    SimConnection* findConnection(uint64 id);

    mutable std::recursive_mutex mutex_;
    std::list<SimConnection> connections_;  // host order, stable addresses
    std::vector<HostCall> calls_;
    std::vector<PendingEvent> pending_;
    std::function<void(const HostCall&)> listener_;
    bool recording_ = true;
    struct Failure { unsigned error; int times; };
    std::map<std::string, Failure> failures_;
    struct Block { size_t bytes; std::string what; bool freed; };
    // Freed blocks stay allocated (poisoned) until the model goes, so that an
    // address is never reused and a second free of it is always recognised.
    std::map<void*, Block> blocks_;
    std::map<int, bool> menuEnabled_;
    std::map<std::string, std::string> hotkeyBindings_;
    size_t liveBlocks_ = 0;
    size_t badFrees_ = 0;
};

}  // namespace hostsim
