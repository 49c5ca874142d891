#pragma once
// The display settings dialog, run modally while the plugin waits on
// DISPLAY_OPEN_SETTINGS.
#include <windows.h>

// Lets the user edit the overlay's settings with a live preview on `owner`
// (the overlay window). Works on the state of that window: previewConfig
// while open, liveConfig and listChannelSwitch on OK. When it closes, the
// window that had the foreground at its opening gets it back.
void runSettingsDialog(HWND owner);

// On the overlay's thread, before a quit reads the window's place: an open
// dialog ends as Cancel would, so the window is back where liveConfig puts
// it and nothing of the preview is kept. Nothing happens without a dialog.
void cancelSettingsDialog();
