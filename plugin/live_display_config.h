#pragma once
// The plugin's display settings as event threads read them while the
// configure thread reloads them.
#include "display_config.h"

// A copy of the live settings: all old or all new, never the defaults a
// reload starts from.
DisplayConfig liveDisplayConfig();
// Loads the stored settings into a private record first, then replaces the
// live ones at once.
void reloadLiveDisplayConfig();
