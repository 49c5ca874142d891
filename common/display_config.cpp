#include "display_config.h"

#include <cstdio>

#include "registry.h"

void resetDisplayConfig(DisplayConfig& c) {
    c = DisplayConfig{};
    c.opacity = 255;
    c.transparentBackground = 0;
    c.border = 1;
    c.onlyMyChannel = 1;
    c.twoLines = 1;
    c.activityEnabled = 1;
    c.backgroundColour = 0x00FFFFFF;
    c.speakerColour = 0;
    c.channelColour = 0;
    c.displayDuration = 5;
    c.width = 240;
    c.lineHeight = 20;
    c.x = 10;
    c.y = 10;
}

int loadDisplayConfig(DisplayConfig& config) {
    resetDisplayConfig(config);
    LONG rc = ERROR_SUCCESS;
    UniqueRegKey key = registry::openForRead(&rc);
    if (key) rc = registry::readRecord(key.get(), kDisplayConfigValue, &config, sizeof config);
    if (rc == ERROR_SUCCESS) {
        std::printf("Registry Constructor\n");
        return 0;
    }
    std::printf("Registry error : key Software\\Talvori Config : %li\n", static_cast<long>(rc));
    return 1;
}

void saveDisplayConfig(const DisplayConfig& config) {
    UniqueRegKey key = registry::openForWrite();
    if (key) registry::writeRecord(key.get(), kDisplayConfigValue, &config, sizeof config);
}
