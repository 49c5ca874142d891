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
    UniqueKernelHandle logMapping;
    UniqueView logView;                  // ActivityLog
};
extern PluginChannel displayChannel;

SharedArea speakerArea();   // empty (null text) until init mapped it
SharedArea activityArea();

// Init, after the two text areas: creates (or opens) and maps the activity
// log. False when it could not; the channel then works as an older one did,
// with the newest activity line alone.
bool createActivityLog();

// How long a host thread waits for DisplayMutex. Whatever could not be
// written in that time is kept and written by the next write or by a retry
// shortly after, and the overlay is told then.
inline constexpr DWORD kDisplayMutexWaitMs = 250;

// The speaker line, with the count the caller computed. Every writer keeps
// a copy of what it wrote: a restarted overlay program overwrites the areas
// with its start text, and gets the copies back.
void writeSpeakerText(const wchar_t* text, unsigned count);
// Stores a whole activity line (count = min(length + 1, 128)) in the
// activity area without announcing it.
void writeActivityText(const wchar_t* text);
// Stores the line, adds it to the activity log and tells the overlay.
void postActivityLine(const wchar_t* text);
// The stored line once more, as a new entry of the log.
void repostActivityLine();
// Marks the point in the log up to which the overlay drops its queue, and
// tells the overlay.
void clearActivityLines();
// Both at once, with one take of the mutex: the clear, then the line, stored
// and, when `announce` is set, posted.
void clearThenActivityLine(const wchar_t* text, bool announce);

// Codes 1-3: SendNotifyMessageW to the overlay window, skipped while
// displayWindow is unknown. A window found gone is forgotten and its
// program started again; once it is back, the next notification rewrites
// both lines into the areas and tells it about both.
void notifyDisplay(DisplayCode code);
// notifyDisplay for the speaker line, which also looks an unknown window up
// for the next event.
void notifyOrSeekDisplay(DisplayCode code);

// Unmaps and closes everything, after any write under way has finished;
// a write that comes later does nothing. Cancels a pending retry and waits
// for one that is running, so nothing of the library runs afterwards.
void closeDisplayChannel();
