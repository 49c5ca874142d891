#pragma once
// Keeping a topmost window in view. A game that makes its own window topmost
// (borderless full screen) goes on top of every topmost window each time it
// is activated; on some systems a window in front by the window order is
// even left covered on screen until something stacks it again. So after
// every change of the foreground the window is put back on top. The change
// is learnt from an out-of-context WinEvent hook: nothing is injected into
// any process, and nothing runs while the foreground stays where it is.
#include <windows.h>

// On the window's own thread, which must pump messages (the hook's calls
// arrive as messages). False when the hook could not be set.
bool stayInFront(HWND window);
// On the window's own thread, before or while the window is destroyed.
void stopStayingInFront(HWND window);

// A shown window goes on top of the topmost windows and the screen shows
// it so, without activation; a hidden one is left alone.
void bringToFront(HWND window);
