#include "globals.h"

#include "name_cache.h"

HINSTANCE pluginInstance = nullptr;
wchar_t listClassName[50] = L"ListChannel";
wchar_t disconnectedUpper[50] = L"DISCONNECTED";
wchar_t disconnectedLower[50] = L"disconnected";
char defaultClientName[10] = "Unkown";

std::atomic<HWND> displayWindow{nullptr};
HDC measureDC = nullptr;
PluginLock measureLock;
std::atomic<uint64> currentConnection{0};
std::atomic<bool> placingListWindow{false};
std::atomic<HWND> listWindow{nullptr};
char* pluginCommandId = nullptr;
PluginLock pluginCommandIdLock;

std::string copyPluginCommandId() {
    PluginLockGuard guard(pluginCommandIdLock);
    return pluginCommandId ? std::string(pluginCommandId) : std::string();
}

// Load-time construction runs in this order: the name cache, the display
// settings (defaults only), then the two List Channel records.
ClientNameCache clientNameCache;
DisplayConfig pluginDisplayConfig = [] {
    DisplayConfig c;
    resetDisplayConfig(c);
    return c;
}();
ListChannelConfig listConfig = [] {
    ListChannelConfig c;
    loadListChannelConfig(c);
    return c;
}();
ListChannelConfig listConfigDraft = [] {
    ListChannelConfig c;
    loadListChannelConfig(c);
    return c;
}();

PluginLock listConfigLock;

ListChannelConfig copyListConfig() {
    PluginLockGuard guard(listConfigLock);
    return listConfig;
}

ListChannelConfig copyListConfigDraft() {
    PluginLockGuard guard(listConfigLock);
    return listConfigDraft;
}

std::atomic<uint64> previousChannel{0};
std::atomic<anyID> pendingInfoClient{0};
