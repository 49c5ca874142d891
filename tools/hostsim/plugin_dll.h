#pragma once
// Loads a plugin DLL the way the host does and resolves its entry points by
// name, for API 8 or API 26. Every export is a typed function pointer (null
// when the DLL lacks it); missingExports() names the absent ones of the
// level the DLL was loaded as. The few calls whose form differs between the
// levels also have a level-neutral wrapper (setHostTable, registerId,
// updateClient), so a test can drive either DLL alike.
#include <windows.h>

#include <string>
#include <vector>

#include "host_functions26.h"
#include "host_functions8.h"

namespace hostsim {

// The exports, in three lists. X(member, type) in the first two: the export
// name is "ts3plugin_" + member. These lists are the only place they are named.
//
// The 34 entry points both API levels declare alike.
#define HOSTSIM_SHARED_EXPORTS(X)                                                              \
    X(name, const char* (*)())                                                                 \
    X(version, const char* (*)())                                                              \
    X(apiVersion, int (*)())                                                                   \
    X(author, const char* (*)())                                                               \
    X(description, const char* (*)())                                                          \
    X(init, int (*)())                                                                         \
    X(shutdown, void (*)())                                                                    \
    X(offersConfigure, int (*)())                                                              \
    X(configure, void (*)(void*, void*))                                                       \
    X(commandKeyword, const char* (*)())                                                       \
    X(processCommand, int (*)(uint64, const char*))                                            \
    X(currentServerConnectionChanged, void (*)(uint64))                                        \
    X(onConnectStatusChangeEvent, void (*)(uint64, int, unsigned int))                         \
    X(onClientMoveEvent, void (*)(uint64, anyID, uint64, uint64, int, const char*))            \
    X(onClientMoveSubscriptionEvent, void (*)(uint64, anyID, uint64, uint64, int))             \
    X(onClientMoveTimeoutEvent, void (*)(uint64, anyID, uint64, uint64, int, const char*))     \
    X(onClientMoveMovedEvent, void (*)(uint64, anyID, uint64, uint64, int, anyID, const char*, \
                                       const char*, const char*))                              \
    X(onClientKickFromChannelEvent, void (*)(uint64, anyID, uint64, uint64, int, anyID,        \
                                             const char*, const char*, const char*))           \
    X(onClientKickFromServerEvent, void (*)(uint64, anyID, uint64, uint64, int, anyID,         \
                                            const char*, const char*, const char*))            \
    X(onTalkStatusChangeEvent, void (*)(uint64, int, int, anyID))                              \
    X(onConnectionInfoEvent, void (*)(uint64, anyID))                                          \
    X(onTextMessageEvent, int (*)(uint64, anyID, anyID, anyID, const char*, const char*,       \
                                  const char*, int))                                           \
    X(onServerEditedEvent, void (*)(uint64, anyID, const char*, const char*))                  \
    X(onServerUpdatedEvent, void (*)(uint64))                                                  \
    X(onServerStopEvent, void (*)(uint64, const char*))                                        \
    X(onServerConnectionInfoEvent, void (*)(uint64))                                           \
    X(onChannelSubscribeEvent, void (*)(uint64, uint64))                                       \
    X(onChannelSubscribeFinishedEvent, void (*)(uint64))                                       \
    X(onChannelUnsubscribeEvent, void (*)(uint64, uint64))                                     \
    X(onChannelUnsubscribeFinishedEvent, void (*)(uint64))                                     \
    X(onChannelDescriptionUpdateEvent, void (*)(uint64, uint64))                               \
    X(onChannelPasswordChangedEvent, void (*)(uint64, uint64))                                 \
    X(onPlaybackShutdownCompleteEvent, void (*)(uint64))                                       \
    X(onUserLoggingMessageEvent, void (*)(const char*, int, const char*, uint64, const char*,  \
                                          const char*))

// The 9 that only API 8 has, or declares its own way (43 with the shared ones).
#define HOSTSIM_API8_EXPORTS(X)                                                                \
    X(setFunctionPointers, void (*)(const HostFunctions))                                      \
    X(registerPluginCommandID, void (*)(const char*))                                          \
    X(pluginEvent, void (*)(unsigned short, const char*))                                      \
    X(onUpdateClientEvent, void (*)(uint64, anyID))                                            \
    X(onServerErrorEvent, void (*)(uint64, const char*, unsigned int, const char*,             \
                                   const char*))                                               \
    X(onCustomCaptureDeviceCloseEvent, void (*)(uint64, void*))                                \
    X(onCustomPlaybackDeviceCloseEvent, void (*)(uint64, void*))                               \
    X(onFMODChannelCreatedEvent, void (*)(uint64, anyID, void*))                               \
    X(onVoiceRecordDataEvent, void (*)(const float*, unsigned int))

// The 4 that only API 26 has, or declares its own way (38 with the shared
// ones): X(member, export, type), the export name being "ts3plugin_" + export.
#define HOSTSIM_API26_EXPORTS(X)                                                               \
    X(setFunctionPointers26, setFunctionPointers, void (*)(const HostFunctions26))             \
    X(registerPluginID, registerPluginID, void (*)(const char*))                               \
    X(onUpdateClientEvent26, onUpdateClientEvent,                                              \
      void (*)(uint64, anyID, anyID, const char*, const char*))                                \
    X(onServerErrorEvent26, onServerErrorEvent,                                                \
      int (*)(uint64, const char*, unsigned int, const char*, const char*))

// The 5 an API-26 plugin may add for the client's Plugins menu and hotkey
// settings (X(member, type) as above). Not part of the level's count: a
// plugin without them loads all the same.
#define HOSTSIM_API26_OPTIONAL_EXPORTS(X)                                                      \
    X(freeMemory, void (*)(void*))                                                             \
    X(initMenus, void (*)(PluginMenuItem***, char**))                                          \
    X(onMenuItemEvent, void (*)(uint64, int, int, uint64))                                     \
    X(initHotkeys, void (*)(PluginHotkey***))                                                  \
    X(onHotkeyEvent, void (*)(const char*))

class PluginDll {
    template <typename T>
    using Export = T;  // lets a declarator name a function-pointer type

public:
    PluginDll() = default;
    explicit PluginDll(const std::wstring& path, int api = 8) { load(path, api); }
    ~PluginDll() { unload(); }
    PluginDll(const PluginDll&) = delete;
    PluginDll& operator=(const PluginDll&) = delete;
    PluginDll(PluginDll&& other) noexcept { *this = std::move(other); }
    PluginDll& operator=(PluginDll&& other) noexcept;

    // LoadLibraryW, then resolves every export of both levels (the optional
    // ones only at API 26); `api` (8 or
    // 26) says which set the library must have, 0 takes the level its
    // ts3plugin_apiVersion answers. False when the library did not load (see
    // loadError()); a loaded library may still miss exports.
    bool load(const std::wstring& path, int api = 8);
    // FreeLibrary; every pointer goes back to null. Safe to call twice.
    void unload();

    bool loaded() const { return module_ != nullptr; }
    // Loaded and every export of its level present.
    bool complete() const { return module_ && missing_.empty(); }
    int api() const { return api_; }
    HMODULE module() const { return module_; }
    DWORD loadError() const { return loadError_; }
    const std::wstring& path() const { return path_; }
    const std::vector<std::string>& missingExports() const { return missing_; }

    // The export names of a level: the shared ones, then the level's own
    // (43 for API 8, 38 for API 26).
    static const std::vector<std::string>& exportNames(int api = 8);

    // Hands over the complete table of the loaded level, bound to the
    // installed HostModel.
    void setHostTable();
    // ts3plugin_registerPluginCommandID (API 8) or ts3plugin_registerPluginID.
    void registerId(const char* id);
    // ts3plugin_onUpdateClientEvent; API 26 also names the invoker (here the
    // client itself).
    void updateClient(uint64 connection, anyID client);

#define HOSTSIM_DECLARE_EXPORT(member, type) Export<type> member = nullptr;
#define HOSTSIM_DECLARE_EXPORT26(member, name, type) Export<type> member = nullptr;
    HOSTSIM_SHARED_EXPORTS(HOSTSIM_DECLARE_EXPORT)
    HOSTSIM_API8_EXPORTS(HOSTSIM_DECLARE_EXPORT)
    HOSTSIM_API26_EXPORTS(HOSTSIM_DECLARE_EXPORT26)
    HOSTSIM_API26_OPTIONAL_EXPORTS(HOSTSIM_DECLARE_EXPORT)
#undef HOSTSIM_DECLARE_EXPORT
#undef HOSTSIM_DECLARE_EXPORT26

private:
    void clearPointers();

    HMODULE module_ = nullptr;
    int api_ = 8;
    DWORD loadError_ = 0;
    std::wstring path_;
    std::vector<std::string> missing_;
};

}  // namespace hostsim
