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

LRESULT onSpeakersChanged(HWND window, OverlayState& state) {
    if (!state.link.isOpen()) openDisplayChannel(state.link);
    repaintOverlay(window);
    return 0;
}

// Copies the line the plugin just wrote, under its mutex. Without the
// activity view or the mutex there is nothing safe to copy, so nothing is
// queued.
void queueActivityLine(HWND window, OverlayState& state) {
    DisplayLink& link = state.link;
    ActivityQueue& queue = state.activityQueue;
    if (queue.full() || state.liveConfig.displayDuration == 0) return;
    if (!link.activityText() || !link.mutex()) return;
    // A line entering an empty queue gets a full period.
    if (queue.empty()) restartActivityTimer(window, state.liveConfig);
    // An abandoned mutex still guards a complete write: the plugin's
    // writer always terminates the line before it releases.
    WaitForSingleObject(link.mutex(), INFINITE);
    // Any process may write the area, so the length is bounded by it.
    const wchar_t* line = link.activityText();
    queue.push(line, boundedLength(line, channel::kActivityUnits));
    ReleaseMutex(link.mutex());
}

LRESULT onActivityPosted(HWND window, OverlayState& state) {
    if (!state.link.isOpen()) openDisplayChannel(state.link);
    queueActivityLine(window, state);
    repaintOverlay(window);
    return 0;
}

LRESULT onActivityClear(HWND window, OverlayState& state) {
    state.activityQueue.clear();
    stopActivityTimer(window);
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
