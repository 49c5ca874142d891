#pragma once
// The overlay's end of the display channel: the plugin's speaker area (or a
// private stand-in until the plugin is there), its activity area and log,
// and the mutex every write of either area and every copy out of them takes.
#include <windows.h>

#include <memory>

#include "display_channel.h"
#include "unique_handle.h"

// What a notification says the plugin has written: the speaker line, or
// activity entries (lines, and with a log, clears among them).
enum class Announced { Nothing, SpeakerLine, Activity };

enum class FetchResult {
    Done,
    // The mutex was not to be had in time: nothing was taken, and what was
    // owed stays owed for the next fetch. Meanwhile the last copies show.
    MutexBusy,
};

// The activity entries one fetch took, oldest first: lines to queue and
// the points where the plugin cleared the queue (kLogEntryClear).
struct ActivityEntries {
    struct Entry {
        DWORD kind;
        size_t length;
        wchar_t text[channel::kActivityUnits + 1];
    };
    unsigned count = 0;
    Entry entries[channel::kActivityLogLines];
};

class DisplayLink {
public:
    // At the program's start: opens what the plugin has created so far and
    // puts `startText` on the speaker line. With the channel open, the start
    // text goes into the shared area and a line left in the activity area
    // (never announced to us) is cleared, under the mutex; when the mutex is
    // busy both writes wait for the next fetch, and the paint shows what
    // they will write. Lines already in the plugin's log are not ours.
    void start(const wchar_t* startText);

    // On a notification, or on a retry with Announced::Nothing: opens the
    // channel if it is not open yet, then in one take of the mutex writes
    // what of ours still waits, takes the activity entries owed (those
    // written since the last take) into `taken` and copies both lines for
    // the paint. A speaker line the plugin announced replaces our waiting
    // start text; an announced activity line is kept, not cleared.
    FetchResult fetch(Announced announced, ActivityEntries& taken);

    // Something waits for the mutex: arm a retry.
    bool owesFetch() const { return activityOwed_ || startTextOwed_ || activityClearOwed_; }

    bool isOpen() const { return static_cast<bool>(speakerView_); }
    // The plugin keeps a log of its activity lines (an older one does not).
    bool hasLog() const { return static_cast<bool>(logView_); }
    // The mapped activity area (channel::kActivityUnits units), or null.
    // Read it only through a fetch; the paint asks whether it is there.
    const wchar_t* activityText() const { return activityArea(); }

    // What the paint draws and idle hiding looks at: both lines as they
    // stood at the last fetch, or our own text before the channel is open
    // and while the start writes wait. A paint never waits.
    const wchar_t* paintedSpeaker() const { return speakerCopy_; }
    const wchar_t* paintedActivity() const { return activityCopy_; }

private:
    // Whether a line found in the activity area at the opening was announced.
    enum class Opening { AtStart, OnNotification };
    // Where reading a log opened now begins.
    enum class LogStart { AfterNewest, AtOldestHeld };

    void openChannel(Opening opening);
    void openLog(LogStart from);
    void writeOwedHeld();
    void takeActivityHeld(ActivityEntries& taken);
    void copyLinesHeld();
    wchar_t* speakerArea() const;
    wchar_t* activityArea() const { return static_cast<wchar_t*>(activityView_.get()); }
    const ActivityLog* log() const { return static_cast<const ActivityLog*>(logView_.get()); }

    // Declared in the reverse of the order they are released at exit: the
    // views first, the mutex last.
    UniqueKernelHandle mutex_;
    UniqueKernelHandle logMapping_;
    UniqueView logView_;
    UniqueKernelHandle activityMapping_;
    UniqueView activityView_;
    UniqueKernelHandle speakerMapping_;
    UniqueView speakerView_;
    std::unique_ptr<wchar_t[]> privateText_;
    DWORD seen_ = 0;  // the newest log entry already taken
    bool activityOwed_ = false;
    bool startTextOwed_ = false;
    bool activityClearOwed_ = false;
    wchar_t startText_[channel::kSpeakerUnits] = L"";
    // One unit more than each area, for a line that fills it unterminated.
    wchar_t speakerCopy_[channel::kSpeakerUnits + 1] = L"";
    wchar_t activityCopy_[channel::kActivityUnits + 1] = L"";
};

// How long the overlay waits for the mutex: the plugin holds it only to
// copy a line. A fetch that cannot have it is tried again shortly after.
inline constexpr DWORD kOverlayMutexWaitMs = 100;
