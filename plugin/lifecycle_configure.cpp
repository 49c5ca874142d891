// The host's configure action: the overlay's settings dialog, with the List
// Channel window shown movable and sizable meanwhile.
#include <cstdio>

#include "display_link.h"
#include "globals.h"
#include "host.h"
#include "lifecycle.h"
#include "list_window.h"
#include "live_display_config.h"
#include "overlay_link.h"
#include "overlay_settings_request.h"

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
        LRESULT enabled = 0;
        switch (askOverlaySettings(overlay, copyListConfig().windowEnabled, &enabled)) {
        case SettingsAnswer::Given: {
            PluginLockGuard guard(listConfigLock);
            listConfig.windowEnabled = static_cast<uint8_t>(enabled & 0xFF);
            break;
        }
        // An overlay that died or hung before answering says nothing about
        // the List Channel window: the switch stays as it was.
        case SettingsAnswer::Gone:
            overlayWindowGone(overlay);
            break;
        case SettingsAnswer::Hung:
            std::printf("TALVORI: the overlay window does not answer; configure gives up on it\n");
            host::logMessage("TALVORI.exe does not answer; its settings dialog was given up",
                             hostconst::kLogError, "TALVORI", 0);
            break;
        }
    }
    // The dialog may have saved a new width or only-my-channel switch.
    reloadLiveDisplayConfig();
    configuring = 0;
    // Without the caption and the test pattern now.
    if (HWND window = listWindow) commandListWindow(window, LIST_RESTYLE);
}
