#pragma once
// Whether a layered window takes the mouse or hands every click to the
// window beneath it, even one of another process (the lock while playing).
#include <windows.h>

#include "window_drag.h"

enum class ClickThrough { off, on };

// Sets or clears WS_EX_TRANSPARENT and has the frame redrawn; a move in
// progress stops when the clicks start going through. Nothing when the
// window is already so. On the window's own thread.
void setClickThrough(HWND window, ClickThrough clickThrough, WindowDrag& drag);
