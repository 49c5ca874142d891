#pragma once
// The List Channel settings dialog (resource 100), opened by a right click
// on the List Channel window.
#include <windows.h>

// Runs the dialog modally, owned by `owner`, on a thread of the plugin's
// own, and returns at once. That thread holds the library loaded until it
// has left the dialog: a modal loop on the host's thread would return into
// unloaded code when the plugin is unloaded meanwhile. One dialog at a time.
void openListSettingsDialog(HWND owner);
// At shutdown, from any thread: cancels the dialog and any box it opened,
// and waits (a few seconds at most) until its thread has ended. No dialog
// opens after this until allowListSettingsDialog.
void closeListSettingsDialog();
void allowListSettingsDialog();
