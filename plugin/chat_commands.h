#pragma once
// Chat commands typed under the keyword "talvor".
#include "host_types.h"

void registerPluginCommandId(const char* commandId);
int processCommand(uint64 connection, const char* command);  // 0 handled, 1 not
void onConnectionInfo(uint64 connection, anyID client);
int onTextMessage(uint64 connection, anyID targetMode, anyID toID, anyID fromID,
                  const char* fromName, const char* fromUniqueIdentifier, const char* message,
                  int ffIgnored);
