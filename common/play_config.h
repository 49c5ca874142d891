#pragma once
// The switches for playing with the overlay over a game, stored as 4 bytes
// in the registry value "Playing" beside "Config" and "ListChannel". The
// plugin changes them (menus, hotkeys, chat verbs) and tells the overlay
// program with DISPLAY_PLAY_CHANGED; both programs read the same value.
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct PlayConfig {
    uint8_t locked;         // 1: both windows let clicks through and cannot be dragged
    uint8_t hideWhenIdle;   // 1: the overlay hides while it has nothing to show
    uint8_t overlayHidden;  // 1: the overlay window is hidden by the user
    uint8_t reserved;
};
#pragma pack(pop)

static_assert(sizeof(PlayConfig) == 4, "stored record is 4 bytes");

inline constexpr wchar_t kPlayConfigValue[] = L"Playing";

// Unlocked, never hidden.
void resetPlayConfig(PlayConfig& config);
// 0 when the stored value was read. A missing value, one that is not
// REG_BINARY, shorter than the record or with a switch byte other than 0 or
// 1 leaves every switch at its default and returns 1. A longer value is a
// newer program's: its leading bytes are read.
int loadPlayConfig(PlayConfig& config);
void savePlayConfig(const PlayConfig& config);
