#include "host_adapter8.h"

#include "host.h"

namespace {
HostFunctions table{};
}

namespace host {

void setFunctionTable(const HostFunctions& t) { table = t; }

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
    table.sendPluginCommand(c, id, command, 0, nullptr);
}
int clientApiVersion() { return table.getAPIVersion(); }
int pluginApiVersion() { return 8; }
void getAppPath(char* p, size_t n) { table.getAppPath(p, n); }
void getResourcesPath(char* p, size_t n) { table.getResourcesPath(p, n); }
void getConfigPath(char* p, size_t n) { table.getConfigPath(p, n); }
void getPluginPath(char* p, size_t n) { table.getPluginPath(p, n); }

}  // namespace host
