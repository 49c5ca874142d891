// The configure action: the overlay's settings dialog, with the List Channel
// window shown movable and sizable meanwhile. It waits for a dialog of
// another process for as long as the user keeps it open, so it runs on a
// thread of the plugin's own, which holds a reference on the library: the
// host's configure call and the menu entry both return at once.
#include <cstdio>

#include "display_link.h"
#include "globals.h"
#include "host.h"
#include "library_thread.h"
#include "lifecycle.h"
#include "lifecycle_gate.h"
#include "list_window.h"
#include "live_display_config.h"
#include "overlay_link.h"
#include "overlay_settings_request.h"

namespace {

LibraryThread settingsThread;

void takeAnswer(HWND overlay, SettingsAnswer answer, LRESULT enabled) {
    switch (answer) {
    case SettingsAnswer::Given: {
        PluginLockGuard guard(listConfigLock);
        listConfig.windowEnabled = static_cast<uint8_t>(enabled & 0xFF);
        break;
    }
    // An overlay that died or hung before answering says nothing about the
    // List Channel window: the switch stays as it was.
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

void runConfigure(void*) {
    const unsigned session = pluginSession();
    placingListWindow = true;
    // The List Channel window belongs to another thread: it restyles and
    // shows itself there (with the caption, as placingListWindow is set).
    if (HWND list = listWindow) {
        commandListWindow(list, LIST_RESTYLE);
        commandListWindow(list, LIST_SHOW);
    }
    if (HWND overlay = displayWindow) {
        LRESULT enabled = 0;
        const SettingsAnswer answer =
            askOverlaySettings(overlay, copyListConfig().windowEnabled, &enabled);
        // A shutdown that gave up waiting for this dialog has saved and
        // closed everything: an answer now belongs to no session.
        if (session != pluginSession()) return;
        takeAnswer(overlay, answer, enabled);
    }
    if (session != pluginSession()) return;
    // The dialog may have saved a new width or only-my-channel switch.
    reloadLiveDisplayConfig();
    placingListWindow = false;
    // Without the caption and the test pattern now.
    if (HWND window = listWindow) commandListWindow(window, LIST_RESTYLE);
}

}  // namespace

void pluginConfigure() {
    UserCall call;
    if (!call) return;
    // A second configure while one is open does nothing.
    settingsThread.start(runConfigure, nullptr);
}

HANDLE takeConfigureThread() { return settingsThread.take(); }
