#pragma once
// Moving a window by hand. The windows have no caption to grab, or one that
// must not be used: the system's own move (a caption hit-test) activates the
// window and takes the keyboard from the game, so the move is done here.
// The window procedure hands over its button, mouse, capture and timer
// messages; the window is touched only from its own thread.
#include <windows.h>

// A move in progress, in screen coordinates.
struct WindowDrag {
    bool active = false;
    POINT grab{};    // the cursor when the button went down
    POINT origin{};  // the window's top-left corner then
};

// The WM_TIMER id the move uses while the button is down; each window keeps
// its own timers clear of it.
inline constexpr UINT_PTR kWindowDragTimer = 0x7D01;

// The left button went down on the window (from WM_LBUTTONDOWN).
void beginWindowDrag(HWND window, WindowDrag& drag);
// The cursor moved, or kWindowDragTimer ticked: the window follows the
// cursor; a button found released ends the move.
void followWindowDrag(HWND window, WindowDrag& drag);
// The button came up: the last step, then the move ends.
void endWindowDrag(HWND window, WindowDrag& drag);
// Another window took the mouse (WM_CAPTURECHANGED), or the window stopped
// taking clicks: the move stops where it is.
void stopWindowDrag(HWND window, WindowDrag& drag);
