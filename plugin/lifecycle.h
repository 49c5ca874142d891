#pragma once
// Start, configure and stop of the plugin, and the connection events that
// re-target it.
#include <windows.h>

#include "host_types.h"

void onProcessAttach(HINSTANCE instance);
void onProcessDetach();

int pluginInit();
void pluginShutdown();
int offersConfigure();
void pluginConfigure();
void onConnectStatusChange(uint64 connection, int newStatus, unsigned errorNumber);
void onCurrentServerConnectionChanged(uint64 connection);
void onUpdateClient(uint64 connection, anyID client);
void onPluginEvent(unsigned short data, const char* message);
