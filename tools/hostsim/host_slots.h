#pragma once
// What the API-8 and the API-26 table share: the record of a call in
// progress, the slot functions whose signature both levels agree on, and the
// stubs for slots the plugin must not use. Each table (host_table.cpp,
// host_table26.cpp) adds the slots of its own level.
#include <array>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "host_model.h"

namespace hostsim {
namespace slots {

namespace err = hosterror;

// One table call in progress: holds the model's lock so the call sees one
// consistent world, and records the call when it ends.
class Call {
public:
    Call(const char* function, uint64 connection = 0) : model_(HostModel::current()) {
        if (model_) lock_ = std::unique_lock<std::recursive_mutex>(model_->mutex());
        call_.function = function;
        call_.connection = connection;
    }
    ~Call() {
        if (model_) model_->record(std::move(call_));
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    HostModel* model() const { return model_; }
    HostCall& data() { return call_; }
    unsigned finish(unsigned result) {
        call_.result = result;
        return result;
    }
    // True (with the error recorded) when the call must not do its work.
    bool failed(unsigned* error) {
        if (!model_) {
            *error = err::kUndefined;
            return true;
        }
        if (model_->takeFailure(call_.function, error)) {
            call_.result = *error;
            return true;
        }
        return false;
    }
    // The call's connection, or an error: unknown tab, or a tab that is not
    // connected when `mustBeConnected`.
    unsigned connection(SimConnection** out, bool mustBeConnected = true) {
        *out = model_->connection(call_.connection);
        if (!*out) return err::kConnectionInvalid;
        if (mustBeConnected && !(*out)->connected()) return err::kNotConnected;
        return err::kOk;
    }

private:
    HostModel* model_;
    std::unique_lock<std::recursive_mutex> lock_;
    HostCall call_;
};

std::string str(const char* s);

template <typename T>
std::string joinList(const std::vector<T>& items) {
    std::string s;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) s += ',';
        s += std::to_string(static_cast<unsigned long long>(items[i]));
    }
    return s;
}

// Answers a path getter the way the host does: the model's path cut to
// maxLen - 1 bytes and terminated. The getters cannot report an error: an
// injected failure leaves an empty path, the closest a real host comes to
// failing here.
void answerPath(Call& call, std::string HostModel::*member, char* out, size_t maxLen);

// Records a plugin command; the API-26 table adds its return code itself.
void recordPluginCommand(Call& call, const char* pluginID, const char* command, int targetMode,
                         const anyID* targetIDs);

// ---- slots both levels declare alike -----------------------------------------

unsigned getClientLibVersion(char** result);
unsigned freeMemory(void* pointer);
unsigned logMessage(const char* message, int severity, const char* channel, uint64 logID);
unsigned requestClientMove(uint64 schid, anyID clientID, uint64 newChannelID,
                           const char* password, const char* returnCode);
unsigned requestConnectionInfo(uint64 schid, anyID clientID, const char* returnCode);
unsigned getClientID(uint64 schid, anyID* result);
unsigned getClientVariableAsInt(uint64 schid, anyID clientID, size_t flag, int* result);
unsigned getClientVariableAsString(uint64 schid, anyID clientID, size_t flag, char** result);
unsigned getClientList(uint64 schid, anyID** result);
unsigned getChannelOfClient(uint64 schid, anyID clientID, uint64* result);
unsigned getChannelVariableAsString(uint64 schid, uint64 channelID, size_t flag, char** result);
unsigned getChannelList(uint64 schid, uint64** result);
unsigned getChannelClientList(uint64 schid, uint64 channelID, anyID** result);
unsigned getServerConnectionHandlerList(uint64** result);
unsigned getServerVariableAsString(uint64 schid, size_t flag, char** result);
unsigned getConnectionVariableAsString(uint64 schid, anyID clientID, size_t flag,
                                       char** result);
void getAppPath(char* path, size_t maxLen);
void getResourcesPath(char* path, size_t maxLen);
void getConfigPath(char* path, size_t maxLen);
uint64 getCurrentServerConnectionHandlerID();
void printMessageToCurrentTab(const char* message);

// Points the slots both levels declare alike at the shared functions.
template <typename Table>
void setSharedSlots(Table& t) {
    t.getClientLibVersion = &getClientLibVersion;
    t.freeMemory = &freeMemory;
    t.logMessage = &logMessage;
    t.requestClientMove = &requestClientMove;
    t.requestConnectionInfo = &requestConnectionInfo;
    t.getClientID = &getClientID;
    t.getClientVariableAsInt = &getClientVariableAsInt;
    t.getClientVariableAsString = &getClientVariableAsString;
    t.getClientList = &getClientList;
    t.getChannelOfClient = &getChannelOfClient;
    t.getChannelVariableAsString = &getChannelVariableAsString;
    t.getChannelList = &getChannelList;
    t.getChannelClientList = &getChannelClientList;
    t.getServerConnectionHandlerList = &getServerConnectionHandlerList;
    t.getServerVariableAsString = &getServerVariableAsString;
    t.getConnectionVariableAsString = &getConnectionVariableAsString;
    t.getAppPath = &getAppPath;
    t.getResourcesPath = &getResourcesPath;
    t.getConfigPath = &getConfigPath;
    t.getCurrentServerConnectionHandlerID = &getCurrentServerConnectionHandlerID;
    t.printMessageToCurrentTab = &printMessageToCurrentTab;
}

// ---- the slots the plugin must not use ---------------------------------------

// Names::name(i) is the name of slot i of one level's table.
template <typename Names, size_t N>
unsigned unexpected() {
    Call call("");
    call.data().function = std::string("unexpected:") + Names::name(N);
    return call.finish(hosterror::kUndefined);
}

template <typename Names, size_t... I>
std::array<HostSlot, sizeof...(I)> makeStubs(std::index_sequence<I...>) {
    return {{reinterpret_cast<HostSlot>(&unexpected<Names, I>)...}};
}

// A table of `Table` whose every slot records "unexpected:<slot>"; the
// caller then sets the slots the plugin uses.
template <typename Table, typename Names>
Table stubTable() {
    constexpr size_t kSlots = sizeof(Table) / sizeof(void*);
    static_assert(sizeof(HostSlot) == sizeof(void*), "pointer-sized slots");
    static const auto stubs = makeStubs<Names>(std::make_index_sequence<kSlots>());
    Table t;
    for (size_t i = 0; i < kSlots; ++i)
        std::memcpy(reinterpret_cast<char*>(&t) + i * sizeof(void*), &stubs[i], sizeof(void*));
    return t;
}

}  // namespace slots
}  // namespace hostsim
