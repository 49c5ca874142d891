#pragma once
// The List Channel settings dialog (resource 100), opened by a right click
// on the List Channel window.
#include <windows.h>

// Runs the dialog on a thread of the plugin's own and returns at once. That
// thread holds the library loaded until it has left the dialog: a modal
// loop on the host's thread would return into unloaded code when the plugin
// is unloaded meanwhile. The dialog is owned by no window, so the clicked
// window stays enabled: a right click while the dialog is open brings it
// to the front instead of opening a second one. When it closes, the window
// that had the foreground at its opening gets it back.
void openListSettingsDialog(HWND clicked);
// At shutdown, from any thread: cancels the dialog and any box it opened,
// and waits (a few seconds at most) until its thread has ended. No dialog
// opens after this until allowListSettingsDialog.
void closeListSettingsDialog();
void allowListSettingsDialog();
