// The host's configure action: the overlay's settings dialog, with the List
// Channel window shown movable and sizable meanwhile.
#include "display_link.h"
#include "globals.h"
#include "lifecycle.h"
#include "list_window.h"

void pluginConfigure() {
    // Runs on a host thread of its own; a second configure while one is
    // open does nothing.
    int idle = 0;
    if (!configuring.compare_exchange_strong(idle, 1)) return;

    if (listWindow) {
        applyListWindowStyle(listConfig, listWindow, true);
        UpdateWindow(listWindow);
        ShowWindow(listWindow, SW_SHOWNA);
    }
    if (displayWindow) {
        LRESULT enabled = SendMessageW(displayWindow, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS,
                                       listConfig.windowEnabled);
        listConfig.windowEnabled = static_cast<uint8_t>(enabled & 0xFF);
    }
    // The dialog may have saved a new width or only-my-channel switch.
    loadDisplayConfig(pluginDisplayConfig);
    if (listWindow) applyListWindowStyle(listConfig, listWindow, false);
    configuring = 0;
    if (listWindow) {
        // The window belongs to another thread: ask, don't wait.
        InvalidateRect(listWindow, nullptr, TRUE);
        PostMessageW(listWindow, WM_PAINT, 0, 0);
    }
}
