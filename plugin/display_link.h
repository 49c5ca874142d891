#pragma once
// The plugin's end of the display channel: the objects it creates at init
// and the ways it writes to and notifies the overlay program.
#include <windows.h>

#include "display_channel.h"
#include "unique_handle.h"

struct PluginChannel {
    UniqueKernelHandle mutex;            // DisplayMutex
    UniqueKernelHandle speakerMapping;
    UniqueView speakerView;              // SpeakerArea
    UniqueKernelHandle activityMapping;
    UniqueView activityView;             // ActivityArea
};
extern PluginChannel displayChannel;

SharedArea speakerArea();   // empty (null text) until init mapped it
SharedArea activityArea();

// writeSharedText on the speaker area with the count the caller computed.
// Both writers keep a copy of what they wrote: a restarted overlay program
// overwrites the areas with its start text, and gets the copies back.
void writeSpeakerText(const wchar_t* text, unsigned count);
// Writes a whole activity line: count = min(length + 1, 128).
void writeActivityText(const wchar_t* text);

// Codes 1-3: SendNotifyMessageW to the overlay window, skipped while
// displayWindow is unknown. A window found gone is forgotten and its
// program started again; once it is back, the next notification rewrites
// both lines into the areas and tells it about both.
void notifyDisplay(DisplayCode code);
// notifyDisplay for the speaker line, which also looks an unknown window up
// for the next event.
void notifyOrSeekDisplay(DisplayCode code);

// Unmaps and closes in the order shutdown needs: speaker view and mapping,
// activity view and mapping, mutex.
void closeDisplayChannel();
