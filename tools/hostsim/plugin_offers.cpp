#include "plugin_offers.h"

#include <algorithm>
#include <cstring>

namespace hostsim {

namespace {

// A field of `bytes` read up to its terminator; a field without one is read
// whole and reported.
std::string field(const char* text, size_t bytes, bool* terminated) {
    const void* end = std::memchr(text, '\0', bytes);
    *terminated = end != nullptr;
    return std::string(text, end ? static_cast<const char*>(end) - text : bytes);
}

// A plugin gone wrong could list the same block twice; it is freed once.
void keep(std::vector<void*>& pending, size_t& received, void* block) {
    if (!block) return;
    ++received;
    if (std::find(pending.begin(), pending.end(), block) == pending.end())
        pending.push_back(block);
}

// Arrays longer than any real plugin's menu are cut there rather than read
// past a missing terminator.
constexpr size_t kMaxEntries = 256;

}  // namespace

bool PluginOffers::take(PluginDll& dll) {
    bool any = false;
    if (dll.initMenus) {
        any = true;
        PluginMenuItem** items = nullptr;
        char* icon = nullptr;
        dll.initMenus(&items, &icon);
        if (items) {
            for (size_t i = 0; i < kMaxEntries && items[i]; ++i) {
                OfferedMenuItem item;
                item.type = items[i]->type;
                item.id = items[i]->id;
                item.text = field(items[i]->text, kMenuTextBytes, &item.textTerminated);
                bool iconTerminated = true;
                item.icon = field(items[i]->icon, kMenuTextBytes, &iconTerminated);
                item.textTerminated = item.textTerminated && iconTerminated;
                items_.push_back(item);
                keep(pending_, received_, items[i]);
            }
            keep(pending_, received_, items);
        }
        if (icon) {
            hasIcon_ = true;
            bool terminated = true;
            icon_ = field(icon, kMenuTextBytes, &terminated);
            keep(pending_, received_, icon);
        }
    }
    if (dll.initHotkeys) {
        any = true;
        PluginHotkey** hotkeys = nullptr;
        dll.initHotkeys(&hotkeys);
        if (hotkeys) {
            for (size_t i = 0; i < kMaxEntries && hotkeys[i]; ++i) {
                OfferedHotkey hotkey;
                bool keywordTerminated = true;
                hotkey.keyword = field(hotkeys[i]->keyword, kMenuTextBytes, &keywordTerminated);
                hotkey.description =
                    field(hotkeys[i]->description, kMenuTextBytes, &hotkey.terminated);
                hotkey.terminated = hotkey.terminated && keywordTerminated;
                hotkeys_.push_back(hotkey);
                keep(pending_, received_, hotkeys[i]);
            }
            keep(pending_, received_, hotkeys);
        }
    }
    return any;
}

void PluginOffers::giveBack(PluginDll& dll) {
    if (!dll.freeMemory) return;
    for (void* block : pending_) {
        dll.freeMemory(block);
        ++freed_;
    }
    pending_.clear();
}

}  // namespace hostsim
