#pragma once
// The overlay at the scale of the monitor it is on (policy: display_scale.h):
// its size, its line positions and its font, and the dpi it publishes for
// the plugin to measure at.
#include <windows.h>

#include "display_config.h"
#include "overlay_state.h"

// Before the window: the channel the dpi is published on, and a first
// guess (the system's) for the size it is created with.
void startOverlayScale(OverlayState& state);
// Takes the dpi of the monitor the window is on: font, then published.
// The caller sizes the window (applyWindowStyle).
void adoptOverlayDpi(HWND window, OverlayState& state);
// The window's size on screen: the stored width by the stored line height
// times the lines shown, each scaled once.
SIZE overlaySize(const DisplayConfig& config, UINT dpi);
// Where the activity line starts on screen.
int activityLineTop(const OverlayState& state);
// WM_DPICHANGED: the window was moved to a monitor of another scale (or the
// scale was changed): laid out again where the system suggests.
LRESULT onOverlayDpiChanged(HWND window, OverlayState& state, UINT dpi, const RECT* suggested);
