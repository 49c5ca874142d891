#include "speaker_line.h"

#include <cwchar>

#include "display_channel.h"
#include "display_link.h"
#include "client_names.h"
#include "globals.h"
#include "live_display_config.h"
#include "name_cache.h"
#include "name_text.h"
#include "plugin_lock.h"
#include "text_fit.h"

SpeakerSlots speakerSlots{};

namespace {

// Talk events arrive on several host threads. The lock guards the slots and
// their generation, which counts their changes: a line composed from slots
// that have changed since is no longer written, so the area ends up with the
// line of the latest change whatever order the threads finish in. Names are
// looked up and measured outside the lock (that may ask the host).
PluginLock slotLock;
unsigned slotGeneration = 0;

constexpr int kLastSlot = kSpeakerSlotCount - 1;
// A name of at most 63 bytes converts to at most 63 units plus terminator.
constexpr int kWideNameUnits = kNameBufferBytes;

// Appends after the last occupied slot; once slots 0-18 are taken, the
// newcomer takes slot 19 from whoever holds it.
void insertSpeaker(SpeakerSlots& slots, uint64 connection, anyID client) {
    int i = 0;
    bool present = false;
    for (; i < kLastSlot && slots.slot[i] != 0; ++i)
        if (slots.slot[i] == client && slots.connection[i] == connection) present = true;
    if (present) return;
    slots.slot[i] = client;
    slots.connection[i] = connection;
}

void removeSlot(SpeakerSlots& slots, int i) {
    for (int j = i; j < kLastSlot; ++j) {
        slots.slot[j] = slots.slot[j + 1];
        slots.connection[j] = slots.connection[j + 1];
    }
    slots.slot[kLastSlot] = 0;
    slots.connection[kLastSlot] = 0;
}

void removeSpeaker(SpeakerSlots& slots, uint64 connection, anyID client) {
    for (int i = 0; i < kSpeakerSlotCount; ++i) {
        if (slots.slot[i] != client || slots.connection[i] != connection) continue;
        removeSlot(slots, i);
        return;
    }
}

void emptySlots(SpeakerSlots& slots) {
    for (int i = 0; i < kSpeakerSlotCount; ++i) {
        slots.slot[i] = 0;
        slots.connection[i] = 0;
    }
}

int occupiedSlots(const SpeakerSlots& slots) {
    int n = 0;
    for (anyID c : slots.slot)
        if (c != 0) ++n;
    return n;
}

// How much of a name that is not the last one goes on the line: what fits
// the budget, but never fewer than 5 characters, and a cut name keeps at
// least 10 or else shrinks to 5.
size_t takenOf(const wchar_t* name, int length, int budget) {
    int take = length;
    fitCount(name, budget, take);
    if (take <= 5) take = 5;
    if (take < length && take < 10) take = 5;
    return static_cast<size_t>(take);
}

// Writes the line only while no later change of the slots has been made.
void writeLine(const wchar_t* line, unsigned generation) {
    PluginLockGuard guard(slotLock);
    if (generation == slotGeneration)
        writeSpeakerText(line, sharedCount(line, channel::kSpeakerUnits));
}

#ifdef TALVORI_BENCH_WRITE_EACH_NAME
// Only in the benchmark's baseline DLL: the area rewritten after every name,
// the way the line was written before, for the comparison.
constexpr bool kWriteEachName = true;
#else
constexpr bool kWriteEachName = false;
#endif

// Rebuilds the line from the slots as they were after the change numbered
// `generation`, naming every speaker on their own connection. The line is built
// privately and written once: one take of the mutex per event, and the
// overlay never paints half a line.
void composeSpeakerLine(const SpeakerSlots& slots, unsigned generation) {
    wchar_t line[channel::kSpeakerUnits];
    line[0] = L'\0';
    // Each name as the first pass found it: a name the full table cannot
    // hold is asked of the host once per event, not once per pass.
    char names[kSpeakerSlotCount][kNameBufferBytes];
    wchar_t wide[kWideNameUnits];

    const int n = occupiedSlots(slots);
    int sum = 0;
    for (int i = 0; i < n; ++i) {
        addClientNamed(slots.connection[i], slots.slot[i], names[i]);
        nameToWide(names[i], wide, kWideNameUnits);
        sum += textWidth(wide);
    }

    // The width on screen, and 4 pixels at 100 % for each name's blank.
    const int width = onScreenLength(liveDisplayConfig().width);
    const int budget = sum > width ? (width - onScreenLength(4) * n) / n : sum;

    for (int i = 0; i < n; ++i) {
        int length = nameToWide(names[i], wide, kWideNameUnits);
        size_t take = static_cast<size_t>(length);
        if (i != n - 1) take = takenOf(wide, length, budget);
        appendName(line, wide, take);
        if (kWriteEachName && i != n - 1) writeLine(line, generation);
    }
    writeLine(line, generation);
}

}  // namespace

void onTalkStatusChange(uint64 connection, int status, int, anyID client) {
    SpeakerSlots slots;
    unsigned generation;
    {
        PluginLockGuard guard(slotLock);
        if (status == 1)
            insertSpeaker(speakerSlots, connection, client);
        else if (status == 0)
            removeSpeaker(speakerSlots, connection, client);
        slots = speakerSlots;
        generation = ++slotGeneration;
    }

    composeSpeakerLine(slots, generation);

    notifyOrSeekDisplay(DISPLAY_SPEAKERS_CHANGED);
}

namespace {

// Takes every speaker `leaves` picks off the slots; when any went, the line
// is rewritten and the overlay told. No "stopped talking" comes for a
// speaker whose server or client is gone: without this they would stay on
// the line for good.
template <typename Leaves>
void dropSpeakers(Leaves leaves) {
    SpeakerSlots slots;
    unsigned generation;
    {
        PluginLockGuard guard(slotLock);
        bool dropped = false;
        for (int i = 0; i < kSpeakerSlotCount && speakerSlots.slot[i] != 0;) {
            if (leaves(speakerSlots.connection[i], speakerSlots.slot[i])) {
                removeSlot(speakerSlots, i);
                dropped = true;
            } else {
                ++i;
            }
        }
        if (!dropped) return;
        slots = speakerSlots;
        generation = ++slotGeneration;
    }
    composeSpeakerLine(slots, generation);
    notifyDisplay(DISPLAY_SPEAKERS_CHANGED);
}

}  // namespace

void dropConnectionSpeakers(uint64 connection) {
    dropSpeakers([connection](uint64 c, anyID) { return c == connection; });
}

void dropLeavingSpeaker(uint64 connection, anyID client) {
    dropSpeakers([=](uint64 c, anyID id) { return c == connection && id == client; });
}

void clearSpeakerSlots() {
    PluginLockGuard guard(slotLock);
    emptySlots(speakerSlots);
    ++slotGeneration;
}

void eraseSpeakers() {
    {
        PluginLockGuard guard(slotLock);
        emptySlots(speakerSlots);
        ++slotGeneration;
        writeSpeakerText(L"", 1);
    }
    notifyDisplay(DISPLAY_SPEAKERS_CHANGED);
}
