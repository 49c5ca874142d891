#pragma once
// The switches for playing: lock, hide when idle and overlay hidden (stored
// in "Playing"), and the List Channel window on, shown or hidden. Menus,
// hotkeys and chat verbs all end up here, from whichever host thread they
// arrive on.
#include <windows.h>

#include "play_config.h"

enum PlaySwitch { PLAY_LOCK, PLAY_HIDE_WHEN_IDLE, PLAY_OVERLAY_HIDDEN };

// The stored switches (defaults when the value is missing or malformed).
PlayConfig currentPlaySwitches();
bool playSwitchOn(const PlayConfig& config, PlaySwitch which);

// Sets one switch and stores it; the overlay and the List Channel window
// are told to read the switches again. Returns the switch's new state.
bool setPlaySwitch(PlaySwitch which, bool on);
bool togglePlaySwitch(PlaySwitch which);

// Creates the List Channel window on the calling thread, which must then
// keep answering its messages, unless another thread's window came first;
// either way the window is on and comes back at the next start. False (and
// recorded as off) when it could not be created.
bool turnListChannelOn();
// Whether the List Channel window exists and is visible.
bool listChannelShown();
// Shows or hides the List Channel window. Showing it when it is off creates
// it on the calling thread, which must then keep answering its messages
// (the host's GUI thread does); `mayCreate` false leaves an absent window
// absent. Returns whether it is shown afterwards.
bool showListChannel(bool show, bool mayCreate);

// Called after every change made through this module (any thread), so that
// the client's menus can follow. Null: nobody listens.
void setPlaySwitchListener(void (*listener)());
// The List Channel window was switched some other way (a chat verb): the
// listener hears of it as of any change.
void listChannelSwitched();
