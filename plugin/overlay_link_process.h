#pragma once
// The overlay program as a process: started, recognised by its window and
// ended. Used by overlay_link.cpp alone.
#include <windows.h>

// Starts the program at `path` (a whole path to TALVORI.exe) in its own
// folder; its process handle, or null when it could not be started. A plain
// CreateProcess: no shell on a host event thread (no COM, no verb look-up).
HANDLE launchOverlayProgram(const wchar_t* path);

// Whether `process` owns `window`.
bool processOwnsWindow(HANDLE process, HWND window);

// A program the plugin started and nobody will tell to quit: ended, and its
// handle closed. Host event threads pass no wait.
void endStartedProcess(HANDLE process, DWORD waitMs);
