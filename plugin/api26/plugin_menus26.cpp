#include "plugin_menus26.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "globals.h"
#include "host_adapter26.h"
#include "lifecycle.h"
#include "lifecycle_gate.h"
#include "localized_resources.h"
#include "play_switches.h"
#include "resource_ids.h"

namespace {

struct MenuEntry {
    PluginMenuId id;
    UINT text;
};

constexpr MenuEntry kMenu[] = {
    {MENU_LOCK, IDS_MENU_LOCK},
    {MENU_UNLOCK, IDS_MENU_UNLOCK},
    {MENU_HIDE_WHEN_IDLE, IDS_MENU_HIDE_WHEN_IDLE},
    {MENU_SHOW_WHEN_IDLE, IDS_MENU_SHOW_WHEN_IDLE},
    {MENU_SHOW_LIST, IDS_MENU_SHOW_LIST},
    {MENU_HIDE_LIST, IDS_MENU_HIDE_LIST},
    {MENU_SETTINGS, IDS_MENU_SETTINGS},
};

struct HotkeyEntry {
    const char* keyword;
    UINT description;
};

constexpr HotkeyEntry kHotkeys[] = {
    {kHotkeyLock, IDS_HOTKEY_LOCK},
    {kHotkeyOverlay, IDS_HOTKEY_OVERLAY},
    {kHotkeyList, IDS_HOTKEY_LIST},
};

// Set once the client holds our entries: before that there is nothing to
// grey out.
std::atomic<bool> menusHandedOver{false};

// String `id` in the user's UI language as UTF-8, cut at a whole character
// to fit the client's 128 bytes.
void loadUtf8(UINT id, char (&out)[kMenuTextBytes]) {
    out[0] = '\0';
    wchar_t wide[kMenuTextBytes];
    int units = loadStringInLanguage(pluginInstance, id, uiLanguage(), wide, kMenuTextBytes);
    while (units > 0) {
        // Never half a pair: a cut after a lead surrogate drops it too.
        if (units > 1 && IS_HIGH_SURROGATE(wide[units - 1])) --units;
        int n = WideCharToMultiByte(CP_UTF8, 0, wide, units, out, kMenuTextBytes - 1, nullptr,
                                    nullptr);
        if (n > 0) {
            out[n] = '\0';
            return;
        }
        --units;
    }
}

// A null-terminated array of `count` heap blocks of T, each zeroed; null
// when memory ran out (nothing is left allocated then).
template <typename T>
T** allocateBlocks(size_t count) {
    T** array = static_cast<T**>(std::calloc(count + 1, sizeof(T*)));
    if (!array) return nullptr;
    for (size_t i = 0; i < count; ++i) {
        array[i] = static_cast<T*>(std::calloc(1, sizeof(T)));
        if (!array[i]) {
            for (size_t j = 0; j < i; ++j) std::free(array[j]);
            std::free(array);
            return nullptr;
        }
    }
    return array;
}

// One entry of each pair is greyed out: the one that would change nothing.
void refreshMenus() {
    if (!menusHandedOver) return;
    const PlayConfig config = currentPlaySwitches();
    const bool listShown = listChannelShown();
    host::setPluginMenuEnabled(MENU_LOCK, !config.locked);
    host::setPluginMenuEnabled(MENU_UNLOCK, config.locked != 0);
    host::setPluginMenuEnabled(MENU_HIDE_WHEN_IDLE, !config.hideWhenIdle);
    host::setPluginMenuEnabled(MENU_SHOW_WHEN_IDLE, config.hideWhenIdle != 0);
    host::setPluginMenuEnabled(MENU_SHOW_LIST, !listShown);
    host::setPluginMenuEnabled(MENU_HIDE_LIST, listShown);
}

}  // namespace

void freePluginMemory(void* data) { std::free(data); }

void initPluginMenus(PluginMenuItem*** items, char** icon) {
    if (icon) *icon = nullptr;  // no menu icon
    if (!items) return;
    constexpr size_t count = sizeof kMenu / sizeof kMenu[0];
    *items = allocateBlocks<PluginMenuItem>(count);
    if (!*items) return;
    for (size_t i = 0; i < count; ++i) {
        PluginMenuItem& item = *(*items)[i];
        item.type = PLUGIN_MENU_GLOBAL;
        item.id = kMenu[i].id;
        loadUtf8(kMenu[i].text, item.text);
    }
    menusHandedOver = true;
    setPlaySwitchListener(&refreshMenus);
    // Clients that take this before the menu exists get it again once the
    // hotkeys are handed over, and after every change.
    refreshMenus();
}

void onPluginMenuItem(uint64, int type, int id, uint64) {
    UserCall call;
    if (!call || type != PLUGIN_MENU_GLOBAL) return;
    switch (id) {
    case MENU_LOCK: setPlaySwitch(PLAY_LOCK, true); break;
    case MENU_UNLOCK: setPlaySwitch(PLAY_LOCK, false); break;
    case MENU_HIDE_WHEN_IDLE: setPlaySwitch(PLAY_HIDE_WHEN_IDLE, true); break;
    case MENU_SHOW_WHEN_IDLE: setPlaySwitch(PLAY_HIDE_WHEN_IDLE, false); break;
    // The client's GUI thread, which answers window messages: it may
    // create the List Channel window.
    case MENU_SHOW_LIST: showListChannel(true, true); break;
    case MENU_HIDE_LIST: showListChannel(false, false); break;
    // As the client's own configure action: on a thread of the plugin's.
    case MENU_SETTINGS: pluginConfigure(); break;
    default: break;
    }
}

void initPluginHotkeys(PluginHotkey*** hotkeys) {
    if (!hotkeys) return;
    constexpr size_t count = sizeof kHotkeys / sizeof kHotkeys[0];
    *hotkeys = allocateBlocks<PluginHotkey>(count);
    if (*hotkeys) {
        for (size_t i = 0; i < count; ++i) {
            PluginHotkey& hotkey = *(*hotkeys)[i];
            strcpy_s(hotkey.keyword, sizeof hotkey.keyword, kHotkeys[i].keyword);
            loadUtf8(kHotkeys[i].description, hotkey.description);
        }
    }
    refreshMenus();
}

void onPluginHotkey(const char* keyword) {
    UserCall call;
    if (!call || !keyword) return;
    if (std::strcmp(keyword, kHotkeyLock) == 0) {
        togglePlaySwitch(PLAY_LOCK);
    } else if (std::strcmp(keyword, kHotkeyOverlay) == 0) {
        togglePlaySwitch(PLAY_OVERLAY_HIDDEN);
    } else if (std::strcmp(keyword, kHotkeyList) == 0) {
        // A client thread that may not answer window messages: it shows or
        // hides the window that is on, and never creates one.
        showListChannel(!listChannelShown(), false);
    }
}
