#pragma once
// What the List Channel window's own files share: the state of the window's
// thread (one window at a time). Not for the rest of the plugin.
#include <windows.h>

#include "list_window_paint.h"
#include "window_drag.h"

struct ListWindowState {
    ListWindowLook look;
    // Locked: clicks go through to what lies beneath, no drag, no dialog.
    bool playLocked = false;
    // Configuring: the caption shows and the window is to be placed, so it
    // takes clicks whatever the lock says.
    bool captionShown = false;
    WindowDrag drag;
};
extern ListWindowState listWindowState;

// On the window's thread: clicks go through while locked, unless the window
// is being placed.
void applyListClickThrough(HWND window);
// A window no monitor shows enough of to grab goes to the default place on
// the primary monitor.
void bringListWindowIntoReach(HWND window);

LRESULT CALLBACK listWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
