#pragma once
// Who is talking right now: the speaker slots and the line built from them.
#include "host_types.h"

inline constexpr int kSpeakerSlotCount = 20;

// Occupied slots (non-zero) are packed at the front in the order their
// clients started talking; talk events of every connection share them.
struct SpeakerSlots {
    anyID slot[kSpeakerSlotCount];
};
extern SpeakerSlots speakerSlots;

void onTalkStatusChange(uint64 connection, int status, int isReceivedWhisper, anyID client);

// Empties every slot without touching the speaker area.
void clearSpeakerSlots();
// Empties every slot, clears the speaker area and tells the overlay ("erase").
void eraseSpeakers();
