// "lock", "idle" and "overlay": the switches for playing, from the chat.
#include "chat_commands_verbs.h"
#include "host.h"
#include "play_switches.h"

namespace {

int toggleAndSay(PlaySwitch which, const char* on, const char* off) {
    host::printMessageToCurrentTab(togglePlaySwitch(which) ? on : off);
    return 0;
}

}  // namespace

int lockVerb(const CommandArgs&) {
    return toggleAndSay(PLAY_LOCK, "Overlay locked: clicks go through it.", "Overlay unlocked.");
}

int idleVerb(const CommandArgs&) {
    return toggleAndSay(PLAY_HIDE_WHEN_IDLE, "Overlay hidden when idle.",
                        "Overlay shown when idle.");
}

int overlayVerb(const CommandArgs&) {
    return toggleAndSay(PLAY_OVERLAY_HIDDEN, "Overlay hidden.", "Overlay shown.");
}
