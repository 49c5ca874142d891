#include "display_link.h"

#include "globals.h"
#include "overlay_link.h"
#include "plugin_lock.h"

PluginChannel displayChannel;

namespace {

// The retry waits less than a host thread: it runs again soon anyway.
constexpr DWORD kRetryWaitMs = 50;
constexpr LONGLONG kRetryDelay100ns = -2000000;  // 200 ms from now

// Guards the views against closing, what each area was last given and what
// is still to be written. Writers hold it across their (bounded) wait for
// DisplayMutex, so that a copy written back is never older than the area's
// content and shutdown never unmaps a view under a writer.
PluginLock channelLock;
wchar_t speakerCopy[channel::kSpeakerUnits] = L"";
wchar_t activityCopy[channel::kActivityUnits] = L"";
bool speakerPending = false;
bool slotPending = false;

// Log entries not yet in the shared log, oldest first. When more wait than
// the log holds, the oldest go: a reader that far behind skips them too.
struct PendingEntry {
    DWORD kind;
    wchar_t text[channel::kActivityUnits];
};
PendingEntry pendingEntries[channel::kActivityLogLines];
unsigned pendingFirst = 0;
unsigned pendingCount = 0;

// Who flushes: a host thread does not wait while a retry is armed; the
// retry itself does.
enum class Flusher { HostThread, Retry };
// What a notification does while no overlay window is known.
enum class UnknownWindow { Skip, LookUp };
// What publish does before and with its line.
enum class LogClear { Keep, ClearFirst };
enum class LineUse { SlotOnly, Announce };

PTP_TIMER retryTimer = nullptr;
bool retryArmed = false;

// At most count - 1 units, as a shared area's writer stores them.
void keepCopy(wchar_t* copy, unsigned capacity, const wchar_t* text, unsigned count) {
    copyBoundedText(copy, capacity, text, count ? count - 1 : 0);
}

void keepEntry(DWORD kind, const wchar_t* text) {
    if (pendingCount == channel::kActivityLogLines) {
        pendingFirst = (pendingFirst + 1) % channel::kActivityLogLines;
        --pendingCount;
    }
    PendingEntry& e = pendingEntries[(pendingFirst + pendingCount) % channel::kActivityLogLines];
    e.kind = kind;
    keepCopy(e.text, channel::kActivityUnits, text, channel::kActivityUnits);
    ++pendingCount;
}

ActivityLog* activityLog() { return static_cast<ActivityLog*>(displayChannel.logView.get()); }

void dropPending() {
    speakerPending = slotPending = false;
    pendingFirst = pendingCount = 0;
}

// With the mutex held (or none to take): everything pending goes out.
void writePending() {
    if (speakerPending)
        copySharedText(speakerArea(), speakerCopy, sharedCount(speakerCopy, channel::kSpeakerUnits));
    if (slotPending)
        copySharedText(activityArea(), activityCopy,
                       sharedCount(activityCopy, channel::kActivityUnits));
    if (ActivityLog* log = activityLog())
        for (unsigned i = 0; i < pendingCount; ++i) {
            const PendingEntry& e = pendingEntries[(pendingFirst + i) % channel::kActivityLogLines];
            appendActivityLog(log, e.kind, e.text);
        }
    dropPending();
}

VOID CALLBACK onRetry(PTP_CALLBACK_INSTANCE, PVOID, PTP_TIMER);

void armRetry() {
    if (!retryTimer) retryTimer = CreateThreadpoolTimer(onRetry, nullptr, nullptr);
    if (!retryTimer) return;  // the next write tries again
    ULARGE_INTEGER due;
    due.QuadPart = static_cast<ULONGLONG>(kRetryDelay100ns);
    FILETIME dueTime{due.LowPart, due.HighPart};
    SetThreadpoolTimer(retryTimer, &dueTime, 0, 0);
    retryArmed = true;
}

// Under channelLock. True when nothing is left to write. A host thread
// does not wait while a retry is armed: the mutex was not to be had a
// moment ago, and the retry writes its text too.
bool flushLocked(DWORD waitMs, Flusher flusher) {
    if (!speakerPending && !slotPending && pendingCount == 0) return true;
    HANDLE mutex = displayChannel.mutex.get();
    if (!mutex) {
        // Closed (or a test's channel without a mutex): nothing can be
        // writing the views but us.
        writePending();
        return true;
    }
    if (retryArmed && flusher != Flusher::Retry) return false;
    const DWORD wait = WaitForSingleObject(mutex, waitMs);
    // An abandoned mutex is ours all the same; the writer that died left
    // at worst a torn line, which this write replaces.
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        armRetry();
        return false;
    }
    writePending();
    ReleaseMutex(mutex);
    return true;
}

void post(HWND window, DisplayCode code) {
    SendNotifyMessageW(window, DISPLAY_MESSAGE, code, 0);
}

VOID CALLBACK onRetry(PTP_CALLBACK_INSTANCE, PVOID, PTP_TIMER) {
    bool speaker = false, log = false;
    {
        PluginLockGuard guard(channelLock);
        if (!retryArmed) return;
        retryArmed = false;
        speaker = speakerPending;
        log = pendingCount != 0;
        if (!flushLocked(kRetryWaitMs, Flusher::Retry)) return;
    }
    // A plain notification: starting the overlay program again is left to
    // the host threads' next event.
    if (HWND window = displayWindow) {
        if (speaker) post(window, DISPLAY_SPEAKERS_CHANGED);
        if (log) post(window, DISPLAY_ACTIVITY_POSTED);
    }
}

// The overlay program came back with its start text in the areas: both
// lines go back in, and it is told about both. A clear that brought it back
// still applies after them.
void refillRestartedDisplay(HWND window, DisplayCode code) {
    bool activity = false;
    bool written = false;
    {
        PluginLockGuard guard(channelLock);
        speakerPending = slotPending = true;
        activity = activityCopy[0] != L'\0';
        if (activity) keepEntry(kLogEntryLine, activityCopy);
        written = flushLocked(kDisplayMutexWaitMs, Flusher::HostThread);
    }
    if (!written) return;  // the retry tells it
    post(window, DISPLAY_SPEAKERS_CHANGED);
    if (activity) post(window, DISPLAY_ACTIVITY_POSTED);
    if (code == DISPLAY_ACTIVITY_CLEAR) post(window, code);
}

void deliver(DisplayCode code, UnknownWindow unknown) {
    HWND window = displayWindow;
    if (window) {
        if (!SendNotifyMessageW(window, DISPLAY_MESSAGE, code, 0) && !IsWindow(window))
            overlayWindowGone(window);
        return;
    }
    if (overlayLost()) {
        if (HWND back = reacquireOverlayWindow()) refillRestartedDisplay(back, code);
        return;
    }
    if (unknown == UnknownWindow::LookUp) seekOverlayWindow();
}

// One take of the mutex for all of it: an optional clear, then an optional
// line stored in the slot and, when announced, added to the log. Tells the
// overlay afterwards: the clear always (an older overlay program reads no
// log and clears on the code alone), the line once it is written (else the
// retry tells it).
void publish(LogClear logClear, const wchar_t* line, LineUse use) {
    const bool clear = logClear == LogClear::ClearFirst;
    const bool announce = use == LineUse::Announce;
    bool written = false;
    {
        PluginLockGuard guard(channelLock);
        if (clear) keepEntry(kLogEntryClear, L"");
        if (line) {
            keepCopy(activityCopy, channel::kActivityUnits, line, channel::kActivityUnits);
            slotPending = true;
            if (announce) keepEntry(kLogEntryLine, activityCopy);
        }
        written = flushLocked(kDisplayMutexWaitMs, Flusher::HostThread);
    }
    if (clear) notifyDisplay(DISPLAY_ACTIVITY_CLEAR);
    if (line && announce && written) notifyDisplay(DISPLAY_ACTIVITY_POSTED);
}

}  // namespace

SharedArea speakerArea() {
    return SharedArea{static_cast<wchar_t*>(displayChannel.speakerView.get()),
                      channel::kSpeakerUnits};
}

SharedArea activityArea() {
    return SharedArea{static_cast<wchar_t*>(displayChannel.activityView.get()),
                      channel::kActivityUnits};
}

bool createActivityLog() {
    displayChannel.logMapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr,
                                                       PAGE_READWRITE, 0, kActivityLogBytes,
                                                       channel::kActivityLogName));
    if (!displayChannel.logMapping) return false;
    displayChannel.logView.reset(MapViewOfFile(displayChannel.logMapping.get(),
                                               channel::kMapAllAccess, 0, 0, kActivityLogBytes));
    if (!displayChannel.logView) {
        displayChannel.logMapping.reset();
        return false;
    }
    // An existing log (an overlay still holds it) keeps its numbering, so
    // that its reader neither repeats nor skips a line.
    startActivityLog(activityLog());
    return true;
}

void writeSpeakerText(const wchar_t* text, unsigned count) {
    PluginLockGuard guard(channelLock);
    keepCopy(speakerCopy, channel::kSpeakerUnits, text, count);
    speakerPending = true;
    flushLocked(kDisplayMutexWaitMs, Flusher::HostThread);
}

void writeActivityText(const wchar_t* text) {
    const unsigned count = sharedCount(text, channel::kActivityUnits);
    PluginLockGuard guard(channelLock);
    keepCopy(activityCopy, channel::kActivityUnits, text, count);
    slotPending = true;
    flushLocked(kDisplayMutexWaitMs, Flusher::HostThread);
}

void postActivityLine(const wchar_t* text) { publish(LogClear::Keep, text, LineUse::Announce); }

void repostActivityLine() {
    wchar_t line[channel::kActivityUnits];
    {
        PluginLockGuard guard(channelLock);
        keepCopy(line, channel::kActivityUnits, activityCopy, channel::kActivityUnits);
    }
    publish(LogClear::Keep, line, LineUse::Announce);
}

void clearActivityLines() { publish(LogClear::ClearFirst, nullptr, LineUse::SlotOnly); }

void clearThenActivityLine(const wchar_t* text, bool announce) {
    publish(LogClear::ClearFirst, text, announce ? LineUse::Announce : LineUse::SlotOnly);
}

void notifyDisplay(DisplayCode code) { deliver(code, UnknownWindow::Skip); }

void notifyOrSeekDisplay(DisplayCode code) { deliver(code, UnknownWindow::LookUp); }

void closeDisplayChannel() {
    PTP_TIMER timer = nullptr;
    {
        PluginLockGuard guard(channelLock);
        displayChannel.speakerView.reset();
        displayChannel.speakerMapping.reset();
        displayChannel.activityView.reset();
        displayChannel.activityMapping.reset();
        displayChannel.logView.reset();
        displayChannel.logMapping.reset();
        displayChannel.mutex.reset();
        speakerCopy[0] = L'\0';
        activityCopy[0] = L'\0';
        dropPending();
        retryArmed = false;
        timer = retryTimer;
        retryTimer = nullptr;
    }
    // Outside the lock: a retry running now needs it to finish.
    if (timer) {
        SetThreadpoolTimer(timer, nullptr, 0, 0);
        WaitForThreadpoolTimerCallbacks(timer, TRUE);
        CloseThreadpoolTimer(timer);
    }
}
