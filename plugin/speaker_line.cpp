// Placeholder until this module is written.
#include "speaker_line.h"
SpeakerSlots speakerSlots{};
void onTalkStatusChange(uint64, int, int, anyID) {}
void eraseSpeakers() {}
