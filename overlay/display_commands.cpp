#include "display_commands.h"

#include "activity_timer.h"
#include "display_channel.h"
#include "overlay_visibility.h"
#include "overlay_window.h"
#include "settings_dialog.h"

namespace {

LRESULT onQuit(HWND window, OverlayState& state) {
    // An open dialog's preview may have moved the window (RESET does).
    cancelSettingsDialog();
    RECT r{};
    GetWindowRect(window, &r);
    DisplayConfig& live = state.liveConfig;
    // The user dragged the window: keep the place for the next start.
    if (r.left != live.x || r.top != live.y) {
        live.x = r.left;
        live.y = r.top;
        saveDisplayConfig(live);
    }
    stopActivityTimer(window);
    PostQuitMessage(0);
    return 0;
}

// A fetch the mutex held up is tried again with this timer (it carries its
// own procedure).
constexpr UINT_PTR DISPLAY_FETCH_RETRY_TIMER = 0x7A1;
constexpr UINT kFetchRetryMs = 100;

// Queues the activity entries a fetch took: a clear entry drops what was
// queued before it. With a display duration of 0 nothing is queued, yet
// the lines count as read.
void queueTaken(HWND window, OverlayState& state, const ActivityEntries& taken) {
    if (taken.count == 0) return;
    ActivityQueue& queue = state.activityQueue;
    const bool queueing = state.liveConfig.displayDuration != 0;
    const bool wasEmpty = queue.empty();
    bool cleared = false;
    for (unsigned i = 0; i < taken.count; ++i) {
        const ActivityEntries::Entry& entry = taken.entries[i];
        if (entry.kind == kLogEntryClear) {
            queue.clear();
            cleared = true;
        } else if (entry.kind == kLogEntryLine && queueing) {
            queue.push(entry.text, entry.length);  // a full queue drops the line
        }
    }
    // A line that comes to the head of an empty (or just cleared) queue gets
    // a full period; a line behind the head waits for it.
    if (queue.empty()) {
        if (cleared) stopActivityTimer(window);
    } else if (wasEmpty || cleared) {
        restartActivityTimer(window, state.liveConfig);
    }
}

VOID CALLBACK onFetchRetry(HWND window, UINT, UINT_PTR id, DWORD);

// Takes what the plugin announced into the queue and the paint's copies;
// a busy mutex is tried again shortly, meanwhile the last copies show.
void fetchAnnounced(HWND window, OverlayState& state, Announced announced) {
    ActivityEntries taken;
    if (state.link.fetch(announced, taken) == FetchResult::MutexBusy)
        SetTimer(window, DISPLAY_FETCH_RETRY_TIMER, kFetchRetryMs, onFetchRetry);
    else
        queueTaken(window, state, taken);
    repaintOverlay(window);
}

VOID CALLBACK onFetchRetry(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    fetchAnnounced(window, overlayStateOf(window), Announced::Nothing);
}

LRESULT onSpeakersChanged(HWND window, OverlayState& state) {
    fetchAnnounced(window, state, Announced::SpeakerLine);
    return 0;
}

LRESULT onActivityPosted(HWND window, OverlayState& state) {
    fetchAnnounced(window, state, Announced::Activity);
    return 0;
}

// With the plugin's log, its clears are entries there, in their place among
// the lines: what was posted after the clear stays. The code alone clears
// everything for an older plugin, and when the overlay itself posts it
// after the duration was set to 0.
LRESULT onActivityClear(HWND window, OverlayState& state) {
    if (state.link.hasLog() && state.liveConfig.displayDuration != 0) {
        fetchAnnounced(window, state, Announced::Activity);
    } else {
        state.activityQueue.clear();
        stopActivityTimer(window);
        fetchAnnounced(window, state, Announced::Nothing);  // with duration 0 the area itself shows
    }
    return 0;
}

LRESULT onOpenSettings(HWND window, OverlayState& state, LPARAM lParam) {
    // The dialog's previews place the window from liveConfig, so it must
    // hold where the user has dragged it.
    RECT r{};
    GetWindowRect(window, &r);
    state.liveConfig.x = r.left;
    state.liveConfig.y = r.top;
    state.listChannelSwitch = static_cast<int>(static_cast<DWORD>(lParam));
    // An idle-hidden window shows while the dialog previews on it.
    state.settingsOpen = true;
    updateOverlayVisibility(window, state);
    runSettingsDialog(window);
    state.settingsOpen = false;
    updateOverlayVisibility(window, state);
    // Posted, not handled here: the plugin is still waiting on this send.
    if (state.liveConfig.displayDuration == 0)
        PostMessageW(window, DISPLAY_MESSAGE, DISPLAY_ACTIVITY_CLEAR, 0);
    return state.listChannelSwitch;
}

LRESULT onPlayChanged(HWND window, OverlayState& state) {
    reloadPlayConfig(window, state);
    return 0;
}

}  // namespace

void retryOwedFetch(HWND window, OverlayState& state) {
    if (state.link.owesFetch())
        SetTimer(window, DISPLAY_FETCH_RETRY_TIMER, kFetchRetryMs, onFetchRetry);
}

LRESULT onDisplayMessage(HWND window, OverlayState& state, WPARAM code, LPARAM lParam) {
    switch (code) {
    case DISPLAY_QUIT:
        return onQuit(window, state);
    case DISPLAY_SPEAKERS_CHANGED:
        return onSpeakersChanged(window, state);
    case DISPLAY_ACTIVITY_POSTED:
        return onActivityPosted(window, state);
    case DISPLAY_ACTIVITY_CLEAR:
        return onActivityClear(window, state);
    case DISPLAY_OPEN_SETTINGS:
        return onOpenSettings(window, state, lParam);
    case DISPLAY_PLAY_CHANGED:
        return onPlayChanged(window, state);
    default:
        return 0;
    }
}
