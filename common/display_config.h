#pragma once
// How the overlay window looks and behaves; stored as 36 bytes in the
// registry value "Config" and read by both programs.
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct DisplayConfig {
    uint8_t opacity;
    uint8_t transparentBackground;
    uint8_t border;
    uint8_t onlyMyChannel;
    uint8_t twoLines;
    uint8_t activityEnabled;
    uint8_t reserved1[2];
    uint32_t backgroundColour;
    uint32_t speakerColour;
    uint32_t channelColour;
    uint16_t displayDuration;
    uint16_t width;
    uint16_t lineHeight;
    uint8_t reserved2[2];
    int32_t x;
    int32_t y;
};
#pragma pack(pop)

static_assert(sizeof(DisplayConfig) == 36, "stored record is 36 bytes");
static_assert(offsetof(DisplayConfig, backgroundColour) == 8, "layout");
static_assert(offsetof(DisplayConfig, displayDuration) == 20, "layout");
static_assert(offsetof(DisplayConfig, width) == 22, "layout");
static_assert(offsetof(DisplayConfig, lineHeight) == 24, "layout");
static_assert(offsetof(DisplayConfig, x) == 28, "layout");
static_assert(offsetof(DisplayConfig, y) == 32, "layout");

inline constexpr wchar_t kDisplayConfigValue[] = L"Config";

void resetDisplayConfig(DisplayConfig& config);
// 0 when the stored value was read, 1 otherwise (the defaults then stand
// for every byte the value did not cover).
int loadDisplayConfig(DisplayConfig& config);
void saveDisplayConfig(const DisplayConfig& config);
