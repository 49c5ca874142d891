// The entry points of plugin API 8 that API 26 names or declares otherwise,
// or no longer has. With dll/common_exports.cpp they make the 43 exports of
// the API-8 DLL.
#include "chat_commands.h"
#include "host_adapter8.h"
#include "lifecycle.h"
#include "plugin_export.h"

PLUGIN_EXPORT int ts3plugin_apiVersion() { return 8; }
PLUGIN_EXPORT void ts3plugin_setFunctionPointers(const HostFunctions funcs) {
    host::setFunctionTable(funcs);
}
PLUGIN_EXPORT void ts3plugin_registerPluginCommandID(const char* commandID) {
    registerPluginCommandId(commandID);
}
PLUGIN_EXPORT void ts3plugin_pluginEvent(unsigned short data, const char* message) {
    onPluginEvent(data, message);
}
PLUGIN_EXPORT void ts3plugin_onUpdateClientEvent(uint64 schid, anyID clientID) {
    onUpdateClient(schid, clientID);
}

// Events the plugin has no use for; the host still expects the entry points.
PLUGIN_EXPORT void ts3plugin_onServerErrorEvent(uint64, const char*, unsigned int, const char*,
                                               const char*) {}
PLUGIN_EXPORT void ts3plugin_onVoiceRecordDataEvent(const float*, unsigned int) {}
PLUGIN_EXPORT void ts3plugin_onFMODChannelCreatedEvent(uint64, anyID, void*) {}
PLUGIN_EXPORT void ts3plugin_onCustomPlaybackDeviceCloseEvent(uint64, void*) {}
PLUGIN_EXPORT void ts3plugin_onCustomCaptureDeviceCloseEvent(uint64, void*) {}
