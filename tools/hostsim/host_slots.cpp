// The slot functions both table levels share, answering from the installed
// HostModel's world.
#include "host_slots.h"

#include <cstring>

namespace hostsim {
namespace slots {

std::string str(const char* s) { return s ? s : ""; }

namespace {

const SimClient* findClient(const SimConnection& c, anyID id) { return c.findClient(id); }

const SimChannel* findChannel(const SimConnection& c, uint64 id) {
    for (const auto& ch : c.channels)
        if (ch.id == id) return &ch;
    return nullptr;
}

// Lists up to this length are named by their ids in leak reports.
constexpr size_t kListedInFull = 32;

// Hands a 0-terminated id list to the plugin as a tracked block.
template <typename T>
unsigned handOutList(Call& call, std::vector<T> items, const char* type, T** result) {
    items.push_back(0);
    // Spelled out only when someone reads it: a list of a big server is
    // thousands of characters, which would cost more than the plugin's work.
    const bool small = items.size() <= kListedInFull;
    std::string listed;
    if (call.model()->keepsCalls() || small) listed = joinList(items);
    call.data().answer = listed;
    const std::string what = std::string(type) + "[" +
                             (small ? listed : std::to_string(items.size()) + " entries") + "]";
    *result = static_cast<T*>(
        call.model()->allocBlock(items.data(), items.size() * sizeof(T), what));
    return call.finish(err::kOk);
}

unsigned handOutString(Call& call, const std::string& s, char** result) {
    call.data().answer = s;
    *result = call.model()->allocString(s);
    return call.finish(err::kOk);
}

// What every query of a connection checks first: an injected failure (given
// back as it is, the call already recorded), a missing result pointer, an
// unknown connection. True when *answer is what the host says instead.
bool refusedAtOnce(Call& call, const void* result, SimConnection** c, unsigned* answer) {
    if (call.failed(answer)) return true;
    if (!result) {
        *answer = call.finish(err::kParameterInvalid);
        return true;
    }
    if ((*answer = call.connection(c)) != 0) {
        *answer = call.finish(*answer);
        return true;
    }
    return false;
}

}  // namespace

void answerPath(Call& call, std::string HostModel::*member, char* out, size_t maxLen) {
    call.data().id1 = maxLen;
    unsigned e;
    const std::string path = call.failed(&e) ? std::string() : call.model()->*member;
    if (!out || maxLen == 0) return;
    size_t n = path.size() < maxLen - 1 ? path.size() : maxLen - 1;
    memcpy(out, path.data(), n);
    out[n] = '\0';
    call.data().answer.assign(out, n);
}

void recordPluginCommand(Call& call, const char* pluginID, const char* command, int targetMode,
                         const anyID* targetIDs) {
    HostCall& d = call.data();
    d.text = str(command);
    d.textNull = !command;
    d.text2 = str(pluginID);
    d.text2Null = !pluginID;
    d.number = targetMode;
    if (targetIDs) {
        std::vector<anyID> targets;
        for (const anyID* t = targetIDs; *t && targets.size() < 1024; ++t) targets.push_back(*t);
        d.id1 = targets.size() + 1;  // 0 = null targets
        d.answer = "targets " + joinList(targets);
    }
    unsigned e;
    call.failed(&e);
}

unsigned getClientLibVersion(char** result) {
    Call call("getClientLibVersion");
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    return handOutString(call, call.model()->clientLibVersion, result);
}

unsigned freeMemory(void* pointer) {
    Call call("freeMemory");
    unsigned e;
    if (call.failed(&e)) return e;
    return call.finish(call.model()->freeBlock(pointer, &call.data().text));
}

unsigned logMessage(const char* message, int severity, const char* channel, uint64 logID) {
    Call call("logMessage");
    HostCall& d = call.data();
    d.text = str(message);
    d.textNull = !message;
    d.number = severity;
    d.text2 = str(channel);
    d.text2Null = !channel;
    d.id1 = logID;
    unsigned e;
    if (call.failed(&e)) return e;
    return call.finish(err::kOk);
}

unsigned requestClientMove(uint64 schid, anyID clientID, uint64 newChannelID,
                           const char* password, const char* returnCode) {
    Call call("requestClientMove", schid);
    HostCall& d = call.data();
    d.id1 = clientID;
    d.id2 = newChannelID;
    d.text = str(password);
    d.textNull = !password;
    d.text2 = str(returnCode);
    d.text2Null = !returnCode;
    unsigned e;
    if (call.failed(&e)) return e;
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    if (!findChannel(*c, newChannelID)) return call.finish(err::kChannelInvalidId);
    call.model()->queueEvent(
        PendingEvent{PendingEvent::kMove, schid, clientID, cl->channel, newChannelID});
    return call.finish(err::kOk);
}

unsigned requestConnectionInfo(uint64 schid, anyID clientID, const char* returnCode) {
    Call call("requestConnectionInfo", schid);
    call.data().id1 = clientID;
    call.data().text = str(returnCode);
    call.data().textNull = !returnCode;
    unsigned e;
    if (call.failed(&e)) return e;
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    if (!findClient(*c, clientID)) return call.finish(err::kClientInvalidId);
    call.model()->queueEvent(PendingEvent{PendingEvent::kConnectionInfo, schid, clientID, 0, 0});
    return call.finish(err::kOk);
}

unsigned getClientID(uint64 schid, anyID* result) {
    Call call("getClientID", schid);
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    // A tab whose connection dropped still answers: own id 0.
    if ((e = call.connection(&c, false)) != 0) return call.finish(e);
    *result = c->ownClient;
    call.data().answer = std::to_string(c->ownClient);
    return call.finish(err::kOk);
}

unsigned getClientVariableAsInt(uint64 schid, anyID clientID, size_t flag, int* result) {
    Call call("getClientVariableAsInt", schid);
    call.data().id1 = clientID;
    call.data().id2 = flag;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    switch (flag) {
        case 5: *result = cl->inputMuted; break;
        case 6: *result = cl->outputMuted; break;
        case 38: *result = cl->away; break;
        default: return call.finish(err::kParameterInvalid);
    }
    call.data().answer = std::to_string(*result);
    return call.finish(err::kOk);
}

unsigned getClientVariableAsString(uint64 schid, anyID clientID, size_t flag, char** result) {
    Call call("getClientVariableAsString", schid);
    call.data().id1 = clientID;
    call.data().id2 = flag;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    if (flag != 1) return call.finish(err::kParameterInvalid);
    return handOutString(call, cl->nickname, result);
}

unsigned getClientList(uint64 schid, anyID** result) {
    Call call("getClientList", schid);
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    std::vector<anyID> ids;
    for (const auto& cl : c->clients) ids.push_back(cl.id);
    return handOutList(call, ids, "anyID", result);
}

unsigned getChannelOfClient(uint64 schid, anyID clientID, uint64* result) {
    Call call("getChannelOfClient", schid);
    call.data().id1 = clientID;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    *result = cl->channel;
    call.data().answer = std::to_string(cl->channel);
    return call.finish(err::kOk);
}

unsigned getChannelVariableAsString(uint64 schid, uint64 channelID, size_t flag, char** result) {
    Call call("getChannelVariableAsString", schid);
    call.data().id1 = channelID;
    call.data().id2 = flag;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    const SimChannel* ch = findChannel(*c, channelID);
    if (!ch) return call.finish(err::kChannelInvalidId);
    if (flag != 0) return call.finish(err::kParameterInvalid);
    return handOutString(call, ch->name, result);
}

unsigned getChannelList(uint64 schid, uint64** result) {
    Call call("getChannelList", schid);
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    std::vector<uint64> ids;
    for (const auto& ch : c->channels) ids.push_back(ch.id);
    return handOutList(call, ids, "uint64", result);
}

unsigned getChannelClientList(uint64 schid, uint64 channelID, anyID** result) {
    Call call("getChannelClientList", schid);
    call.data().id1 = channelID;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    if (!findChannel(*c, channelID)) return call.finish(err::kChannelInvalidId);
    std::vector<anyID> ids;
    for (const auto& cl : c->clients)
        if (cl.channel == channelID) ids.push_back(cl.id);
    return handOutList(call, ids, "anyID", result);
}

unsigned getServerConnectionHandlerList(uint64** result) {
    Call call("getServerConnectionHandlerList");
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    return handOutList(call, call.model()->connectionIds(), "uint64", result);
}

unsigned getServerVariableAsString(uint64 schid, size_t flag, char** result) {
    Call call("getServerVariableAsString", schid);
    call.data().id1 = flag;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    if (flag != 1) return call.finish(err::kParameterInvalid);
    return handOutString(call, c->serverName, result);
}

unsigned getConnectionVariableAsString(uint64 schid, anyID clientID, size_t flag,
                                       char** result) {
    Call call("getConnectionVariableAsString", schid);
    call.data().id1 = clientID;
    call.data().id2 = flag;
    unsigned e;
    SimConnection* c;
    if (refusedAtOnce(call, result, &c, &e)) return e;
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    if (flag != 0) return call.finish(err::kParameterInvalid);
    return handOutString(call, cl->ping, result);
}

void getAppPath(char* path, size_t maxLen) {
    Call call("getAppPath");
    answerPath(call, &HostModel::appPath, path, maxLen);
}

void getResourcesPath(char* path, size_t maxLen) {
    Call call("getResourcesPath");
    answerPath(call, &HostModel::resourcesPath, path, maxLen);
}

void getConfigPath(char* path, size_t maxLen) {
    Call call("getConfigPath");
    answerPath(call, &HostModel::configPath, path, maxLen);
}

uint64 getCurrentServerConnectionHandlerID() {
    Call call("getCurrentServerConnectionHandlerID");
    unsigned e;
    if (call.failed(&e)) return 0;
    call.data().answer = std::to_string(call.model()->activeConnection);
    return call.model()->activeConnection;
}

void printMessageToCurrentTab(const char* message) {
    Call call("printMessageToCurrentTab");
    call.data().text = str(message);
    call.data().textNull = !message;
    unsigned e;
    call.failed(&e);
}

}  // namespace slots
}  // namespace hostsim
