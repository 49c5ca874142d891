#pragma once
// The display settings dialog, run modally while the plugin waits on
// DISPLAY_OPEN_SETTINGS.
#include <windows.h>

// Lets the user edit the overlay's settings with a live preview on `owner`
// (the overlay window). Works on the state of that window: previewConfig
// while open, liveConfig and listChannelSwitch on OK.
void runSettingsDialog(HWND owner);
