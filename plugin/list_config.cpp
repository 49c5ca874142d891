#include "list_config.h"

#include <cstdio>

#include "display_scale.h"
#include "registry.h"

namespace {
constexpr wchar_t kListChannelValue[] = L"ListChannel";
}

void resetListChannelConfig(ListChannelConfig& c) {
    c.opacity = 255;
    c.transparentBackground = 1;
    c.border = 1;
    c.windowEnabled = 0;
    c.backgroundColour = 0xFFFFFF;
    c.textColour = 0;
    c.width = 240;
    c.height = 300;
    // Beneath the overlay's default place (two lines of 20 pixels from 10, 10
    // at 100 %) with a gap, at the primary monitor's scale, where both first
    // show: at 150 % the overlay reaches 70 pixels down.
    c.x = 10;
    c.y = 10 + scaleLength(50, systemDpi());
    c.awayColour = 0x0000FF;
}

int loadListChannelConfig(ListChannelConfig& config) {
    resetListChannelConfig(config);
    LONG rc = ERROR_SUCCESS;
    UniqueRegKey key = registry::openForRead(&rc);
    if (key) rc = registry::readRecord(key.get(), kListChannelValue, &config, sizeof config);
    if (rc == ERROR_SUCCESS) {
        std::printf("Registry Constructor ListChannel\n");
        return 0;
    }
    std::printf("Registry error : key Software\\Talvori ListChannel: %li\n", static_cast<long>(rc));
    return 1;
}

void saveListChannelConfig(const ListChannelConfig& config) {
    UniqueRegKey key = registry::openForWrite();
    if (key) registry::writeRecord(key.get(), kListChannelValue, &config, sizeof config);
}
