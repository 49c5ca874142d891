#pragma once
// The API-26 host boundary: the table the host hands over, kept by value.
#include "host_functions26.h"

namespace host {
// Copies the whole table; every later host call goes through the copy.
void setFunctionTable(const HostFunctions26& table);
// Greys out or enables one of this plugin's menu entries (under the id the
// host registered for it); the host applies it the next time the menu opens.
void setPluginMenuEnabled(int menuId, bool enabled);
}  // namespace host
