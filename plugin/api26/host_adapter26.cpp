// host.h over the API-26 table. Besides the slot positions, three calls
// differ from API 8: the plugin path and plugin commands name the id the host
// registered for this plugin, and there is no API-version query.
#include "host_adapter26.h"

#include <climits>
#include <string>

#include "globals.h"
#include "host.h"

namespace {
HostFunctions26 table{};
}

namespace host {

void setFunctionTable(const HostFunctions26& t) { table = t; }

unsigned freeMemory(void* p) { return table.freeMemory(p); }
unsigned logMessage(const char* text, int severity, const char* channel, uint64 logId) {
    return table.logMessage(text, severity, channel, logId);
}
void printMessageToCurrentTab(const char* text) { table.printMessageToCurrentTab(text); }
unsigned getClientID(uint64 c, anyID* r) { return table.getClientID(c, r); }
unsigned getChannelOfClient(uint64 c, anyID cl, uint64* r) {
    return table.getChannelOfClient(c, cl, r);
}
unsigned getClientVariableAsInt(uint64 c, anyID cl, size_t f, int* r) {
    return table.getClientVariableAsInt(c, cl, f, r);
}
unsigned getClientVariableAsString(uint64 c, anyID cl, size_t f, char** r) {
    return table.getClientVariableAsString(c, cl, f, r);
}
unsigned getChannelVariableAsString(uint64 c, uint64 ch, size_t f, char** r) {
    return table.getChannelVariableAsString(c, ch, f, r);
}
unsigned getServerVariableAsString(uint64 c, size_t f, char** r) {
    return table.getServerVariableAsString(c, f, r);
}
unsigned getConnectionVariableAsString(uint64 c, anyID cl, size_t f, char** r) {
    return table.getConnectionVariableAsString(c, cl, f, r);
}
unsigned requestConnectionInfo(uint64 c, anyID cl) {
    return table.requestConnectionInfo(c, cl, nullptr);
}
unsigned requestClientMove(uint64 c, anyID cl, uint64 ch, const char* password) {
    return table.requestClientMove(c, cl, ch, password, nullptr);
}
unsigned getClientList(uint64 c, anyID** r) { return table.getClientList(c, r); }
unsigned getChannelClientList(uint64 c, uint64 ch, anyID** r) {
    return table.getChannelClientList(c, ch, r);
}
unsigned getChannelList(uint64 c, uint64** r) { return table.getChannelList(c, r); }
unsigned getServerConnectionHandlerList(uint64** r) {
    return table.getServerConnectionHandlerList(r);
}
uint64 getCurrentServerConnectionHandlerID() {
    return table.getCurrentServerConnectionHandlerID();
}
void sendPluginCommand(uint64 c, const char* id, const char* command) {
    table.sendPluginCommand(c, id, command, 0, nullptr, nullptr);
}
// Where API 8 asked for the client's API version, the client library's
// version number stands. A number too large for the trace's int is shown as
// the largest int rather than as a negative one.
int clientApiVersion() {
    uint64 number = 0;
    if (table.getClientLibVersionNumber(&number) != 0) return 0;
    return number > static_cast<uint64>(INT_MAX) ? INT_MAX : static_cast<int>(number);
}
int pluginApiVersion() { return 26; }
void getAppPath(char* p, size_t n) { table.getAppPath(p, n); }
void getResourcesPath(char* p, size_t n) { table.getResourcesPath(p, n); }
void getConfigPath(char* p, size_t n) { table.getConfigPath(p, n); }
// The id is the one ts3plugin_registerPluginID handed over; a host that
// registers it only after init gets null here, which it accepts.
void getPluginPath(char* p, size_t n) {
    const std::string id = copyPluginCommandId();
    table.getPluginPath(p, n, id.empty() ? nullptr : id.c_str());
}
// Without a registered id the host could not tell whose entry is meant.
void setPluginMenuEnabled(int menuId, bool enabled) {
    const std::string id = copyPluginCommandId();
    if (!id.empty() && table.setPluginMenuEnabled)
        table.setPluginMenuEnabled(id.c_str(), menuId, enabled ? 1 : 0);
}

}  // namespace host
