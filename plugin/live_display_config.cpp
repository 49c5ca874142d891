#include "live_display_config.h"

#include "globals.h"
#include "plugin_lock.h"

namespace {
PluginLock configLock;
}

DisplayConfig liveDisplayConfig() {
    PluginLockGuard guard(configLock);
    return pluginDisplayConfig;
}

void reloadLiveDisplayConfig() {
    DisplayConfig loaded;
    loadDisplayConfig(loaded);
    PluginLockGuard guard(configLock);
    pluginDisplayConfig = loaded;
}
