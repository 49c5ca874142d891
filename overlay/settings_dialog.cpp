#include "settings_dialog.h"

void runSettingsDialog(HWND owner) {
    // No dialog yet: the settings and the List Channel switch stay as they
    // are, so the plugin gets its own switch back.
    (void)owner;
}
