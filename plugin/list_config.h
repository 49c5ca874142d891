#pragma once
// The List Channel window's settings, stored as 28 bytes in the registry
// value "ListChannel".
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct ListChannelConfig {
    uint8_t opacity;
    uint8_t transparentBackground;
    uint8_t border;
    uint8_t windowEnabled;
    uint32_t backgroundColour;
    uint32_t textColour;
    uint16_t width;
    uint16_t height;
    int32_t x;
    int32_t y;
    uint32_t awayColour;
};
#pragma pack(pop)

static_assert(sizeof(ListChannelConfig) == 28, "stored record is 28 bytes");
static_assert(offsetof(ListChannelConfig, backgroundColour) == 4, "layout");
static_assert(offsetof(ListChannelConfig, width) == 12, "layout");
static_assert(offsetof(ListChannelConfig, x) == 16, "layout");
static_assert(offsetof(ListChannelConfig, awayColour) == 24, "layout");

void resetListChannelConfig(ListChannelConfig& config);
int loadListChannelConfig(ListChannelConfig& config);  // 0 = read, 1 = defaults
void saveListChannelConfig(const ListChannelConfig& config);
