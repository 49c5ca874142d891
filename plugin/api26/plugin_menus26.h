#pragma once
// The plugin's entries in the client's Plugins menu and its hotkeys: the
// API-26 exports that hand them over, give them back and report their use.
#include "host_functions26.h"

// Pairs of entries, one of each pair greyed out: a menu text cannot change
// once handed over, the enabled state can. Each entry sets its state rather
// than toggling, so an entry the client still shows enabled does no harm.
enum PluginMenuId : int {
    MENU_LOCK = 1,
    MENU_UNLOCK,
    MENU_HIDE_WHEN_IDLE,
    MENU_SHOW_WHEN_IDLE,
    MENU_SHOW_LIST,
    MENU_HIDE_LIST,
    MENU_SETTINGS,
};

inline constexpr char kHotkeyLock[] = "toggle_lock";
inline constexpr char kHotkeyOverlay[] = "toggle_overlay";
inline constexpr char kHotkeyList[] = "toggle_list";

void freePluginMemory(void* data);
void initPluginMenus(PluginMenuItem*** items, char** icon);
void onPluginMenuItem(uint64 connection, int type, int id, uint64 selectedItemId);
void initPluginHotkeys(PluginHotkey*** hotkeys);
void onPluginHotkey(const char* keyword);
