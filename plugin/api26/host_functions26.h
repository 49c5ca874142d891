#pragma once
// The host's function table for plugin API 26, slot for slot. Slots the
// plugin does not call keep a generic pointer type; only their position matters.
#include <cstddef>
#include <cstdint>

#include "host_types.h"

struct HostFunctions26 {
    unsigned int (*getClientLibVersion)(char** result);  // 0
    unsigned int (*getClientLibVersionNumber)(uint64* result);  // 1
    HostSlot spawnNewServerConnectionHandler;  // 2
    HostSlot destroyServerConnectionHandler;  // 3
    HostSlot getErrorMessage;  // 4
    unsigned int (*freeMemory)(void* pointer);  // 5
    unsigned int (*logMessage)(const char* logMessage, int severity, const char* channel, uint64 logID);  // 6
    HostSlot getPlaybackDeviceList;  // 7
    HostSlot getPlaybackModeList;  // 8
    HostSlot getCaptureDeviceList;  // 9
    HostSlot getCaptureModeList;  // 10
    HostSlot getDefaultPlaybackDevice;  // 11
    HostSlot getDefaultPlayBackMode;  // 12
    HostSlot getDefaultCaptureDevice;  // 13
    HostSlot getDefaultCaptureMode;  // 14
    HostSlot openPlaybackDevice;  // 15
    HostSlot openCaptureDevice;  // 16
    HostSlot getCurrentPlaybackDeviceName;  // 17
    HostSlot getCurrentPlayBackMode;  // 18
    HostSlot getCurrentCaptureDeviceName;  // 19
    HostSlot getCurrentCaptureMode;  // 20
    HostSlot initiateGracefulPlaybackShutdown;  // 21
    HostSlot closePlaybackDevice;  // 22
    HostSlot closeCaptureDevice;  // 23
    HostSlot activateCaptureDevice;  // 24
    HostSlot playWaveFileHandle;  // 25
    HostSlot pauseWaveFileHandle;  // 26
    HostSlot closeWaveFileHandle;  // 27
    HostSlot playWaveFile;  // 28
    HostSlot registerCustomDevice;  // 29
    HostSlot unregisterCustomDevice;  // 30
    HostSlot processCustomCaptureData;  // 31
    HostSlot acquireCustomPlaybackData;  // 32
    HostSlot getPreProcessorInfoValueFloat;  // 33
    HostSlot getPreProcessorConfigValue;  // 34
    HostSlot setPreProcessorConfigValue;  // 35
    HostSlot getEncodeConfigValue;  // 36
    HostSlot getPlaybackConfigValueAsFloat;  // 37
    HostSlot setPlaybackConfigValue;  // 38
    HostSlot setClientVolumeModifier;  // 39
    HostSlot startVoiceRecording;  // 40
    HostSlot stopVoiceRecording;  // 41
    HostSlot systemset3DListenerAttributes;  // 42
    HostSlot set3DWaveAttributes;  // 43
    HostSlot systemset3DSettings;  // 44
    HostSlot channelset3DAttributes;  // 45
    HostSlot startConnection;  // 46
    HostSlot stopConnection;  // 47
    unsigned int (*requestClientMove)(uint64 schid, anyID clientID, uint64 newChannelID, const char* password, const char* returnCode);  // 48
    HostSlot requestClientVariables;  // 49
    HostSlot requestClientKickFromChannel;  // 50
    HostSlot requestClientKickFromServer;  // 51
    HostSlot requestChannelDelete;  // 52
    HostSlot requestChannelMove;  // 53
    HostSlot requestSendPrivateTextMsg;  // 54
    HostSlot requestSendChannelTextMsg;  // 55
    HostSlot requestSendServerTextMsg;  // 56
    unsigned int (*requestConnectionInfo)(uint64 schid, anyID clientID, const char* returnCode);  // 57
    HostSlot requestClientSetWhisperList;  // 58
    HostSlot requestChannelSubscribe;  // 59
    HostSlot requestChannelSubscribeAll;  // 60
    HostSlot requestChannelUnsubscribe;  // 61
    HostSlot requestChannelUnsubscribeAll;  // 62
    HostSlot requestChannelDescription;  // 63
    HostSlot requestMuteClients;  // 64
    HostSlot requestUnmuteClients;  // 65
    HostSlot requestClientPoke;  // 66
    HostSlot requestClientIDs;  // 67
    HostSlot clientChatClosed;  // 68
    HostSlot clientChatComposing;  // 69
    HostSlot requestServerTemporaryPasswordAdd;  // 70
    HostSlot requestServerTemporaryPasswordDel;  // 71
    HostSlot requestServerTemporaryPasswordList;  // 72
    unsigned int (*getClientID)(uint64 schid, anyID* result);  // 73
    HostSlot getClientSelfVariableAsInt;  // 74
    HostSlot getClientSelfVariableAsString;  // 75
    HostSlot setClientSelfVariableAsInt;  // 76
    HostSlot setClientSelfVariableAsString;  // 77
    HostSlot flushClientSelfUpdates;  // 78
    unsigned int (*getClientVariableAsInt)(uint64 schid, anyID clientID, size_t flag, int* result);  // 79
    HostSlot getClientVariableAsUInt64;  // 80
    unsigned int (*getClientVariableAsString)(uint64 schid, anyID clientID, size_t flag, char** result);  // 81
    unsigned int (*getClientList)(uint64 schid, anyID** result);  // 82
    unsigned int (*getChannelOfClient)(uint64 schid, anyID clientID, uint64* result);  // 83
    HostSlot getChannelVariableAsInt;  // 84
    HostSlot getChannelVariableAsUInt64;  // 85
    unsigned int (*getChannelVariableAsString)(uint64 schid, uint64 channelID, size_t flag, char** result);  // 86
    HostSlot getChannelIDFromChannelNames;  // 87
    HostSlot setChannelVariableAsInt;  // 88
    HostSlot setChannelVariableAsUInt64;  // 89
    HostSlot setChannelVariableAsString;  // 90
    HostSlot flushChannelUpdates;  // 91
    HostSlot flushChannelCreation;  // 92
    unsigned int (*getChannelList)(uint64 schid, uint64** result);  // 93
    unsigned int (*getChannelClientList)(uint64 schid, uint64 channelID, anyID** result);  // 94
    HostSlot getParentChannelOfChannel;  // 95
    unsigned int (*getServerConnectionHandlerList)(uint64** result);  // 96
    HostSlot getServerVariableAsInt;  // 97
    HostSlot getServerVariableAsUInt64;  // 98
    unsigned int (*getServerVariableAsString)(uint64 schid, size_t flag, char** result);  // 99
    HostSlot requestServerVariables;  // 100
    HostSlot getConnectionStatus;  // 101
    HostSlot getConnectionVariableAsUInt64;  // 102
    HostSlot getConnectionVariableAsDouble;  // 103
    unsigned int (*getConnectionVariableAsString)(uint64 schid, anyID clientID, size_t flag, char** result);  // 104
    HostSlot cleanUpConnectionInfo;  // 105
    HostSlot requestClientDBIDfromUID;  // 106
    HostSlot requestClientNamefromUID;  // 107
    HostSlot requestClientNamefromDBID;  // 108
    HostSlot requestClientEditDescription;  // 109
    HostSlot requestClientSetIsTalker;  // 110
    HostSlot requestIsTalker;  // 111
    HostSlot requestSendClientQueryCommand;  // 112
    HostSlot getTransferFileName;  // 113
    HostSlot getTransferFilePath;  // 114
    HostSlot getTransferFileSize;  // 115
    HostSlot getTransferFileSizeDone;  // 116
    HostSlot isTransferSender;  // 117
    HostSlot getTransferStatus;  // 118
    HostSlot getCurrentTransferSpeed;  // 119
    HostSlot getAverageTransferSpeed;  // 120
    HostSlot getTransferRunTime;  // 121
    HostSlot sendFile;  // 122
    HostSlot requestFile;  // 123
    HostSlot haltTransfer;  // 124
    HostSlot requestFileList;  // 125
    HostSlot requestFileInfo;  // 126
    HostSlot requestDeleteFile;  // 127
    HostSlot requestCreateDirectory;  // 128
    HostSlot requestRenameFile;  // 129
    HostSlot requestMessageAdd;  // 130
    HostSlot requestMessageDel;  // 131
    HostSlot requestMessageGet;  // 132
    HostSlot requestMessageList;  // 133
    HostSlot requestMessageUpdateFlag;  // 134
    HostSlot verifyServerPassword;  // 135
    HostSlot verifyChannelPassword;  // 136
    HostSlot banclient;  // 137
    HostSlot banadd;  // 138
    HostSlot banclientdbid;  // 139
    HostSlot bandel;  // 140
    HostSlot bandelall;  // 141
    HostSlot requestBanList;  // 142
    HostSlot requestComplainAdd;  // 143
    HostSlot requestComplainDel;  // 144
    HostSlot requestComplainDelAll;  // 145
    HostSlot requestComplainList;  // 146
    HostSlot requestServerGroupList;  // 147
    HostSlot requestServerGroupAdd;  // 148
    HostSlot requestServerGroupDel;  // 149
    HostSlot requestServerGroupAddClient;  // 150
    HostSlot requestServerGroupDelClient;  // 151
    HostSlot requestServerGroupsByClientID;  // 152
    HostSlot requestServerGroupAddPerm;  // 153
    HostSlot requestServerGroupDelPerm;  // 154
    HostSlot requestServerGroupPermList;  // 155
    HostSlot requestServerGroupClientList;  // 156
    HostSlot requestChannelGroupList;  // 157
    HostSlot requestChannelGroupAdd;  // 158
    HostSlot requestChannelGroupDel;  // 159
    HostSlot requestChannelGroupAddPerm;  // 160
    HostSlot requestChannelGroupDelPerm;  // 161
    HostSlot requestChannelGroupPermList;  // 162
    HostSlot requestSetClientChannelGroup;  // 163
    HostSlot requestChannelAddPerm;  // 164
    HostSlot requestChannelDelPerm;  // 165
    HostSlot requestChannelPermList;  // 166
    HostSlot requestClientAddPerm;  // 167
    HostSlot requestClientDelPerm;  // 168
    HostSlot requestClientPermList;  // 169
    HostSlot requestChannelClientAddPerm;  // 170
    HostSlot requestChannelClientDelPerm;  // 171
    HostSlot requestChannelClientPermList;  // 172
    HostSlot privilegeKeyUse;  // 173
    HostSlot requestPermissionList;  // 174
    HostSlot requestPermissionOverview;  // 175
    HostSlot clientPropertyStringToFlag;  // 176
    HostSlot channelPropertyStringToFlag;  // 177
    HostSlot serverPropertyStringToFlag;  // 178
    void (*getAppPath)(char* path, size_t maxLen);  // 179
    void (*getResourcesPath)(char* path, size_t maxLen);  // 180
    void (*getConfigPath)(char* path, size_t maxLen);  // 181
    void (*getPluginPath)(char* path, size_t maxLen, const char* pluginID);  // 182
    uint64 (*getCurrentServerConnectionHandlerID)();  // 183
    HostSlot printMessage;  // 184
    void (*printMessageToCurrentTab)(const char* message);  // 185
    HostSlot urlsToBB;  // 186
    void (*sendPluginCommand)(uint64 schid, const char* pluginID, const char* command, int targetMode, const anyID* targetIDs, const char* returnCode);  // 187
    HostSlot getDirectories;  // 188
    HostSlot getServerConnectInfo;  // 189
    HostSlot getChannelConnectInfo;  // 190
    HostSlot createReturnCode;  // 191
    HostSlot requestInfoUpdate;  // 192
    HostSlot getServerVersion;  // 193
    HostSlot isWhispering;  // 194
    HostSlot isReceivingWhisper;  // 195
    HostSlot getAvatar;  // 196
    void (*setPluginMenuEnabled)(const char* pluginID, int menuID, int enabled);  // 197
    void (*showHotkeySetup)();  // 198
    HostSlot requestHotkeyInputDialog;  // 199
    unsigned int (*getHotkeyFromKeyword)(const char* pluginID, const char** keywords, char** hotkeys,
                                         size_t arrayLen, size_t hotkeyBufSize);  // 200
    HostSlot getClientDisplayName;  // 201
    HostSlot getBookmarkList;  // 202
    HostSlot getProfileList;  // 203
    HostSlot guiConnect;  // 204
    HostSlot guiConnectBookmark;  // 205
    HostSlot createBookmark;  // 206
    HostSlot getPermissionIDByName;  // 207
    HostSlot getClientNeededPermission;  // 208
    HostSlot notifyKeyEvent;  // 209
    HostSlot startRecording;  // 210
    HostSlot stopRecording;  // 211
    HostSlot requestClientsMove;  // 212
    HostSlot requestClientsKickFromChannel;  // 213
    HostSlot requestClientsKickFromServer;  // 214
    HostSlot requestMuteClientsTemporary;  // 215
    HostSlot requestUnmuteClientsTemporary;  // 216
    HostSlot getPermissionNameByID;  // 217
    HostSlot clientPropertyFlagToString;  // 218
    HostSlot channelPropertyFlagToString;  // 219
    HostSlot serverPropertyFlagToString;  // 220
    HostSlot setServerVariableAsInt;  // 221
    HostSlot setServerVariableAsUInt64;  // 222
    HostSlot setServerVariableAsDouble;  // 223
    HostSlot setServerVariableAsString;  // 224
    HostSlot flushServerUpdates;  // 225
    HostSlot getServerGroupIDByName;  // 226
    HostSlot getServerGroupNameByID;  // 227
    HostSlot getChannelGroupIDByName;  // 228
    HostSlot getChannelGroupNameByID;  // 229
};

static_assert(sizeof(HostFunctions26) == 230 * sizeof(void*), "230 slots");
static_assert(offsetof(HostFunctions26, getClientLibVersion) == 0 * sizeof(void*), "slot 0");
static_assert(offsetof(HostFunctions26, getClientLibVersionNumber) == 1 * sizeof(void*), "slot 1");
static_assert(offsetof(HostFunctions26, freeMemory) == 5 * sizeof(void*), "slot 5");
static_assert(offsetof(HostFunctions26, logMessage) == 6 * sizeof(void*), "slot 6");
static_assert(offsetof(HostFunctions26, requestClientMove) == 48 * sizeof(void*), "slot 48");
static_assert(offsetof(HostFunctions26, requestConnectionInfo) == 57 * sizeof(void*), "slot 57");
static_assert(offsetof(HostFunctions26, getClientID) == 73 * sizeof(void*), "slot 73");
static_assert(offsetof(HostFunctions26, getClientVariableAsInt) == 79 * sizeof(void*), "slot 79");
static_assert(offsetof(HostFunctions26, getClientVariableAsString) == 81 * sizeof(void*), "slot 81");
static_assert(offsetof(HostFunctions26, getClientList) == 82 * sizeof(void*), "slot 82");
static_assert(offsetof(HostFunctions26, getChannelOfClient) == 83 * sizeof(void*), "slot 83");
static_assert(offsetof(HostFunctions26, getChannelVariableAsString) == 86 * sizeof(void*), "slot 86");
static_assert(offsetof(HostFunctions26, getChannelList) == 93 * sizeof(void*), "slot 93");
static_assert(offsetof(HostFunctions26, getChannelClientList) == 94 * sizeof(void*), "slot 94");
static_assert(offsetof(HostFunctions26, getServerConnectionHandlerList) == 96 * sizeof(void*), "slot 96");
static_assert(offsetof(HostFunctions26, getServerVariableAsString) == 99 * sizeof(void*), "slot 99");
static_assert(offsetof(HostFunctions26, getConnectionVariableAsString) == 104 * sizeof(void*), "slot 104");
static_assert(offsetof(HostFunctions26, getAppPath) == 179 * sizeof(void*), "slot 179");
static_assert(offsetof(HostFunctions26, getResourcesPath) == 180 * sizeof(void*), "slot 180");
static_assert(offsetof(HostFunctions26, getConfigPath) == 181 * sizeof(void*), "slot 181");
static_assert(offsetof(HostFunctions26, getPluginPath) == 182 * sizeof(void*), "slot 182");
static_assert(offsetof(HostFunctions26, getCurrentServerConnectionHandlerID) == 183 * sizeof(void*), "slot 183");
static_assert(offsetof(HostFunctions26, printMessageToCurrentTab) == 185 * sizeof(void*), "slot 185");
static_assert(offsetof(HostFunctions26, sendPluginCommand) == 187 * sizeof(void*), "slot 187");
static_assert(offsetof(HostFunctions26, setPluginMenuEnabled) == 197 * sizeof(void*), "slot 197");
static_assert(offsetof(HostFunctions26, showHotkeySetup) == 198 * sizeof(void*), "slot 198");
static_assert(offsetof(HostFunctions26, getHotkeyFromKeyword) == 200 * sizeof(void*), "slot 200");

// What a plugin hands the host for its menu entries and hotkeys, each block
// from the heap the plugin's ts3plugin_freeMemory gives back to.
inline constexpr size_t kMenuTextBytes = 128;

// The client's menu the entry goes into.
enum PluginMenuType : int { PLUGIN_MENU_GLOBAL = 0, PLUGIN_MENU_CHANNEL = 1, PLUGIN_MENU_CLIENT = 2 };

struct PluginMenuItem {
    int type;                    // PluginMenuType
    int id;                      // the plugin's own number, passed back on use
    char text[kMenuTextBytes];   // UTF-8
    char icon[kMenuTextBytes];   // UTF-8 file name, empty for none
};

struct PluginHotkey {
    char keyword[kMenuTextBytes];      // the plugin's own word, passed back on use
    char description[kMenuTextBytes];  // UTF-8, shown in the client's hotkey settings
};

static_assert(sizeof(PluginMenuItem) == 264, "menu item: 264 bytes");
static_assert(alignof(PluginMenuItem) == 4, "menu item: 4-byte aligned");
static_assert(offsetof(PluginMenuItem, text) == 8 && offsetof(PluginMenuItem, icon) == 136,
              "menu item layout");
static_assert(sizeof(PluginHotkey) == 256, "hotkey: 256 bytes");
static_assert(offsetof(PluginHotkey, description) == 128, "hotkey layout");
