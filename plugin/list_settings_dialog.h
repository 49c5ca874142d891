#pragma once
// The List Channel settings dialog (resource 100), opened by a right click
// on the List Channel window.
#include <windows.h>

// Runs the dialog modally, owned by `owner`.
void openListSettingsDialog(HWND owner);
