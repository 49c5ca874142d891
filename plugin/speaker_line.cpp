#include "speaker_line.h"

#include <cwchar>

#include "display_channel.h"
#include "display_link.h"
#include "globals.h"
#include "name_cache.h"
#include "text_fit.h"
#include "utf8_text.h"

SpeakerSlots speakerSlots{};

namespace {

constexpr int kLastSlot = kSpeakerSlotCount - 1;
// A name of at most 63 bytes converts to at most 63 units plus terminator.
constexpr int kWideNameUnits = kNameBufferBytes;

// Appends after the last occupied slot; once slots 0-18 are taken, the
// newcomer takes slot 19 from whoever holds it.
void insertSpeaker(anyID client) {
    int i = 0;
    bool present = false;
    for (; i < kLastSlot && speakerSlots.slot[i] != 0; ++i)
        if (speakerSlots.slot[i] == client) present = true;
    if (!present) speakerSlots.slot[i] = client;
}

void removeSpeaker(anyID client) {
    for (int i = 0; i < kSpeakerSlotCount; ++i) {
        if (speakerSlots.slot[i] != client) continue;
        for (int j = i; j < kLastSlot; ++j) speakerSlots.slot[j] = speakerSlots.slot[j + 1];
        speakerSlots.slot[kLastSlot] = 0;
        return;
    }
}

int occupiedSlots() {
    int n = 0;
    for (anyID c : speakerSlots.slot)
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

void writeLine(const wchar_t* line) {
    writeSpeakerText(line, sharedCount(line, channel::kSpeakerUnits));
}

// Rebuilds the line from the slots, naming every speaker under `connection`.
// The area is rewritten after each name.
void composeSpeakerLine(uint64 connection) {
    wchar_t line[channel::kSpeakerUnits];
    line[0] = L'\0';
    char name[kNameBufferBytes];
    wchar_t wide[kWideNameUnits];

    const int n = occupiedSlots();
    int sum = 0;
    for (int i = 0; i < n; ++i) {
        clientNameCache.addClient(connection, speakerSlots.slot[i], name);
        utf8ToWide(name, wide, kWideNameUnits);
        sum += textWidth(wide);
    }

    const int width = pluginDisplayConfig.width;
    const int budget = sum > width ? (width - 4 * n) / n : sum;

    for (int i = 0; i < n; ++i) {
        clientNameCache.findClient(connection, speakerSlots.slot[i], name);
        int length = utf8ToWide(name, wide, kWideNameUnits);
        size_t take = static_cast<size_t>(length);
        if (i != n - 1) take = takenOf(wide, length, budget);
        appendWithBlank(line, wide, take);
        writeLine(line);
    }
    if (n == 0) writeSpeakerText(L"", 1);
}

}  // namespace

void onTalkStatusChange(uint64 connection, int status, int, anyID client) {
    if (status == 1)
        insertSpeaker(client);
    else if (status == 0)
        removeSpeaker(client);

    composeSpeakerLine(connection);

    if (displayWindow)
        notifyDisplay(DISPLAY_SPEAKERS_CHANGED);
    else
        displayWindow = FindWindowA(nullptr, channel::kWindowTitleA);
}

void clearSpeakerSlots() {
    for (anyID& c : speakerSlots.slot) c = 0;
}

void eraseSpeakers() {
    clearSpeakerSlots();
    writeSpeakerText(L"", 1);
    notifyDisplay(DISPLAY_SPEAKERS_CHANGED);
}
