// Placeholder until this module is written.
#include "chat_commands.h"
void registerPluginCommandId(const char*) {}
int processCommand(uint64, const char*) { return 1; }
void onConnectionInfo(uint64, anyID) {}
int onTextMessage(uint64, anyID, anyID, anyID, const char*, const char*, const char*, int) {
    return 0;
}
