// The host's configure action: the overlay's settings dialog, with the List
// Channel window shown movable and sizable meanwhile.
#include "display_link.h"
#include "globals.h"
#include "lifecycle.h"
#include "list_window.h"
#include "live_display_config.h"
#include "overlay_link.h"

void pluginConfigure() {
    // Runs on a host thread of its own; a second configure while one is
    // open does nothing.
    int idle = 0;
    if (!configuring.compare_exchange_strong(idle, 1)) return;

    HWND list = listWindow;
    if (list) {
        applyListWindowStyle(listConfig, list, true);
        UpdateWindow(list);
        ShowWindow(list, SW_SHOWNA);
    }
    if (HWND overlay = displayWindow) {
        LRESULT enabled =
            SendMessageW(overlay, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS, listConfig.windowEnabled);
        // An overlay that died before answering says nothing about the
        // List Channel window: its 0 must not switch the window off.
        if (IsWindow(overlay))
            listConfig.windowEnabled = static_cast<uint8_t>(enabled & 0xFF);
        else
            overlayWindowGone(overlay);
    }
    // The dialog may have saved a new width or only-my-channel switch.
    reloadLiveDisplayConfig();
    list = listWindow;
    if (list) applyListWindowStyle(listConfig, list, false);
    configuring = 0;
    if (list) {
        // The window belongs to another thread: ask, don't wait.
        InvalidateRect(list, nullptr, TRUE);
        PostMessageW(list, WM_PAINT, 0, 0);
    }
}
