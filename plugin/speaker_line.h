#pragma once
// Who is talking right now: the speaker slots and the line built from them.
#include "host_types.h"

inline constexpr int kSpeakerSlotCount = 20;

// Occupied slots (non-zero client) are packed at the front in the order
// their clients started talking; talk events of every connection share them.
// Each slot keeps the connection its client talks on: a client id names a
// client on one server only.
struct SpeakerSlots {
    anyID slot[kSpeakerSlotCount];
    uint64 connection[kSpeakerSlotCount];
};
extern SpeakerSlots speakerSlots;

void onTalkStatusChange(uint64 connection, int status, int isReceivedWhisper, anyID client);

// The connection is lost or closed: its speakers leave the slots, and when
// any did the line is rewritten and the overlay told.
void dropConnectionSpeakers(uint64 connection);

// The client left the server (or was kicked, or timed out): it leaves the
// line whatever channel it was in.
void dropLeavingSpeaker(uint64 connection, anyID client);

// Empties every slot without touching the speaker area.
void clearSpeakerSlots();
// Empties every slot, clears the speaker area and tells the overlay ("erase").
void eraseSpeakers();
