// The API-8 function table served by the installed HostModel. Every slot the
// plugin uses answers from the model's world; every other slot is a generated
// stub that records "unexpected:<slot>" so a test sees a call that should not
// have happened.
#include "host_slots.h"

namespace hostsim {

namespace {

using namespace slots;

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

struct Api8Names {
    static const char* name(size_t i) { return kSlotNames[i]; }
};

// ---- the slots only API 8 has, or declares its own way ------------------------

int getAPIVersion() {
    Call call("getAPIVersion");
    unsigned e;
    if (call.failed(&e)) return 0;
    call.data().answer = std::to_string(call.model()->apiVersion);
    return call.model()->apiVersion;
}

void getPluginPath(char* path, size_t maxLen) {
    Call call("getPluginPath");
    answerPath(call, &HostModel::pluginPath, path, maxLen);
}

void sendPluginCommand(uint64 schid, const char* pluginCommandID, const char* command,
                       int targetMode, const anyID* targetIDs) {
    Call call("sendPluginCommand", schid);
    recordPluginCommand(call, pluginCommandID, command, targetMode, targetIDs);
}

}  // namespace

const char* HostModel::slotName(size_t index) {
    return index < kSlotCount ? kSlotNames[index] : "";
}

HostFunctions HostModel::table() {
    HostFunctions t = stubTable<HostFunctions, Api8Names>();
    setSharedSlots(t);
    t.getAPIVersion = &getAPIVersion;
    t.getPluginPath = &getPluginPath;
    t.sendPluginCommand = &sendPluginCommand;
    return t;
}

}  // namespace hostsim
