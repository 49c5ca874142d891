// Placeholder until this module is written.
#include "list_config.h"
void resetListChannelConfig(ListChannelConfig& c) { c = ListChannelConfig{}; }
int loadListChannelConfig(ListChannelConfig& c) { resetListChannelConfig(c); return 1; }
void saveListChannelConfig(const ListChannelConfig&) {}
