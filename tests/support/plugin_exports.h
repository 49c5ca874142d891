#pragma once
// The entry points each plugin DLL exports, by API level: what a host looks
// up by name. tests/package/check_package.py reads these lists too (the
// quoted names between the braces), to check the DLLs in the archives.
#include <string>
#include <vector>

namespace plugin_exports {

inline const std::vector<std::string> kApi8Exports = {
    "ts3plugin_apiVersion", "ts3plugin_author", "ts3plugin_commandKeyword",
    "ts3plugin_configure", "ts3plugin_currentServerConnectionChanged", "ts3plugin_description",
    "ts3plugin_init", "ts3plugin_name", "ts3plugin_offersConfigure",
    "ts3plugin_onChannelDescriptionUpdateEvent", "ts3plugin_onChannelPasswordChangedEvent",
    "ts3plugin_onChannelSubscribeEvent", "ts3plugin_onChannelSubscribeFinishedEvent",
    "ts3plugin_onChannelUnsubscribeEvent", "ts3plugin_onChannelUnsubscribeFinishedEvent",
    "ts3plugin_onClientKickFromChannelEvent", "ts3plugin_onClientKickFromServerEvent",
    "ts3plugin_onClientMoveEvent", "ts3plugin_onClientMoveMovedEvent",
    "ts3plugin_onClientMoveSubscriptionEvent", "ts3plugin_onClientMoveTimeoutEvent",
    "ts3plugin_onConnectStatusChangeEvent", "ts3plugin_onConnectionInfoEvent",
    "ts3plugin_onCustomCaptureDeviceCloseEvent", "ts3plugin_onCustomPlaybackDeviceCloseEvent",
    "ts3plugin_onFMODChannelCreatedEvent", "ts3plugin_onPlaybackShutdownCompleteEvent",
    "ts3plugin_onServerConnectionInfoEvent", "ts3plugin_onServerEditedEvent",
    "ts3plugin_onServerErrorEvent", "ts3plugin_onServerStopEvent",
    "ts3plugin_onServerUpdatedEvent", "ts3plugin_onTalkStatusChangeEvent",
    "ts3plugin_onTextMessageEvent", "ts3plugin_onUpdateClientEvent",
    "ts3plugin_onUserLoggingMessageEvent", "ts3plugin_onVoiceRecordDataEvent",
    "ts3plugin_pluginEvent", "ts3plugin_processCommand",
    "ts3plugin_registerPluginCommandID", "ts3plugin_setFunctionPointers",
    "ts3plugin_shutdown", "ts3plugin_version",
};

// API 26 renamed registerPluginCommandID and dropped five events; the last
// five serve the client's Plugins menu and hotkey settings.
inline const std::vector<std::string> kApi26Exports = {
    "ts3plugin_apiVersion", "ts3plugin_author", "ts3plugin_commandKeyword",
    "ts3plugin_configure", "ts3plugin_currentServerConnectionChanged", "ts3plugin_description",
    "ts3plugin_init", "ts3plugin_name", "ts3plugin_offersConfigure",
    "ts3plugin_onChannelDescriptionUpdateEvent", "ts3plugin_onChannelPasswordChangedEvent",
    "ts3plugin_onChannelSubscribeEvent", "ts3plugin_onChannelSubscribeFinishedEvent",
    "ts3plugin_onChannelUnsubscribeEvent", "ts3plugin_onChannelUnsubscribeFinishedEvent",
    "ts3plugin_onClientKickFromChannelEvent", "ts3plugin_onClientKickFromServerEvent",
    "ts3plugin_onClientMoveEvent", "ts3plugin_onClientMoveMovedEvent",
    "ts3plugin_onClientMoveSubscriptionEvent", "ts3plugin_onClientMoveTimeoutEvent",
    "ts3plugin_onConnectStatusChangeEvent", "ts3plugin_onConnectionInfoEvent",
    "ts3plugin_onPlaybackShutdownCompleteEvent", "ts3plugin_onServerConnectionInfoEvent",
    "ts3plugin_onServerEditedEvent", "ts3plugin_onServerErrorEvent",
    "ts3plugin_onServerStopEvent", "ts3plugin_onServerUpdatedEvent",
    "ts3plugin_onTalkStatusChangeEvent", "ts3plugin_onTextMessageEvent",
    "ts3plugin_onUpdateClientEvent", "ts3plugin_onUserLoggingMessageEvent",
    "ts3plugin_processCommand", "ts3plugin_registerPluginID",
    "ts3plugin_setFunctionPointers", "ts3plugin_shutdown", "ts3plugin_version",
    "ts3plugin_freeMemory", "ts3plugin_initMenus", "ts3plugin_onMenuItemEvent",
    "ts3plugin_initHotkeys", "ts3plugin_onHotkeyEvent",
};

}  // namespace plugin_exports
