#include "play_switches.h"

#include <atomic>

#include "display_link.h"
#include "globals.h"
#include "list_window.h"
#include "plugin_lock.h"

namespace {

// Read, flip and store are one step: two hotkeys pressed at once must not
// both store the value they read before the other's change.
PluginLock switchLock;
std::atomic<void (*)()> switchListener{nullptr};

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

bool turnListChannelOn() {
    HWND created = createListWindow(pluginInstance, currentListFrame());
    // One window at a time: a thread whose window came second closes its own.
    HWND expected = nullptr;
    if (created && !listWindow.compare_exchange_strong(expected, created))
        commandListWindow(created, LIST_CLOSE);
    // The window comes back at the next start; one that could not be
    // created is recorded as off.
    PluginLockGuard guard(listConfigLock);
    listConfig.windowEnabled = created ? 1 : 0;
    return created != nullptr;
}

bool showListChannel(bool show, bool mayCreate) {
    if (HWND window = listWindow)
        commandListWindow(window, show ? LIST_SHOW : LIST_HIDE);
    else if (show && mayCreate)
        turnListChannelOn();
    changed();
    return listChannelShown();
}

void setPlaySwitchListener(void (*listener)()) {
    switchListener = listener;
    setListClosedListener(listener);
}

void listChannelSwitched() { changed(); }
