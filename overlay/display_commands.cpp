#include "display_commands.h"

#include "activity_timer.h"
#include "display_channel.h"
#include "overlay_visibility.h"
#include "overlay_window.h"
#include "settings_dialog.h"

namespace {

LRESULT onQuit(HWND window, OverlayState& state) {
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

VOID CALLBACK onLinesCopyRetry(HWND window, UINT, UINT_PTR id, DWORD);

// Copies both lines for the paint; a busy mutex is tried again shortly.
void copyLinesOrRetry(HWND window, OverlayState& state) {
    if (!copyLines(state.link))
        SetTimer(window, LINES_COPY_RETRY_TIMER, kActivityReadRetryMs, onLinesCopyRetry);
}

VOID CALLBACK onLinesCopyRetry(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    copyLinesOrRetry(window, overlayStateOf(window));
    repaintOverlay(window);
}

LRESULT onSpeakersChanged(HWND window, OverlayState& state) {
    if (!state.link.isOpen()) openDisplayChannel(state.link, true);
    copyLinesOrRetry(window, state);
    repaintOverlay(window);
    return 0;
}

VOID CALLBACK onActivityReadRetry(HWND window, UINT, UINT_PTR id, DWORD);

// Takes every line the plugin wrote since the last read into the queue; a
// clear entry drops what was queued before it. With a display duration of
// 0 nothing is queued, yet the lines count as read.
void takeNewActivity(HWND window, OverlayState& state) {
    ActivityQueue& queue = state.activityQueue;
    const bool queueing = state.liveConfig.displayDuration != 0;
    const bool wasEmpty = queue.empty();
    bool cleared = false;
    const bool read = readNewActivity(state.link, [&](DWORD kind, const wchar_t* text,
                                                      size_t length) {
        if (kind == kLogEntryClear) {
            queue.clear();
            cleared = true;
        } else if (kind == kLogEntryLine && queueing) {
            queue.push(text, length);  // a full queue drops the line
        }
    });
    if (!read) {
        // The mutex was busy: the lines wait in the log, read again soon.
        SetTimer(window, ACTIVITY_READ_RETRY_TIMER, kActivityReadRetryMs, onActivityReadRetry);
        return;
    }
    // A line that comes to the head of an empty (or just cleared) queue gets
    // a full period; a line behind the head waits for it.
    if (queue.empty()) {
        if (cleared) stopActivityTimer(window);
    } else if (wasEmpty || cleared) {
        restartActivityTimer(window, state.liveConfig);
    }
}

VOID CALLBACK onActivityReadRetry(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    takeNewActivity(window, overlayStateOf(window));
    repaintOverlay(window);
}

LRESULT onActivityPosted(HWND window, OverlayState& state) {
    if (!state.link.isOpen())
        openDisplayChannel(state.link, true);
    else
        openActivityLog(state.link, true);
    takeNewActivity(window, state);
    repaintOverlay(window);
    return 0;
}

// With the plugin's log, its clears are entries there, in their place among
// the lines: what was posted after the clear stays. The code alone clears
// everything for an older plugin, and when the overlay itself posts it
// after the duration was set to 0.
LRESULT onActivityClear(HWND window, OverlayState& state) {
    if (state.link.hasLog() && state.liveConfig.displayDuration != 0) {
        takeNewActivity(window, state);
    } else {
        state.activityQueue.clear();
        stopActivityTimer(window);
        copyLinesOrRetry(window, state);  // with duration 0 the area itself shows
    }
    repaintOverlay(window);
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
