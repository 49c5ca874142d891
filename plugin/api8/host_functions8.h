#pragma once
// The host's function table for plugin API 8, slot for slot. Slots the
// plugin does not call keep a generic pointer type; only their position matters.
#include <cstddef>
#include <cstdint>

#include "host_types.h"

struct HostFunctions {
    unsigned int (*getClientLibVersion)(char** result);  // 0
    HostSlot spawnNewServerConnectionHandler;  // 1
    HostSlot destroyServerConnectionHandler;  // 2
    HostSlot getErrorMessage;  // 3
    unsigned int (*freeMemory)(void* pointer);  // 4
    unsigned int (*logMessage)(const char* logMessage, int severity, const char* channel, uint64 logID);  // 5
    HostSlot getPlaybackDeviceList;  // 6
    HostSlot getPlaybackModeList;  // 7
    HostSlot getCaptureDeviceList;  // 8
    HostSlot getCaptureModeList;  // 9
    HostSlot getDefaultPlaybackDevice;  // 10
    HostSlot getDefaultPlayBackMode;  // 11
    HostSlot getDefaultCaptureDevice;  // 12
    HostSlot getDefaultCaptureMode;  // 13
    HostSlot openPlaybackDevice;  // 14
    HostSlot openCaptureDevice;  // 15
    HostSlot openCustomPlaybackDevice;  // 16
    HostSlot openCustomCaptureDevice;  // 17
    HostSlot getCurrentPlaybackDeviceName;  // 18
    HostSlot getCurrentPlaybackDevice;  // 19
    HostSlot getCurrentPlayBackMode;  // 20
    HostSlot getCurrentCaptureDeviceName;  // 21
    HostSlot getCurrentCaptureDevice;  // 22
    HostSlot getCurrentCaptureMode;  // 23
    HostSlot initiateGracefulPlaybackShutdown;  // 24
    HostSlot closePlaybackDevice;  // 25
    HostSlot closeCaptureDevice;  // 26
    HostSlot activateCaptureDevice;  // 27
    HostSlot activateCustomCaptureDevice;  // 28
    HostSlot playWaveFile;  // 29
    HostSlot getPreProcessorInfoValueFloat;  // 30
    HostSlot getPreProcessorConfigValue;  // 31
    HostSlot setPreProcessorConfigValue;  // 32
    HostSlot getEncodeConfigValue;  // 33
    HostSlot getPlaybackConfigValueAsFloat;  // 34
    HostSlot setPlaybackConfigValue;  // 35
    HostSlot startVoiceRecording;  // 36
    HostSlot stopVoiceRecording;  // 37
    HostSlot fmod_Systemset3DListenerAttributes;  // 38
    HostSlot fmod_Systemset3DSettings;  // 39
    HostSlot fmod_Channelset3DAttributes;  // 40
    HostSlot startConnection;  // 41
    HostSlot stopConnection;  // 42
    unsigned int (*requestClientMove)(uint64 schid, anyID clientID, uint64 newChannelID, const char* password, const char* returnCode);  // 43
    HostSlot requestClientVariables;  // 44
    HostSlot requestClientKickFromChannel;  // 45
    HostSlot requestClientKickFromServer;  // 46
    HostSlot requestChannelDelete;  // 47
    HostSlot requestChannelMove;  // 48
    HostSlot requestSendPrivateTextMsg;  // 49
    HostSlot requestSendChannelTextMsg;  // 50
    HostSlot requestSendServerTextMsg;  // 51
    unsigned int (*requestConnectionInfo)(uint64 schid, anyID clientID, const char* returnCode);  // 52
    HostSlot requestClientSetWhisperList;  // 53
    HostSlot requestChannelSubscribe;  // 54
    HostSlot requestChannelSubscribeAll;  // 55
    HostSlot requestChannelUnsubscribe;  // 56
    HostSlot requestChannelUnsubscribeAll;  // 57
    HostSlot requestChannelDescription;  // 58
    HostSlot requestMuteClients;  // 59
    HostSlot requestUnmuteClients;  // 60
    HostSlot requestClientPoke;  // 61
    HostSlot clientChatClosed;  // 62
    HostSlot clientChatComposing;  // 63
    unsigned int (*getClientID)(uint64 schid, anyID* result);  // 64
    HostSlot getClientSelfVariableAsInt;  // 65
    HostSlot getClientSelfVariableAsString;  // 66
    HostSlot setClientSelfVariableAsInt;  // 67
    HostSlot setClientSelfVariableAsString;  // 68
    HostSlot flushClientSelfUpdates;  // 69
    unsigned int (*getClientVariableAsInt)(uint64 schid, anyID clientID, size_t flag, int* result);  // 70
    HostSlot getClientVariableAsUInt64;  // 71
    unsigned int (*getClientVariableAsString)(uint64 schid, anyID clientID, size_t flag, char** result);  // 72
    unsigned int (*getClientList)(uint64 schid, anyID** result);  // 73
    unsigned int (*getChannelOfClient)(uint64 schid, anyID clientID, uint64* result);  // 74
    HostSlot getChannelVariableAsInt;  // 75
    unsigned int (*getChannelVariableAsString)(uint64 schid, uint64 channelID, size_t flag, char** result);  // 76
    HostSlot getChannelIDFromChannelNames;  // 77
    HostSlot getChannelVariableAsUInt64;  // 78
    HostSlot setChannelVariableAsInt;  // 79
    HostSlot setChannelVariableAsString;  // 80
    HostSlot setChannelVariableAsUInt64;  // 81
    HostSlot flushChannelUpdates;  // 82
    HostSlot flushChannelCreation;  // 83
    unsigned int (*getChannelList)(uint64 schid, uint64** result);  // 84
    unsigned int (*getChannelClientList)(uint64 schid, uint64 channelID, anyID** result);  // 85
    HostSlot getParentChannelOfChannel;  // 86
    unsigned int (*getServerConnectionHandlerList)(uint64** result);  // 87
    HostSlot getServerVariableAsInt;  // 88
    HostSlot getServerVariableAsUInt64;  // 89
    unsigned int (*getServerVariableAsString)(uint64 schid, size_t flag, char** result);  // 90
    HostSlot requestServerVariables;  // 91
    HostSlot getConnectionStatus;  // 92
    HostSlot getConnectionVariableAsUInt64;  // 93
    HostSlot getConnectionVariableAsDouble;  // 94
    unsigned int (*getConnectionVariableAsString)(uint64 schid, anyID clientID, size_t flag, char** result);  // 95
    HostSlot cleanUpConnectionInfo;  // 96
    HostSlot requestClientDBIDfromUID;  // 97
    HostSlot requestClientNamefromUID;  // 98
    HostSlot requestClientNamefromDBID;  // 99
    HostSlot requestClientEditDescription;  // 100
    HostSlot requestClientSetIsTalker;  // 101
    HostSlot requestIsTalker;  // 102
    HostSlot getTransferFileName;  // 103
    HostSlot getTransferFilePath;  // 104
    HostSlot getTransferFileSize;  // 105
    HostSlot getTransferFileSizeDone;  // 106
    HostSlot isTransferSender;  // 107
    HostSlot getTransferStatus;  // 108
    HostSlot getCurrentTransferSpeed;  // 109
    HostSlot getAverageTransferSpeed;  // 110
    HostSlot getTransferRunTime;  // 111
    HostSlot sendFile;  // 112
    HostSlot requestFile;  // 113
    HostSlot haltTransfer;  // 114
    HostSlot requestFileList;  // 115
    HostSlot requestFileInfo;  // 116
    HostSlot requestDeleteFile;  // 117
    HostSlot requestCreateDirectory;  // 118
    HostSlot requestRenameFile;  // 119
    HostSlot requestMessageAdd;  // 120
    HostSlot requestMessageDel;  // 121
    HostSlot requestMessageGet;  // 122
    HostSlot requestMessageList;  // 123
    HostSlot requestMessageUpdateFlag;  // 124
    HostSlot banclient;  // 125
    HostSlot banadd;  // 126
    HostSlot bandel;  // 127
    HostSlot bandelall;  // 128
    HostSlot requestBanList;  // 129
    HostSlot requestComplainAdd;  // 130
    HostSlot requestComplainDel;  // 131
    HostSlot requestComplainDelAll;  // 132
    HostSlot requestComplainList;  // 133
    HostSlot requestServerGroupList;  // 134
    HostSlot requestServerGroupAdd;  // 135
    HostSlot requestServerGroupDel;  // 136
    HostSlot requestServerGroupAddClient;  // 137
    HostSlot requestServerGroupDelClient;  // 138
    HostSlot requestServerGroupsByClientID;  // 139
    HostSlot requestServerGroupAddPerm;  // 140
    HostSlot requestServerGroupDelPerm;  // 141
    HostSlot requestServerGroupPermList;  // 142
    HostSlot requestServerGroupClientList;  // 143
    HostSlot requestChannelGroupList;  // 144
    HostSlot requestChannelGroupAdd;  // 145
    HostSlot requestChannelGroupDel;  // 146
    HostSlot requestChannelGroupAddPerm;  // 147
    HostSlot requestChannelGroupDelPerm;  // 148
    HostSlot requestChannelGroupPermList;  // 149
    HostSlot requestSetClientChannelGroup;  // 150
    HostSlot requestChannelAddPerm;  // 151
    HostSlot requestChannelDelPerm;  // 152
    HostSlot requestChannelPermList;  // 153
    HostSlot requestClientAddPerm;  // 154
    HostSlot requestClientDelPerm;  // 155
    HostSlot requestClientPermList;  // 156
    HostSlot requestChannelClientAddPerm;  // 157
    HostSlot requestChannelClientDelPerm;  // 158
    HostSlot requestChannelClientPermList;  // 159
    HostSlot privilegeKeyUse;  // 160
    HostSlot requestPermissionList;  // 161
    HostSlot requestPermissionOverview;  // 162
    int (*getAPIVersion)();  // 163
    void (*getAppPath)(char* path, size_t maxLen);  // 164
    void (*getResourcesPath)(char* path, size_t maxLen);  // 165
    void (*getConfigPath)(char* path, size_t maxLen);  // 166
    void (*getPluginPath)(char* path, size_t maxLen);  // 167
    uint64 (*getCurrentServerConnectionHandlerID)();  // 168
    HostSlot printMessage;  // 169
    void (*printMessageToCurrentTab)(const char* message);  // 170
    HostSlot urlsToBB;  // 171
    void (*sendPluginCommand)(uint64 schid, const char* pluginCommandID, const char* command, int targetMode, const anyID* targetIDs);  // 172
    HostSlot getServerConnectInfo;  // 173
    HostSlot getChannelConnectInfo;  // 174
    HostSlot reserved;  // 175
};

static_assert(sizeof(HostFunctions) == 176 * sizeof(void*), "176 slots");
static_assert(offsetof(HostFunctions, getClientLibVersion) == 0 * sizeof(void*), "slot 0");
static_assert(offsetof(HostFunctions, freeMemory) == 4 * sizeof(void*), "slot 4");
static_assert(offsetof(HostFunctions, logMessage) == 5 * sizeof(void*), "slot 5");
static_assert(offsetof(HostFunctions, requestClientMove) == 43 * sizeof(void*), "slot 43");
static_assert(offsetof(HostFunctions, requestConnectionInfo) == 52 * sizeof(void*), "slot 52");
static_assert(offsetof(HostFunctions, getClientID) == 64 * sizeof(void*), "slot 64");
static_assert(offsetof(HostFunctions, getClientVariableAsInt) == 70 * sizeof(void*), "slot 70");
static_assert(offsetof(HostFunctions, getClientVariableAsString) == 72 * sizeof(void*), "slot 72");
static_assert(offsetof(HostFunctions, getClientList) == 73 * sizeof(void*), "slot 73");
static_assert(offsetof(HostFunctions, getChannelOfClient) == 74 * sizeof(void*), "slot 74");
static_assert(offsetof(HostFunctions, getChannelVariableAsString) == 76 * sizeof(void*), "slot 76");
static_assert(offsetof(HostFunctions, getChannelList) == 84 * sizeof(void*), "slot 84");
static_assert(offsetof(HostFunctions, getChannelClientList) == 85 * sizeof(void*), "slot 85");
static_assert(offsetof(HostFunctions, getServerConnectionHandlerList) == 87 * sizeof(void*), "slot 87");
static_assert(offsetof(HostFunctions, getServerVariableAsString) == 90 * sizeof(void*), "slot 90");
static_assert(offsetof(HostFunctions, getConnectionVariableAsString) == 95 * sizeof(void*), "slot 95");
static_assert(offsetof(HostFunctions, getAPIVersion) == 163 * sizeof(void*), "slot 163");
static_assert(offsetof(HostFunctions, getAppPath) == 164 * sizeof(void*), "slot 164");
static_assert(offsetof(HostFunctions, getResourcesPath) == 165 * sizeof(void*), "slot 165");
static_assert(offsetof(HostFunctions, getConfigPath) == 166 * sizeof(void*), "slot 166");
static_assert(offsetof(HostFunctions, getPluginPath) == 167 * sizeof(void*), "slot 167");
static_assert(offsetof(HostFunctions, getCurrentServerConnectionHandlerID) == 168 * sizeof(void*), "slot 168");
static_assert(offsetof(HostFunctions, printMessageToCurrentTab) == 170 * sizeof(void*), "slot 170");
static_assert(offsetof(HostFunctions, sendPluginCommand) == 172 * sizeof(void*), "slot 172");
