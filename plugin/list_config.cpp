#include "list_config.h"

#include <cstdio>

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
    c.x = 10;
    c.y = 60;
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
