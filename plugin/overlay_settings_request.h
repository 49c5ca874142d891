#pragma once
// The configure action's request to the overlay program: run the display
// settings dialog and answer with the List Channel switch.
#include <windows.h>

enum class SettingsAnswer {
    Given,   // the dialog closed and the overlay answered
    Gone,    // the window went away before answering
    Hung,    // the window stopped answering messages; it was given up on
};

// Sends DISPLAY_OPEN_SETTINGS with `listEnabled` and waits for the answer
// for as long as the overlay keeps answering messages: a dialog the user
// keeps open is waited for, however long, while a window that stops
// answering is given up after a few seconds. The answer lands in `answer`.
SettingsAnswer askOverlaySettings(HWND overlay, LPARAM listEnabled, LRESULT* answer);
