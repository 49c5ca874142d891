#pragma once
// The List Channel window at the scale of the monitor it is on (policy:
// display_scale.h). The record keeps its size in pixels at 100 %; the window
// shows it times the monitor's scale, with the font and rows of that scale.
// All on the window's own thread (one window at a time).
#include <windows.h>

#include "list_config.h"
#include "list_window_paint.h"

// The size to create the window with, before its monitor is known: the
// system's scale, corrected by adoptListDpi once the window exists.
SIZE initialListWindowSize(const ListChannelConfig& config);
// Takes the dpi of the window's monitor: the font and row height in `look`.
void adoptListDpi(HWND window, ListWindowLook& look);
// The window's size on screen for `config` at the dpi taken.
SIZE listWindowSize(const ListChannelConfig& config);
// The window's rectangle on screen into the record: the place as it is, the
// size back at 100 %, unchanged where the window still shows the stored one.
void recordListWindowRect(ListChannelConfig& record, const RECT& onScreen);
// WM_DPICHANGED: laid out again at the new dpi where the system suggests.
LRESULT onListDpiChanged(HWND window, ListWindowLook& look, UINT dpi, const RECT* suggested);
// WM_DESTROY: the font goes with the window.
void releaseListScale(ListWindowLook& look);
