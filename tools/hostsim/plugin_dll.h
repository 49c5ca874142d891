#pragma once
// Loads a plugin DLL the way the host does and resolves its API-8 entry
// points by name. Every export is a typed function pointer (null when the
// DLL lacks it); missingExports() names the absent ones.
#include <windows.h>

#include <string>
#include <vector>

#include "host_functions8.h"

namespace hostsim {

// The 43 API-8 exports: X(member, type). The export name is "ts3plugin_" +
// member. This list is the only place they are named.
#define HOSTSIM_PLUGIN_EXPORTS(X)                                                              \
    X(name, const char* (*)())                                                                 \
    X(version, const char* (*)())                                                              \
    X(apiVersion, int (*)())                                                                   \
    X(author, const char* (*)())                                                               \
    X(description, const char* (*)())                                                          \
    X(setFunctionPointers, void (*)(const HostFunctions))                                      \
    X(init, int (*)())                                                                         \
    X(shutdown, void (*)())                                                                    \
    X(offersConfigure, int (*)())                                                              \
    X(configure, void (*)(void*, void*))                                                       \
    X(registerPluginCommandID, void (*)(const char*))                                          \
    X(commandKeyword, const char* (*)())                                                       \
    X(processCommand, int (*)(uint64, const char*))                                            \
    X(currentServerConnectionChanged, void (*)(uint64))                                        \
    X(pluginEvent, void (*)(unsigned short, const char*))                                      \
    X(onConnectStatusChangeEvent, void (*)(uint64, int, unsigned int))                         \
    X(onUpdateClientEvent, void (*)(uint64, anyID))                                            \
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
    X(onServerErrorEvent, void (*)(uint64, const char*, unsigned int, const char*,             \
                                   const char*))                                               \
    X(onServerStopEvent, void (*)(uint64, const char*))                                        \
    X(onServerConnectionInfoEvent, void (*)(uint64))                                           \
    X(onChannelSubscribeEvent, void (*)(uint64, uint64))                                       \
    X(onChannelSubscribeFinishedEvent, void (*)(uint64))                                       \
    X(onChannelUnsubscribeEvent, void (*)(uint64, uint64))                                     \
    X(onChannelUnsubscribeFinishedEvent, void (*)(uint64))                                     \
    X(onChannelDescriptionUpdateEvent, void (*)(uint64, uint64))                               \
    X(onChannelPasswordChangedEvent, void (*)(uint64, uint64))                                 \
    X(onCustomCaptureDeviceCloseEvent, void (*)(uint64, void*))                                \
    X(onCustomPlaybackDeviceCloseEvent, void (*)(uint64, void*))                               \
    X(onFMODChannelCreatedEvent, void (*)(uint64, anyID, void*))                               \
    X(onPlaybackShutdownCompleteEvent, void (*)(uint64))                                       \
    X(onUserLoggingMessageEvent, void (*)(const char*, int, const char*, uint64, const char*,  \
                                          const char*))                                        \
    X(onVoiceRecordDataEvent, void (*)(const float*, unsigned int))

class PluginDll {
    template <typename T>
    using Export = T;  // lets a declarator name a function-pointer type

public:
    PluginDll() = default;
    explicit PluginDll(const std::wstring& path) { load(path); }
    ~PluginDll() { unload(); }
    PluginDll(const PluginDll&) = delete;
    PluginDll& operator=(const PluginDll&) = delete;
    PluginDll(PluginDll&& other) noexcept { *this = std::move(other); }
    PluginDll& operator=(PluginDll&& other) noexcept;

    // LoadLibraryW, then resolves every export. False when the library did
    // not load (see loadError()); a loaded library may still miss exports.
    bool load(const std::wstring& path);
    // FreeLibrary; every pointer goes back to null. Safe to call twice.
    void unload();

    bool loaded() const { return module_ != nullptr; }
    // Loaded and every export present.
    bool complete() const { return module_ && missing_.empty(); }
    HMODULE module() const { return module_; }
    DWORD loadError() const { return loadError_; }
    const std::wstring& path() const { return path_; }
    const std::vector<std::string>& missingExports() const { return missing_; }

    // The 43 export names, in the order of HOSTSIM_PLUGIN_EXPORTS.
    static const std::vector<std::string>& exportNames();

#define HOSTSIM_DECLARE_EXPORT(member, type) Export<type> member = nullptr;
    HOSTSIM_PLUGIN_EXPORTS(HOSTSIM_DECLARE_EXPORT)
#undef HOSTSIM_DECLARE_EXPORT

private:
    void clearPointers();

    HMODULE module_ = nullptr;
    DWORD loadError_ = 0;
    std::wstring path_;
    std::vector<std::string> missing_;
};

}  // namespace hostsim
