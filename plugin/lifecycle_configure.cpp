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

    // The List Channel window belongs to another thread: it restyles and
    // shows itself there (with the caption, as configuring is now set).
    if (HWND list = listWindow) {
        commandListWindow(list, LIST_RESTYLE);
        commandListWindow(list, LIST_SHOW);
    }
    if (HWND overlay = displayWindow) {
        LRESULT enabled =
            SendMessageW(overlay, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS,
                         copyListConfig().windowEnabled);
        // An overlay that died before answering says nothing about the
        // List Channel window: its 0 must not switch the window off.
        if (IsWindow(overlay)) {
            PluginLockGuard guard(listConfigLock);
            listConfig.windowEnabled = static_cast<uint8_t>(enabled & 0xFF);
        } else {
            overlayWindowGone(overlay);
        }
    }
    // The dialog may have saved a new width or only-my-channel switch.
    reloadLiveDisplayConfig();
    configuring = 0;
    // Without the caption and the test pattern now.
    if (HWND window = listWindow) commandListWindow(window, LIST_RESTYLE);
}
