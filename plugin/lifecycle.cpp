// Placeholder until this module is written.
#include "lifecycle.h"
void onProcessAttach(HINSTANCE) {}
void onProcessDetach() {}
int pluginInit() { return 1; }
void pluginShutdown() {}
int offersConfigure() { return 1; }
void pluginConfigure() {}
void onConnectStatusChange(uint64, int, unsigned) {}
void onCurrentServerConnectionChanged(uint64) {}
void onUpdateClient(uint64, anyID) {}
void onPluginEvent(unsigned short, const char*) {}
