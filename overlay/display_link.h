#pragma once
// The overlay's end of the display channel: the plugin's speaker area (or a
// private stand-in until the plugin is there), its activity area and log,
// and the mutex it writes under.
#include <windows.h>

#include <memory>

#include "display_channel.h"
#include "unique_handle.h"

class DisplayLink {
public:
    // Where the speaker line is read and the start text written: the shared
    // view once the channel is open, the private buffer before. Always
    // channel::kSpeakerUnits units long.
    wchar_t* speakerText() const;
    // The mapped activity area (channel::kActivityUnits units), or null.
    wchar_t* activityText() const { return static_cast<wchar_t*>(activityView_.get()); }
    HANDLE mutex() const { return mutex_.get(); }
    bool isOpen() const { return static_cast<bool>(speakerView_); }
    // The plugin keeps a log of its activity lines (an older one does not).
    bool hasLog() const { return static_cast<bool>(logView_); }

    // What the paint draws and idle hiding looks at: both lines as they
    // stood at the last copy (refreshed by copyLines and by every read of
    // new activity, in the same take of the mutex), or the private
    // buffer's text before the channel is open. A paint never waits.
    const wchar_t* paintedSpeaker() const { return speakerCopy_; }
    const wchar_t* paintedActivity() const { return activityCopy_; }

private:
    friend int openDisplayChannel(DisplayLink& link, bool onNotification);
    friend void openActivityLog(DisplayLink& link, bool onNotification);
    friend bool copyLines(DisplayLink& link);
    friend void copyLinesHeld(DisplayLink& link);
    template <typename Take>
    friend bool readNewActivity(DisplayLink& link, Take take);

    const ActivityLog* log() const { return static_cast<const ActivityLog*>(logView_.get()); }

    // Declared in the reverse of the order they are released at exit: the
    // speaker text first, then the activity view and log, the mutex last.
    UniqueKernelHandle mutex_;
    UniqueKernelHandle logMapping_;
    UniqueView logView_;
    UniqueKernelHandle activityMapping_;
    UniqueView activityView_;
    UniqueKernelHandle speakerMapping_;
    UniqueView speakerView_;
    std::unique_ptr<wchar_t[]> privateText_;
    DWORD seen_ = 0;  // the newest log entry already taken
    // One unit more than each area, for a line that fills it unterminated.
    wchar_t speakerCopy_[channel::kSpeakerUnits + 1] = L"";
    wchar_t activityCopy_[channel::kActivityUnits + 1] = L"";
};

// How long the overlay waits for DisplayMutex: the plugin holds it only to
// copy a line. A copy or a read of new activity lines that cannot have it
// is tried again shortly after; meanwhile the last copy shows.
inline constexpr DWORD kOverlayMutexWaitMs = 100;

// Opens whatever the plugin has created so far. Returns 1 when the speaker
// view, the activity view and the mutex are all in hand, 0 otherwise;
// failures are traced to standard output and never stop the program.
// Once the speaker view is mapped the channel counts as open and is not
// opened again. At the program's start a line left in the activity area
// was never announced to us and is cleared; an opening on a notification
// keeps it, for it is the line that notification announces.
int openDisplayChannel(DisplayLink& link, bool onNotification = false);

// Opens the plugin's activity log when it has one and this program has
// not opened it yet. At start only lines written from then on are taken;
// on a notification every line the log holds is.
void openActivityLog(DisplayLink& link, bool onNotification);

// Copies both lines for the paint under the mutex (bounded wait); before
// the channel is open, the private text without it. False when the mutex
// was not to be had in time: the last copy stands. Each take of the mutex
// is a trip to the kernel the plugin's writer may queue behind, so every
// notification takes it once.
bool copyLines(DisplayLink& link);
// The same with the mutex already held.
void copyLinesHeld(DisplayLink& link);

// Hands every activity entry the plugin wrote since the last read to
// `take(kind, text, length)` (kind kLogEntryLine or kLogEntryClear), under
// the mutex, and copies both lines for the paint in the same take. With an
// older plugin, the newest line alone, as a line. False when the mutex was
// not to be had in time: nothing was read or copied.
template <typename Take>
bool readNewActivity(DisplayLink& link, Take take) {
    HANDLE mutex = link.mutex();
    if (!mutex) return copyLines(link);  // no mutex (yet): no log to read either
    const DWORD wait = WaitForSingleObject(mutex, kOverlayMutexWaitMs);
    // An abandoned mutex still guards a complete write: the plugin's writer
    // terminates every line before it releases.
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
    if (link.hasLog() && activityLogUsable(link.log())) {
        readActivityLog(link.log(), link.seen_, take);
    } else if (const wchar_t* line = link.activityText()) {
        // Any process may write the area, so the length is bounded by it.
        take(kLogEntryLine, line, boundedLength(line, channel::kActivityUnits));
    }
    copyLinesHeld(link);
    ReleaseMutex(mutex);
    return true;
}
