// The API-26 function table served by the installed HostModel: the same
// world as the API-8 table, in the 230-slot layout of today's clients. Three
// slots differ in what they take or answer: the client library's version
// number stands where API 8 had the API-version query, and the plugin path
// and plugin commands carry the id the host registered for the plugin (and
// commands a return code). Three more serve the plugin's menu entries and
// hotkeys, which API 8 clients do not offer.
#include "host_slots.h"

namespace hostsim {

namespace {

using namespace slots;

const char* const kSlotNames[] = {
    "getClientLibVersion", "getClientLibVersionNumber", "spawnNewServerConnectionHandler",
    "destroyServerConnectionHandler", "getErrorMessage", "freeMemory", "logMessage",
    "getPlaybackDeviceList", "getPlaybackModeList", "getCaptureDeviceList",
    "getCaptureModeList", "getDefaultPlaybackDevice", "getDefaultPlayBackMode",
    "getDefaultCaptureDevice", "getDefaultCaptureMode", "openPlaybackDevice",
    "openCaptureDevice", "getCurrentPlaybackDeviceName", "getCurrentPlayBackMode",
    "getCurrentCaptureDeviceName", "getCurrentCaptureMode", "initiateGracefulPlaybackShutdown",
    "closePlaybackDevice", "closeCaptureDevice", "activateCaptureDevice", "playWaveFileHandle",
    "pauseWaveFileHandle", "closeWaveFileHandle", "playWaveFile", "registerCustomDevice",
    "unregisterCustomDevice", "processCustomCaptureData", "acquireCustomPlaybackData",
    "getPreProcessorInfoValueFloat", "getPreProcessorConfigValue", "setPreProcessorConfigValue",
    "getEncodeConfigValue", "getPlaybackConfigValueAsFloat", "setPlaybackConfigValue",
    "setClientVolumeModifier", "startVoiceRecording", "stopVoiceRecording",
    "systemset3DListenerAttributes", "set3DWaveAttributes", "systemset3DSettings",
    "channelset3DAttributes", "startConnection", "stopConnection", "requestClientMove",
    "requestClientVariables", "requestClientKickFromChannel", "requestClientKickFromServer",
    "requestChannelDelete", "requestChannelMove", "requestSendPrivateTextMsg",
    "requestSendChannelTextMsg", "requestSendServerTextMsg", "requestConnectionInfo",
    "requestClientSetWhisperList", "requestChannelSubscribe", "requestChannelSubscribeAll",
    "requestChannelUnsubscribe", "requestChannelUnsubscribeAll", "requestChannelDescription",
    "requestMuteClients", "requestUnmuteClients", "requestClientPoke", "requestClientIDs",
    "clientChatClosed", "clientChatComposing", "requestServerTemporaryPasswordAdd",
    "requestServerTemporaryPasswordDel", "requestServerTemporaryPasswordList", "getClientID",
    "getClientSelfVariableAsInt", "getClientSelfVariableAsString", "setClientSelfVariableAsInt",
    "setClientSelfVariableAsString", "flushClientSelfUpdates", "getClientVariableAsInt",
    "getClientVariableAsUInt64", "getClientVariableAsString", "getClientList",
    "getChannelOfClient", "getChannelVariableAsInt", "getChannelVariableAsUInt64",
    "getChannelVariableAsString", "getChannelIDFromChannelNames", "setChannelVariableAsInt",
    "setChannelVariableAsUInt64", "setChannelVariableAsString", "flushChannelUpdates",
    "flushChannelCreation", "getChannelList", "getChannelClientList",
    "getParentChannelOfChannel", "getServerConnectionHandlerList", "getServerVariableAsInt",
    "getServerVariableAsUInt64", "getServerVariableAsString", "requestServerVariables",
    "getConnectionStatus", "getConnectionVariableAsUInt64", "getConnectionVariableAsDouble",
    "getConnectionVariableAsString", "cleanUpConnectionInfo", "requestClientDBIDfromUID",
    "requestClientNamefromUID", "requestClientNamefromDBID", "requestClientEditDescription",
    "requestClientSetIsTalker", "requestIsTalker", "requestSendClientQueryCommand",
    "getTransferFileName", "getTransferFilePath", "getTransferFileSize",
    "getTransferFileSizeDone", "isTransferSender", "getTransferStatus",
    "getCurrentTransferSpeed", "getAverageTransferSpeed", "getTransferRunTime", "sendFile",
    "requestFile", "haltTransfer", "requestFileList", "requestFileInfo", "requestDeleteFile",
    "requestCreateDirectory", "requestRenameFile", "requestMessageAdd", "requestMessageDel",
    "requestMessageGet", "requestMessageList", "requestMessageUpdateFlag",
    "verifyServerPassword", "verifyChannelPassword", "banclient", "banadd", "banclientdbid",
    "bandel", "bandelall", "requestBanList", "requestComplainAdd", "requestComplainDel",
    "requestComplainDelAll", "requestComplainList", "requestServerGroupList",
    "requestServerGroupAdd", "requestServerGroupDel", "requestServerGroupAddClient",
    "requestServerGroupDelClient", "requestServerGroupsByClientID", "requestServerGroupAddPerm",
    "requestServerGroupDelPerm", "requestServerGroupPermList", "requestServerGroupClientList",
    "requestChannelGroupList", "requestChannelGroupAdd", "requestChannelGroupDel",
    "requestChannelGroupAddPerm", "requestChannelGroupDelPerm", "requestChannelGroupPermList",
    "requestSetClientChannelGroup", "requestChannelAddPerm", "requestChannelDelPerm",
    "requestChannelPermList", "requestClientAddPerm", "requestClientDelPerm",
    "requestClientPermList", "requestChannelClientAddPerm", "requestChannelClientDelPerm",
    "requestChannelClientPermList", "privilegeKeyUse", "requestPermissionList",
    "requestPermissionOverview", "clientPropertyStringToFlag", "channelPropertyStringToFlag",
    "serverPropertyStringToFlag", "getAppPath", "getResourcesPath", "getConfigPath",
    "getPluginPath", "getCurrentServerConnectionHandlerID", "printMessage",
    "printMessageToCurrentTab", "urlsToBB", "sendPluginCommand", "getDirectories",
    "getServerConnectInfo", "getChannelConnectInfo", "createReturnCode", "requestInfoUpdate",
    "getServerVersion", "isWhispering", "isReceivingWhisper", "getAvatar",
    "setPluginMenuEnabled", "showHotkeySetup", "requestHotkeyInputDialog",
    "getHotkeyFromKeyword", "getClientDisplayName", "getBookmarkList", "getProfileList",
    "guiConnect", "guiConnectBookmark", "createBookmark", "getPermissionIDByName",
    "getClientNeededPermission", "notifyKeyEvent", "startRecording", "stopRecording",
    "requestClientsMove", "requestClientsKickFromChannel", "requestClientsKickFromServer",
    "requestMuteClientsTemporary", "requestUnmuteClientsTemporary", "getPermissionNameByID",
    "clientPropertyFlagToString", "channelPropertyFlagToString", "serverPropertyFlagToString",
    "setServerVariableAsInt", "setServerVariableAsUInt64", "setServerVariableAsDouble",
    "setServerVariableAsString", "flushServerUpdates", "getServerGroupIDByName",
    "getServerGroupNameByID", "getChannelGroupIDByName", "getChannelGroupNameByID",
};
static_assert(sizeof(kSlotNames) / sizeof(kSlotNames[0]) == HostModel::kSlotCount26,
              "one name per slot");

struct Api26Names {
    static const char* name(size_t i) { return kSlotNames[i]; }
};

// ---- the slots only API 26 has, or declares its own way -----------------------

unsigned getClientLibVersionNumber(uint64* result) {
    Call call("getClientLibVersionNumber");
    unsigned e;
    if (call.failed(&e)) return e;
    if (!result) return call.finish(err::kParameterInvalid);
    *result = call.model()->clientLibVersionNumber;
    call.data().answer = std::to_string(static_cast<unsigned long long>(*result));
    return call.finish(err::kOk);
}

void getPluginPath(char* path, size_t maxLen, const char* pluginID) {
    Call call("getPluginPath");
    call.data().api26 = true;
    call.data().text2 = str(pluginID);
    call.data().text2Null = !pluginID;
    answerPath(call, &HostModel::pluginPath, path, maxLen);
}

void sendPluginCommand(uint64 schid, const char* pluginID, const char* command, int targetMode,
                       const anyID* targetIDs, const char* returnCode) {
    Call call("sendPluginCommand", schid);
    call.data().api26 = true;
    call.data().returnCode = str(returnCode);
    call.data().returnCodeNull = !returnCode;
    recordPluginCommand(call, pluginID, command, targetMode, targetIDs);
}

// The client's menu entries and hotkeys: the model keeps what the plugin
// set, and answers key names from its bindings.
void setPluginMenuEnabled(const char* pluginID, int menuID, int enabled) {
    Call call("setPluginMenuEnabled");
    call.data().text2 = str(pluginID);
    call.data().text2Null = !pluginID;
    call.data().id1 = static_cast<uint64>(static_cast<unsigned>(menuID));
    call.data().number = enabled;
    unsigned e;
    if (call.failed(&e)) return;
    call.model()->setMenuEnabled(menuID, enabled != 0);
}

void showHotkeySetup() {
    Call call("showHotkeySetup");
    unsigned e;
    call.failed(&e);
}

unsigned getHotkeyFromKeyword(const char* pluginID, const char** keywords, char** hotkeys,
                              size_t arrayLen, size_t hotkeyBufSize) {
    Call call("getHotkeyFromKeyword");
    call.data().text2 = str(pluginID);
    call.data().text2Null = !pluginID;
    call.data().id1 = arrayLen;
    call.data().id2 = hotkeyBufSize;
    unsigned e;
    if (call.failed(&e)) return e;
    if (!keywords || !hotkeys || hotkeyBufSize == 0) return call.finish(err::kParameterInvalid);
    std::string answer;
    for (size_t i = 0; i < arrayLen; ++i) {
        if (!keywords[i] || !hotkeys[i]) return call.finish(err::kParameterInvalid);
        const std::string key = call.model()->hotkeyBinding(keywords[i]);
        const size_t n = key.size() < hotkeyBufSize - 1 ? key.size() : hotkeyBufSize - 1;
        std::memcpy(hotkeys[i], key.data(), n);
        hotkeys[i][n] = '\0';
        if (i) answer += ',';
        answer += std::string(keywords[i]) + "=" + key.substr(0, n);
    }
    call.data().answer = answer;
    return call.finish(err::kOk);
}

}  // namespace

const char* HostModel::slotName26(size_t index) {
    return index < kSlotCount26 ? kSlotNames[index] : "";
}

HostFunctions26 HostModel::table26() {
    HostFunctions26 t = stubTable<HostFunctions26, Api26Names>();
    setSharedSlots(t);
    t.getClientLibVersionNumber = &getClientLibVersionNumber;
    t.getPluginPath = &getPluginPath;
    t.sendPluginCommand = &sendPluginCommand;
    t.setPluginMenuEnabled = &setPluginMenuEnabled;
    t.showHotkeySetup = &showHotkeySetup;
    t.getHotkeyFromKeyword = &getHotkeyFromKeyword;
    return t;
}

}  // namespace hostsim
