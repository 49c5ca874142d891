#pragma once
// Everything the plugin asks of the host goes through these calls. Each API
// level's adapter (plugin/api8, plugin/api26) maps them onto that level's
// function table, so the rest of the plugin never sees which host it runs in.
#include <cstddef>

#include "host_types.h"

namespace host {

unsigned freeMemory(void* pointer);
unsigned logMessage(const char* text, int severity, const char* channel, uint64 logId);
void printMessageToCurrentTab(const char* text);

unsigned getClientID(uint64 connection, anyID* result);
unsigned getChannelOfClient(uint64 connection, anyID client, uint64* result);
unsigned getClientVariableAsInt(uint64 connection, anyID client, size_t flag, int* result);
unsigned getClientVariableAsString(uint64 connection, anyID client, size_t flag, char** result);
unsigned getChannelVariableAsString(uint64 connection, uint64 channel, size_t flag, char** result);
unsigned getServerVariableAsString(uint64 connection, size_t flag, char** result);
unsigned getConnectionVariableAsString(uint64 connection, anyID client, size_t flag, char** result);

unsigned requestConnectionInfo(uint64 connection, anyID client);  // no return code
unsigned requestClientMove(uint64 connection, anyID client, uint64 channel, const char* password);

unsigned getClientList(uint64 connection, anyID** result);
unsigned getChannelClientList(uint64 connection, uint64 channel, anyID** result);
unsigned getChannelList(uint64 connection, uint64** result);
unsigned getServerConnectionHandlerList(uint64** result);
uint64 getCurrentServerConnectionHandlerID();

// Sends to the user's channel (target mode 0, no targets) under the id the
// host registered for this plugin.
void sendPluginCommand(uint64 connection, const char* pluginId, const char* command);

// The number the start-up trace prints as the client's API version.
int clientApiVersion();
// The plugin's own API level (8 or 26).
int pluginApiVersion();

void getAppPath(char* path, size_t maxLen);
void getResourcesPath(char* path, size_t maxLen);
void getConfigPath(char* path, size_t maxLen);
void getPluginPath(char* path, size_t maxLen);

}  // namespace host
