// "back", "channel" and "erase": what the overlay and the List Channel
// window show.
#include <windows.h>

#include <cstring>

#include "chat_commands_verbs.h"
#include "display_link.h"
#include "globals.h"
#include "host.h"
#include "list_window.h"
#include "play_switches.h"
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
        turnListChannelOn();
        return true;
    }
    HWND window = listWindow;
    if (!window) return false;
    if (is(subVerb, "off"))
        commandListWindow(window, LIST_CLOSE);
    else if (is(subVerb, "hide"))
        commandListWindow(window, LIST_HIDE);
    else if (is(subVerb, "show"))
        commandListWindow(window, LIST_SHOW);
    else if (is(subVerb, "toggle"))
        commandListWindow(window, LIST_TOGGLE);
    else
        return false;
    return true;
}

}  // namespace

int backVerb(const CommandArgs& args) {
    if (args.connection == currentConnection) repostActivityLine();
    return 0;
}

int channelVerb(const CommandArgs& args) {
    if (args.connection != currentConnection) return 0;
    if (!args.first) {
        host::printMessageToCurrentTab(kChannelMissing);
        return 0;
    }
    if (switchListWindow(args.first))
        listChannelSwitched();  // the client's menu entries follow
    else
        host::printMessageToCurrentTab(kChannelUsage);
    return 0;
}

int eraseVerb(const CommandArgs&) {
    eraseSpeakers();
    return 0;
}
