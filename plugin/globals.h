#pragma once
// The plugin's process-wide state. One instance of each for the life of the
// loaded library; the host's threads, the configure thread and the List
// Channel window's thread share it.
#include <windows.h>

#include <atomic>
#include <string>

#include "display_config.h"
#include "host_types.h"
#include "list_config.h"
#include "plugin_lock.h"

extern HINSTANCE pluginInstance;

// Strings loaded at process attach.
extern wchar_t listClassName[50];       // 40003
extern wchar_t disconnectedUpper[50];   // 40000 "DISCONNECTED"
extern wchar_t disconnectedLower[50];   // 40001 "disconnected"
extern char defaultClientName[10];      // 40002 "Unkown"

// Host event threads read these while other threads replace them: each
// read sees a whole old or a whole new value.
extern std::atomic<HWND> displayWindow;        // the overlay window, or null while it is gone
extern HDC measureDC;  // the plugin's own memory DC (see text_fit.h), null outside init..shutdown
// Held while text is measured with measureDC and while it is replaced: a DC
// serves one thread at a time, and a deleted one is never measured with.
extern PluginLock measureLock;
extern std::atomic<uint64> currentConnection;  // 0 = none
// Set while the overlay's settings dialog is open: the List Channel window
// shows its caption and test pattern, for the user to place and size it.
// A look, not a sign that configure is over (its thread's end is that).
extern std::atomic<bool> placingListWindow;
extern std::atomic<HWND> listWindow;           // the List Channel window, or null
// Heap copy, or null; registered, read and freed on different host
// threads: only under pluginCommandIdLock, read through copyPluginCommandId.
extern char* pluginCommandId;
extern PluginLock pluginCommandIdLock;
std::string copyPluginCommandId();  // empty when none is registered

extern DisplayConfig pluginDisplayConfig;  // width and only-my-channel; see live_display_config.h
extern ListChannelConfig listConfig;       // live List Channel settings
extern ListChannelConfig listConfigDraft;  // what the window paints with
// Guards both records: the window's thread, the settings dialog's thread,
// configure, chat commands and shutdown all use them. Copy out, change in
// place under it; never hold it across a window message or a host call.
extern PluginLock listConfigLock;
ListChannelConfig copyListConfig();
ListChannelConfig copyListConfigDraft();

// Chat command state, set and read by whichever host thread runs a command
// or delivers the answer to one.
extern std::atomic<uint64> previousChannel;
extern std::atomic<anyID> pendingInfoClient;
