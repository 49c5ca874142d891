// The entry points that API 8 and API 26 declare alike. Every DLL build
// compiles this file together with its own api<N>/exports<N>.cpp, which adds
// the entry points whose name or signature differs. Each is a thin forward
// into the module that owns the behaviour.
#include <cstdio>

#include "activity_line.h"
#include "chat_commands.h"
#include "host_types.h"
#include "lifecycle.h"
#include "plugin_export.h"
#include "plugin_info.h"
#include "speaker_line.h"

PLUGIN_EXPORT const char* ts3plugin_name() { return plugininfo::kName; }
PLUGIN_EXPORT const char* ts3plugin_version() { return plugininfo::kVersion; }
PLUGIN_EXPORT const char* ts3plugin_author() { return plugininfo::kAuthor; }
PLUGIN_EXPORT const char* ts3plugin_description() { return plugininfo::kDescription; }
PLUGIN_EXPORT int ts3plugin_init() { return pluginInit(); }
PLUGIN_EXPORT void ts3plugin_shutdown() { pluginShutdown(); }
PLUGIN_EXPORT int ts3plugin_offersConfigure() { return offersConfigure(); }
PLUGIN_EXPORT void ts3plugin_configure(void*, void*) { pluginConfigure(); }
PLUGIN_EXPORT const char* ts3plugin_commandKeyword() { return plugininfo::kCommandKeyword; }
PLUGIN_EXPORT int ts3plugin_processCommand(uint64 schid, const char* command) {
    return processCommand(schid, command);
}
PLUGIN_EXPORT void ts3plugin_currentServerConnectionChanged(uint64 schid) {
    onCurrentServerConnectionChanged(schid);
}
PLUGIN_EXPORT void ts3plugin_onConnectStatusChangeEvent(uint64 schid, int newStatus,
                                                       unsigned int errorNumber) {
    onConnectStatusChange(schid, newStatus, errorNumber);
}
PLUGIN_EXPORT void ts3plugin_onClientMoveEvent(uint64 schid, anyID clientID, uint64 oldChannelID,
                                              uint64 newChannelID, int visibility,
                                              const char* moveMessage) {
    printf("TALVORI: onClientMoveEvent : %u \n", clientID);
    handleClientMove(schid, clientID, oldChannelID, newChannelID, visibility, moveMessage);
}
PLUGIN_EXPORT void ts3plugin_onClientMoveSubscriptionEvent(uint64 schid, anyID clientID,
                                                          uint64 oldChannelID,
                                                          uint64 newChannelID, int visibility) {
    onClientMoveSubscription(schid, clientID, oldChannelID, newChannelID, visibility);
}
PLUGIN_EXPORT void ts3plugin_onClientMoveTimeoutEvent(uint64 schid, anyID clientID,
                                                     uint64 oldChannelID, uint64 newChannelID,
                                                     int visibility, const char* timeoutMessage) {
    printf("TALVORI: onClientMoveTimeoutEvent : %u \n", clientID);
    handleClientMove(schid, clientID, oldChannelID, newChannelID, visibility, timeoutMessage);
}
PLUGIN_EXPORT void ts3plugin_onClientMoveMovedEvent(uint64 schid, anyID clientID,
                                                   uint64 oldChannelID, uint64 newChannelID,
                                                   int visibility, anyID, const char*,
                                                   const char*, const char* moveMessage) {
    printf("TALVORI: onClientMoveMovedEvent : %u \n", clientID);
    handleClientMove(schid, clientID, oldChannelID, newChannelID, visibility, moveMessage);
}
PLUGIN_EXPORT void ts3plugin_onClientKickFromChannelEvent(uint64 schid, anyID clientID,
                                                         uint64 oldChannelID,
                                                         uint64 newChannelID, int visibility,
                                                         anyID, const char*, const char*,
                                                         const char* kickMessage) {
    printf("TALVORI: onClientKickFromChannelEvent : %u \n", clientID);
    handleClientMove(schid, clientID, oldChannelID, newChannelID, visibility, kickMessage);
}
PLUGIN_EXPORT void ts3plugin_onClientKickFromServerEvent(uint64 schid, anyID clientID,
                                                        uint64 oldChannelID, uint64 newChannelID,
                                                        int visibility, anyID, const char*,
                                                        const char*, const char* kickMessage) {
    printf("TALVORI: onClientKickFromServerEvent : %u \n", clientID);
    handleClientMove(schid, clientID, oldChannelID, newChannelID, visibility, kickMessage);
}
PLUGIN_EXPORT void ts3plugin_onTalkStatusChangeEvent(uint64 schid, int status,
                                                    int isReceivedWhisper, anyID clientID) {
    onTalkStatusChange(schid, status, isReceivedWhisper, clientID);
}
PLUGIN_EXPORT void ts3plugin_onConnectionInfoEvent(uint64 schid, anyID clientID) {
    onConnectionInfo(schid, clientID);
}
PLUGIN_EXPORT int ts3plugin_onTextMessageEvent(uint64 schid, anyID targetMode, anyID toID,
                                              anyID fromID, const char* fromName,
                                              const char* fromUniqueIdentifier,
                                              const char* message, int ffIgnored) {
    return onTextMessage(schid, targetMode, toID, fromID, fromName, fromUniqueIdentifier, message,
                         ffIgnored);
}

// Events the plugin has no use for; the host still expects the entry points.
PLUGIN_EXPORT void ts3plugin_onUserLoggingMessageEvent(const char*, int, const char*, uint64,
                                                      const char*, const char*) {}
PLUGIN_EXPORT void ts3plugin_onPlaybackShutdownCompleteEvent(uint64) {}
PLUGIN_EXPORT void ts3plugin_onChannelPasswordChangedEvent(uint64, uint64) {}
PLUGIN_EXPORT void ts3plugin_onChannelDescriptionUpdateEvent(uint64, uint64) {}
PLUGIN_EXPORT void ts3plugin_onChannelUnsubscribeFinishedEvent(uint64) {}
PLUGIN_EXPORT void ts3plugin_onChannelUnsubscribeEvent(uint64, uint64) {}
PLUGIN_EXPORT void ts3plugin_onChannelSubscribeFinishedEvent(uint64) {}
PLUGIN_EXPORT void ts3plugin_onChannelSubscribeEvent(uint64, uint64) {}
PLUGIN_EXPORT void ts3plugin_onServerConnectionInfoEvent(uint64) {}
PLUGIN_EXPORT void ts3plugin_onServerStopEvent(uint64, const char*) {}
PLUGIN_EXPORT void ts3plugin_onServerUpdatedEvent(uint64) {}
PLUGIN_EXPORT void ts3plugin_onServerEditedEvent(uint64, anyID, const char*, const char*) {}
