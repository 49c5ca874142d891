// The entry points of plugin API 26 that API 8 names or declares otherwise.
// With dll/common_exports.cpp they make the 43 exports of the API-26 DLLs
// (38, and the five of the client's menus and hotkeys);
// API 8's pluginEvent, onVoiceRecordDataEvent, onFMODChannelCreatedEvent,
// onCustomPlaybackDeviceCloseEvent, onCustomCaptureDeviceCloseEvent and
// registerPluginCommandID are gone from this level and are not exported.
#include "chat_commands.h"
#include "host_adapter26.h"
#include "lifecycle.h"
#include "plugin_export.h"
#include "plugin_menus26.h"

PLUGIN_EXPORT int ts3plugin_apiVersion() { return 26; }
PLUGIN_EXPORT void ts3plugin_setFunctionPointers(const HostFunctions26 funcs) {
    host::setFunctionTable(funcs);
}
// The id serves plugin commands and the plugin-path query alike.
PLUGIN_EXPORT void ts3plugin_registerPluginID(const char* id) { registerPluginCommandId(id); }
PLUGIN_EXPORT void ts3plugin_onUpdateClientEvent(uint64 schid, anyID clientID, anyID, const char*,
                                                const char*) {
    onUpdateClient(schid, clientID);
}

// An event the plugin has no use for; 0 leaves the host's own handling of
// the error as it is.
PLUGIN_EXPORT int ts3plugin_onServerErrorEvent(uint64, const char*, unsigned int, const char*,
                                              const char*) {
    return 0;
}

// The client's Plugins menu and hotkey settings; the client gives every
// block back through freeMemory.
PLUGIN_EXPORT void ts3plugin_freeMemory(void* data) { freePluginMemory(data); }
PLUGIN_EXPORT void ts3plugin_initMenus(PluginMenuItem*** menuItems, char** menuIcon) {
    initPluginMenus(menuItems, menuIcon);
}
PLUGIN_EXPORT void ts3plugin_onMenuItemEvent(uint64 schid, int type, int menuItemID,
                                            uint64 selectedItemID) {
    onPluginMenuItem(schid, type, menuItemID, selectedItemID);
}
PLUGIN_EXPORT void ts3plugin_initHotkeys(PluginHotkey*** hotkeys) { initPluginHotkeys(hotkeys); }
PLUGIN_EXPORT void ts3plugin_onHotkeyEvent(const char* keyword) { onPluginHotkey(keyword); }
