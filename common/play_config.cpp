#include "play_config.h"

#include <cstring>

#include "registry.h"

void resetPlayConfig(PlayConfig& config) { config = PlayConfig{}; }

int loadPlayConfig(PlayConfig& config) {
    resetPlayConfig(config);
    UniqueRegKey key = registry::openForRead(nullptr);
    if (!key) return 1;
    PlayConfig stored{};
    if (registry::readRecordPrefix(key.get(), kPlayConfigValue, &stored, sizeof stored) !=
        ERROR_SUCCESS)
        return 1;
    for (uint8_t flag : {stored.locked, stored.hideWhenIdle, stored.overlayHidden})
        if (flag > 1) return 1;
    config = stored;
    config.reserved = 0;
    return 0;
}

void savePlayConfig(const PlayConfig& config) {
    UniqueRegKey key = registry::openForWrite();
    if (!key) {
        registry::openForRead(nullptr);  // creates the key when it is missing
        key = registry::openForWrite();
    }
    if (key) registry::writeRecord(key.get(), kPlayConfigValue, &config, sizeof config);
}
