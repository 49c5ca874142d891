// The API-8 function table served by the installed HostModel. Every slot the
// plugin uses answers from the model's world; every other slot is a generated
// stub that records "unexpected:<slot>" so a test sees a call that should not
// have happened.
#include <array>
#include <cstring>
#include <utility>

#include "host_model.h"

namespace hostsim {

namespace {

const char* const kSlotNames[] = {
    "getClientLibVersion", "spawnNewServerConnectionHandler", "destroyServerConnectionHandler",
    "getErrorMessage", "freeMemory", "logMessage", "getPlaybackDeviceList",
    "getPlaybackModeList", "getCaptureDeviceList", "getCaptureModeList",
    "getDefaultPlaybackDevice", "getDefaultPlayBackMode", "getDefaultCaptureDevice",
    "getDefaultCaptureMode", "openPlaybackDevice", "openCaptureDevice",
    "openCustomPlaybackDevice", "openCustomCaptureDevice", "getCurrentPlaybackDeviceName",
    "getCurrentPlaybackDevice", "getCurrentPlayBackMode", "getCurrentCaptureDeviceName",
    "getCurrentCaptureDevice", "getCurrentCaptureMode", "initiateGracefulPlaybackShutdown",
    "closePlaybackDevice", "closeCaptureDevice", "activateCaptureDevice",
    "activateCustomCaptureDevice", "playWaveFile", "getPreProcessorInfoValueFloat",
    "getPreProcessorConfigValue", "setPreProcessorConfigValue", "getEncodeConfigValue",
    "getPlaybackConfigValueAsFloat", "setPlaybackConfigValue", "startVoiceRecording",
    "stopVoiceRecording", "fmod_Systemset3DListenerAttributes", "fmod_Systemset3DSettings",
    "fmod_Channelset3DAttributes", "startConnection", "stopConnection", "requestClientMove",
    "requestClientVariables", "requestClientKickFromChannel", "requestClientKickFromServer",
    "requestChannelDelete", "requestChannelMove", "requestSendPrivateTextMsg",
    "requestSendChannelTextMsg", "requestSendServerTextMsg", "requestConnectionInfo",
    "requestClientSetWhisperList", "requestChannelSubscribe", "requestChannelSubscribeAll",
    "requestChannelUnsubscribe", "requestChannelUnsubscribeAll", "requestChannelDescription",
    "requestMuteClients", "requestUnmuteClients", "requestClientPoke", "clientChatClosed",
    "clientChatComposing", "getClientID", "getClientSelfVariableAsInt",
    "getClientSelfVariableAsString", "setClientSelfVariableAsInt",
    "setClientSelfVariableAsString", "flushClientSelfUpdates", "getClientVariableAsInt",
    "getClientVariableAsUInt64", "getClientVariableAsString", "getClientList",
    "getChannelOfClient", "getChannelVariableAsInt", "getChannelVariableAsString",
    "getChannelIDFromChannelNames", "getChannelVariableAsUInt64", "setChannelVariableAsInt",
    "setChannelVariableAsString", "setChannelVariableAsUInt64", "flushChannelUpdates",
    "flushChannelCreation", "getChannelList", "getChannelClientList",
    "getParentChannelOfChannel", "getServerConnectionHandlerList", "getServerVariableAsInt",
    "getServerVariableAsUInt64", "getServerVariableAsString", "requestServerVariables",
    "getConnectionStatus", "getConnectionVariableAsUInt64", "getConnectionVariableAsDouble",
    "getConnectionVariableAsString", "cleanUpConnectionInfo", "requestClientDBIDfromUID",
    "requestClientNamefromUID", "requestClientNamefromDBID", "requestClientEditDescription",
    "requestClientSetIsTalker", "requestIsTalker", "getTransferFileName",
    "getTransferFilePath", "getTransferFileSize", "getTransferFileSizeDone",
    "isTransferSender", "getTransferStatus", "getCurrentTransferSpeed",
    "getAverageTransferSpeed", "getTransferRunTime", "sendFile", "requestFile",
    "haltTransfer", "requestFileList", "requestFileInfo", "requestDeleteFile",
    "requestCreateDirectory", "requestRenameFile", "requestMessageAdd", "requestMessageDel",
    "requestMessageGet", "requestMessageList", "requestMessageUpdateFlag", "banclient",
    "banadd", "bandel", "bandelall", "requestBanList", "requestComplainAdd",
    "requestComplainDel", "requestComplainDelAll", "requestComplainList",
    "requestServerGroupList", "requestServerGroupAdd", "requestServerGroupDel",
    "requestServerGroupAddClient", "requestServerGroupDelClient",
    "requestServerGroupsByClientID", "requestServerGroupAddPerm", "requestServerGroupDelPerm",
    "requestServerGroupPermList", "requestServerGroupClientList", "requestChannelGroupList",
    "requestChannelGroupAdd", "requestChannelGroupDel", "requestChannelGroupAddPerm",
    "requestChannelGroupDelPerm", "requestChannelGroupPermList",
    "requestSetClientChannelGroup", "requestChannelAddPerm", "requestChannelDelPerm",
    "requestChannelPermList", "requestClientAddPerm", "requestClientDelPerm",
    "requestClientPermList", "requestChannelClientAddPerm", "requestChannelClientDelPerm",
    "requestChannelClientPermList", "privilegeKeyUse", "requestPermissionList",
    "requestPermissionOverview", "getAPIVersion", "getAppPath", "getResourcesPath",
    "getConfigPath", "getPluginPath", "getCurrentServerConnectionHandlerID", "printMessage",
    "printMessageToCurrentTab", "urlsToBB", "sendPluginCommand", "getServerConnectInfo",
    "getChannelConnectInfo", "reserved",
};
static_assert(sizeof(kSlotNames) / sizeof(kSlotNames[0]) == HostModel::kSlotCount,
              "one name per slot");

using Lock = std::lock_guard<std::recursive_mutex>;
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

std::string str(const char* s) { return s ? s : ""; }

const SimClient* findClient(const SimConnection& c, anyID id) {
    for (const auto& cl : c.clients)
        if (cl.id == id) return &cl;
    return nullptr;
}

const SimChannel* findChannel(const SimConnection& c, uint64 id) {
    for (const auto& ch : c.channels)
        if (ch.id == id) return &ch;
    return nullptr;
}

template <typename T>
std::string joinList(const std::vector<T>& items) {
    std::string s;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) s += ',';
        s += std::to_string(static_cast<unsigned long long>(items[i]));
    }
    return s;
}

// Hands a 0-terminated id list to the plugin as a tracked block.
template <typename T>
unsigned handOutList(Call& call, std::vector<T> items, const char* type, T** result) {
    items.push_back(0);
    std::string listed = joinList(items);
    call.data().answer = listed;
    *result = static_cast<T*>(call.model()->allocBlock(
        items.data(), items.size() * sizeof(T), std::string(type) + "[" + listed + "]"));
    return call.finish(err::kOk);
}

unsigned handOutString(Call& call, const std::string& s, char** result) {
    call.data().answer = s;
    *result = call.model()->allocString(s);
    return call.finish(err::kOk);
}

void writePath(Call& call, const std::string& path, char* out, size_t maxLen) {
    call.data().id1 = maxLen;
    if (!out || maxLen == 0) return;
    size_t n = path.size() < maxLen - 1 ? path.size() : maxLen - 1;
    memcpy(out, path.data(), n);
    out[n] = '\0';
    call.data().answer.assign(out, n);
}

// ---- the slots the plugin uses -------------------------------------------

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
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
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
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    if (flag != 1) return call.finish(err::kParameterInvalid);
    return handOutString(call, cl->nickname, result);
}

unsigned getClientList(uint64 schid, anyID** result) {
    Call call("getClientList", schid);
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    std::vector<anyID> ids;
    for (const auto& cl : c->clients) ids.push_back(cl.id);
    return handOutList(call, ids, "anyID", result);
}

unsigned getChannelOfClient(uint64 schid, anyID clientID, uint64* result) {
    Call call("getChannelOfClient", schid);
    call.data().id1 = clientID;
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
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
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    const SimChannel* ch = findChannel(*c, channelID);
    if (!ch) return call.finish(err::kChannelInvalidId);
    if (flag != 0) return call.finish(err::kParameterInvalid);
    return handOutString(call, ch->name, result);
}

unsigned getChannelList(uint64 schid, uint64** result) {
    Call call("getChannelList", schid);
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    std::vector<uint64> ids;
    for (const auto& ch : c->channels) ids.push_back(ch.id);
    return handOutList(call, ids, "uint64", result);
}

unsigned getChannelClientList(uint64 schid, uint64 channelID, anyID** result) {
    Call call("getChannelClientList", schid);
    call.data().id1 = channelID;
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
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
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    if (flag != 1) return call.finish(err::kParameterInvalid);
    return handOutString(call, c->serverName, result);
}

unsigned getConnectionVariableAsString(uint64 schid, anyID clientID, size_t flag,
                                       char** result) {
    Call call("getConnectionVariableAsString", schid);
    call.data().id1 = clientID;
    call.data().id2 = flag;
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    SimConnection* c;
    if ((e = call.connection(&c)) != 0) return call.finish(e);
    const SimClient* cl = findClient(*c, clientID);
    if (!cl) return call.finish(err::kClientInvalidId);
    if (flag != 0) return call.finish(err::kParameterInvalid);
    return handOutString(call, cl->ping, result);
}

int getAPIVersion() {
    Call call("getAPIVersion");
    unsigned e;
    if (call.failed(&e)) return 0;
    call.data().answer = std::to_string(call.model()->apiVersion);
    return call.model()->apiVersion;
}

// The path getters cannot report an error: an injected failure leaves an
// empty path, the closest a real host comes to failing here.
#define HOSTSIM_PATH_GETTER(name, member)                                        \
    void name(char* path, size_t maxLen) {                                       \
        Call call(#name);                                                        \
        unsigned e;                                                              \
        if (call.failed(&e)) {                                                   \
            writePath(call, std::string(), path, maxLen);                        \
            return;                                                              \
        }                                                                        \
        writePath(call, call.model()->member, path, maxLen);                     \
    }
HOSTSIM_PATH_GETTER(getAppPath, appPath)
HOSTSIM_PATH_GETTER(getResourcesPath, resourcesPath)
HOSTSIM_PATH_GETTER(getConfigPath, configPath)
HOSTSIM_PATH_GETTER(getPluginPath, pluginPath)
#undef HOSTSIM_PATH_GETTER

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

void sendPluginCommand(uint64 schid, const char* pluginCommandID, const char* command,
                       int targetMode, const anyID* targetIDs) {
    Call call("sendPluginCommand", schid);
    HostCall& d = call.data();
    d.text = str(command);
    d.textNull = !command;
    d.text2 = str(pluginCommandID);
    d.text2Null = !pluginCommandID;
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

// ---- the slots the plugin must not use -------------------------------------

template <size_t N>
unsigned unexpected() {
    Call call("");
    call.data().function = std::string("unexpected:") + kSlotNames[N];
    return call.finish(err::kUndefined);
}

template <size_t... I>
std::array<HostSlot, sizeof...(I)> makeStubs(std::index_sequence<I...>) {
    return {{reinterpret_cast<HostSlot>(&unexpected<I>)...}};
}

}  // namespace

const char* HostModel::slotName(size_t index) {
    return index < kSlotCount ? kSlotNames[index] : "";
}

HostFunctions HostModel::table() {
    static const auto stubs = makeStubs(std::make_index_sequence<kSlotCount>());
    HostFunctions t;
    static_assert(sizeof(HostSlot) == sizeof(void*), "pointer-sized slots");
    for (size_t i = 0; i < kSlotCount; ++i)
        memcpy(reinterpret_cast<char*>(&t) + i * sizeof(void*), &stubs[i], sizeof(void*));
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
    t.getAPIVersion = &getAPIVersion;
    t.getAppPath = &getAppPath;
    t.getResourcesPath = &getResourcesPath;
    t.getConfigPath = &getConfigPath;
    t.getPluginPath = &getPluginPath;
    t.getCurrentServerConnectionHandlerID = &getCurrentServerConnectionHandlerID;
    t.printMessageToCurrentTab = &printMessageToCurrentTab;
    t.sendPluginCommand = &sendPluginCommand;
    return t;
}

}  // namespace hostsim
