#pragma once
// The List Channel window: the clients of the user's own channel.
#include <windows.h>

#include "list_config.h"

void registerListWindowClass(HINSTANCE instance);
void unregisterListWindowClass(HINSTANCE instance);  // at process detach
HWND createListWindow(HINSTANCE instance, bool captionMode);
void applyListWindowStyle(const ListChannelConfig& config, HWND window, bool captionMode);
void refreshListWindow();

// What chat commands ask of the window. Each is carried out on the window's
// own thread (DestroyWindow from another thread fails); a window that
// closes clears listWindow itself.
// LIST_PLAY_CHANGED: the "Playing" switches changed; the window reads them
// again (lock: clicks go through and it cannot be dragged).
enum ListWindowCommand : WPARAM { LIST_CLOSE, LIST_SHOW, LIST_HIDE, LIST_TOGGLE, LIST_PLAY_CHANGED };
// Waits a short while for the window's thread; a command still queued after
// that is carried out when the thread gets to it. A window that no longer
// exists is forgotten.
void commandListWindow(HWND window, ListWindowCommand command);
