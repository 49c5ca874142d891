#pragma once
// What an API-26 plugin hands the client for its menu entries and hotkeys:
// taken after init, copied out for reading, and every block given back
// through the plugin's own ts3plugin_freeMemory before the library goes.
#include <string>
#include <vector>

#include "plugin_dll.h"

namespace hostsim {

struct OfferedMenuItem {
    int type = 0;
    int id = 0;
    std::string text;  // UTF-8, as read up to the first terminator within the 128 bytes
    std::string icon;
    bool textTerminated = true;  // false: no terminator within the field
};

struct OfferedHotkey {
    std::string keyword;
    std::string description;
    bool terminated = true;
};

class PluginOffers {
public:
    PluginOffers() = default;
    ~PluginOffers() = default;  // blocks left are the plugin's to lose: see giveBack
    PluginOffers(const PluginOffers&) = delete;
    PluginOffers& operator=(const PluginOffers&) = delete;

    // ts3plugin_initMenus and ts3plugin_initHotkeys where the plugin exports
    // them; false when it exports neither. Calling it again takes new blocks.
    bool take(PluginDll& dll);
    // Each block taken, once, through the plugin's freeMemory (nothing when
    // it lacks one: the blocks leak, and freed() says so).
    void giveBack(PluginDll& dll);

    const std::vector<OfferedMenuItem>& menuItems() const { return items_; }
    const std::vector<OfferedHotkey>& hotkeys() const { return hotkeys_; }
    bool menuIconOffered() const { return hasIcon_; }
    std::string menuIcon() const { return icon_; }
    size_t received() const { return received_; }  // blocks the plugin handed over
    size_t freed() const { return freed_; }        // blocks given back
    size_t outstanding() const { return pending_.size(); }

private:
    std::vector<OfferedMenuItem> items_;
    std::vector<OfferedHotkey> hotkeys_;
    bool hasIcon_ = false;
    std::string icon_;
    std::vector<void*> pending_;
    size_t received_ = 0;
    size_t freed_ = 0;
};

}  // namespace hostsim
