#pragma once
// The user's mouse, through the system's input queue (SendInput), so the
// system decides which window each event reaches; and the waits a test
// makes between a user's steps.
#include <windows.h>

#include <functional>

namespace real_input {

// Dispatches this thread's messages for `ms` milliseconds: what a thread
// with windows must do while it waits.
void pumpWindowMessages(int ms);

// Waits until `condition` has held for a moment without a break. Under Wine
// without a window manager the X server's keyboard focus follows a change
// of the foreground a little later, and input given meanwhile can be lost
// or move the foreground on; each step of a test waits for the one before
// to be over.
bool settled(const std::function<bool()>& condition);

// Moves the pointer to the screen point and presses and releases a button
// there, in one batch. False when the input was not taken.
bool click(POINT screen, bool right = false);
POINT centreOf(HWND window);

// The pointer to a screen point, then one button event (MOUSEEVENTF_LEFTDOWN
// and the like) where the pointer is; after each, this thread's windows get
// a moment for what it caused.
void moveTo(POINT screen);
void button(DWORD flag);
// Presses at `from`, moves to `to` in a few steps, releases: a drag as a
// hand makes it.
void drag(POINT from, POINT to, DWORD down = MOUSEEVENTF_LEFTDOWN,
          DWORD up = MOUSEEVENTF_LEFTUP);
inline void dragBy(POINT from, int dx, int dy) { drag(from, POINT{from.x + dx, from.y + dy}); }

}  // namespace real_input
