#pragma once
// Moving the overlay by hand. The window has no caption: the user grabs it
// anywhere. The system's own move (a caption hit-test) would activate the
// window and take the keyboard from the game, so the move is done here.
#include <windows.h>

#include "overlay_state.h"

inline constexpr UINT_PTR DRAG_TIMER = 2;

// The left button went down on the window. Nothing while locked.
void beginOverlayDrag(HWND window, OverlayState& state);
// The cursor moved, or DRAG_TIMER ticked: the window follows the cursor;
// a button found released ends the move.
void followOverlayDrag(HWND window, OverlayState& state);
// The button came up: the last step, then the move ends.
void endOverlayDrag(HWND window, OverlayState& state);
// Another window took the mouse, or the window was locked: the move stops
// where it is.
void stopOverlayDrag(HWND window, OverlayState& state);
