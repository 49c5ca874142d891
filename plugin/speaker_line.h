#pragma once
// Who is talking right now: the speaker slots and the line built from them.
#include "host_types.h"

inline constexpr int kSpeakerSlotCount = 20;

struct SpeakerSlots {
    anyID slot[kSpeakerSlotCount];
};
extern SpeakerSlots speakerSlots;

void onTalkStatusChange(uint64 connection, int status, int isReceivedWhisper, anyID client);

// Empties every slot, clears the speaker area and tells the overlay ("erase").
void eraseSpeakers();
