#include "play_switches.h"

#include <atomic>

#include "display_link.h"
#include "globals.h"
#include "library_thread.h"
#include "lifecycle.h"
#include "list_window.h"
#include "message_pump.h"
#include "plugin_lock.h"

namespace {

// Read, flip and store are one step: two hotkeys pressed at once must not
// both store the value they read before the other's change.
PluginLock switchLock;
std::atomic<void (*)()> switchListener{nullptr};

LibraryThread settingsThread;

uint8_t& field(PlayConfig& config, PlaySwitch which) {
    switch (which) {
    case PLAY_LOCK: return config.locked;
    case PLAY_HIDE_WHEN_IDLE: return config.hideWhenIdle;
    default: return config.overlayHidden;
    }
}

void changed() {
    if (auto listener = switchListener.load()) listener();
}

// After the value is stored: both windows read it again on their own threads.
void announcePlaySwitches() {
    notifyDisplay(DISPLAY_PLAY_CHANGED);
    if (HWND window = listWindow) commandListWindow(window, LIST_PLAY_CHANGED);
    changed();
}

void runSettings(void*) { pluginConfigure(); }

}  // namespace

PlayConfig currentPlaySwitches() {
    PlayConfig config;
    loadPlayConfig(config);
    return config;
}

bool playSwitchOn(const PlayConfig& config, PlaySwitch which) {
    PlayConfig copy = config;
    return field(copy, which) != 0;
}

bool setPlaySwitch(PlaySwitch which, bool on) {
    {
        PluginLockGuard guard(switchLock);
        PlayConfig config;
        loadPlayConfig(config);
        field(config, which) = on ? 1 : 0;
        savePlayConfig(config);
    }
    announcePlaySwitches();
    return on;
}

bool togglePlaySwitch(PlaySwitch which) {
    bool on;
    {
        PluginLockGuard guard(switchLock);
        PlayConfig config;
        loadPlayConfig(config);
        on = field(config, which) == 0;
        field(config, which) = on ? 1 : 0;
        savePlayConfig(config);
    }
    announcePlaySwitches();
    return on;
}

bool listChannelShown() {
    HWND window = listWindow;
    return window && IsWindowVisible(window);
}

bool showListChannel(bool show, bool mayCreate) {
    HWND window = listWindow;
    if (window) {
        commandListWindow(window, show ? LIST_SHOW : LIST_HIDE);
    } else if (show && mayCreate) {
        // As "channel on": the window comes back at the next start.
        HWND created = createListWindow(pluginInstance, configuring.load() != 0);
        HWND expected = nullptr;
        if (created && !listWindow.compare_exchange_strong(expected, created))
            commandListWindow(created, LIST_CLOSE);  // another thread's came first
        if (created) {
            PluginLockGuard guard(listConfigLock);
            listConfig.windowEnabled = 1;
        }
    }
    changed();
    return listChannelShown();
}

void setPlaySwitchListener(void (*listener)()) {
    switchListener = listener;
    setListClosedListener(listener);
}

void listChannelSwitched() { changed(); }

void openSettingsInBackground() { settingsThread.start(runSettings, nullptr); }

void finishSettingsThread(DWORD timeoutMs) {
    HANDLE thread = settingsThread.take();
    if (!thread) return;
    MessagePump pump;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) break;
        DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;  // ended, timed out or failed
        pump.drain();
    }
    CloseHandle(thread);
}
