#pragma once
// The List Channel window: the clients of the user's own channel.
#include <windows.h>

#include "list_config.h"

// The window's frame: plain, or with a caption and a close box while the
// user places it during configuring (then it takes clicks even when locked).
enum class ListFrame { plain, caption };
// The frame that goes with configuring as it is now.
ListFrame currentListFrame();

void registerListWindowClass(HINSTANCE instance);
void unregisterListWindowClass(HINSTANCE instance);  // at process detach
HWND createListWindow(HINSTANCE instance, ListFrame frame);
// On the window's own thread only (the window procedure, its commands, or
// the thread that created the window).
void applyListWindowStyle(const ListChannelConfig& config, HWND window, ListFrame frame);
// From any thread, never waiting: on another thread the window repaints
// when its own thread gets to it (a host event thread must not wait on the
// host's GUI thread, which may be waiting on the host's locks).
void refreshListWindow();

// Called on the window's thread once the user has closed the window with
// its close box (it has one while configuring): the window is hidden, as
// "channel hide" hides it, and whatever shows its state follows.
void setListClosedListener(void (*listener)());

// What the plugin asks of the window from other threads. Each is carried
// out on the window's own thread (DestroyWindow from another thread fails);
// a window that closes clears listWindow itself.
// LIST_PLAY_CHANGED: the "Playing" switches changed; the window reads them
// again (lock: clicks go through and it cannot be dragged).
// LIST_RESTYLE: the look of listConfig, with the caption while configuring.
// LIST_PREVIEW: the look of listConfigDraft, never with a caption.
enum ListWindowCommand : WPARAM {
    LIST_CLOSE,
    LIST_SHOW,
    LIST_HIDE,
    LIST_TOGGLE,
    LIST_PLAY_CHANGED,
    LIST_RESTYLE,
    LIST_PREVIEW,
};
// Waits a short while for the window's thread; a command still queued after
// that is carried out when the thread gets to it. A window that no longer
// exists is forgotten. True when the command was carried out.
bool commandListWindow(HWND window, ListWindowCommand command);
