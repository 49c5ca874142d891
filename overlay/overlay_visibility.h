#pragma once
// Whether the overlay window shows, and whether it takes clicks: the play
// switches (lock, idle hiding, hidden by the user) against what it has to
// show. The window is never activated by any of it: a game keeps the
// keyboard.
#include <windows.h>

#include "overlay_state.h"

// The extended styles the window is created with: never activated, no
// taskbar button or Alt-Tab entry, and click-through while locked.
DWORD overlayExStyle(const PlayConfig& play);

// A speaker line (the start banner names nobody) or an activity line on
// screen.
bool overlayHasContent(const OverlayState& state);

// Shows the window without activating it, or hides it, as the switches and
// the content say. Cheap when nothing changes: called before every repaint.
void updateOverlayVisibility(HWND window, OverlayState& state);

// The "Playing" value changed: reads it again and applies the lock and the
// visibility.
void reloadPlayConfig(HWND window, OverlayState& state);
