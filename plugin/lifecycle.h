#pragma once
// Start, configure and stop of the plugin, and the connection events that
// re-target it. Which thread owns which window, what each thread may call
// and what shutdown waits for: docs/architecture.md.
#include <windows.h>

#include "host_types.h"

void onProcessAttach(HINSTANCE instance);
void onProcessDetach();

int pluginInit();
void pluginShutdown();
int offersConfigure();
// The host's configure call and the client's Settings menu entry: starts the
// configure work on a thread of the plugin's own and returns at once.
void pluginConfigure();
// Shutdown: the configure thread started last (its handle signals once it
// has ended, library reference given back), or null; the caller closes it.
HANDLE takeConfigureThread();
void onConnectStatusChange(uint64 connection, int newStatus, unsigned errorNumber);
void onCurrentServerConnectionChanged(uint64 connection);
void onUpdateClient(uint64 connection, anyID client);
void onPluginEvent(unsigned short data, const char* message);
