// "back", "channel" and "erase": what the overlay and the List Channel
// window show.
#include <windows.h>

#include <cstring>

#include "chat_commands_verbs.h"
#include "display_link.h"
#include "globals.h"
#include "host.h"
#include "list_window.h"
#include "speaker_line.h"

namespace {

constexpr char kChannelMissing[] =
    "Commande channel missing parameters : on, off,show,hide,toggle";
constexpr char kChannelUsage[] = "Commande channel parameters : on, off,show,hide,toggle";

bool is(const char* word, const char* literal) { return std::strcmp(word, literal) == 0; }

// Returns false when the sub-verb is unknown or does not apply now.
bool switchListWindow(const char* subVerb) {
    if (is(subVerb, "on")) {
        if (listWindow) return false;
        listWindow = createListWindow(pluginInstance, configuring.load() != 0);
        listConfig.windowEnabled = listWindow ? 1 : 0;
        return true;
    }
    if (!listWindow) return false;
    if (is(subVerb, "off")) {
        DestroyWindow(listWindow);
        listWindow = nullptr;
    } else if (is(subVerb, "hide")) {
        ShowWindow(listWindow, SW_HIDE);
    } else if (is(subVerb, "show")) {
        ShowWindow(listWindow, SW_SHOWNA);
    } else if (is(subVerb, "toggle")) {
        ShowWindow(listWindow, IsWindowVisible(listWindow) ? SW_HIDE : SW_SHOWNA);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int backVerb(const CommandArgs& args) {
    if (args.connection == currentConnection) notifyDisplay(DISPLAY_ACTIVITY_POSTED);
    return 0;
}

int channelVerb(const CommandArgs& args) {
    if (args.connection != currentConnection) return 0;
    if (!args.first) {
        host::printMessageToCurrentTab(kChannelMissing);
        return 0;
    }
    if (!switchListWindow(args.first)) host::printMessageToCurrentTab(kChannelUsage);
    return 0;
}

int eraseVerb(const CommandArgs&) {
    eraseSpeakers();
    return 0;
}
