#include "activity_timer.h"

#include "overlay_window.h"

void restartActivityTimer(HWND window, const DisplayConfig& config) {
    KillTimer(window, ACTIVITY_TIMER);
    SetTimer(window, ACTIVITY_TIMER, config.displayDuration * 1000u, nullptr);
}

void stopActivityTimer(HWND window) { KillTimer(window, ACTIVITY_TIMER); }

void onActivityTimer(HWND window, OverlayState& state) {
    // An empty queue keeps the timer running; the next line restarts it.
    if (!state.activityQueue.empty()) {
        state.activityQueue.popHead();
        // The next line gets a full period of its own. A duration set to 0
        // in the meantime leaves the timer stopped.
        if (state.liveConfig.displayDuration != 0)
            restartActivityTimer(window, state.liveConfig);
        else
            stopActivityTimer(window);
    }
    repaintOverlay(window);
}
