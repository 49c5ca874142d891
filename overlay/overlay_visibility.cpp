#include "overlay_visibility.h"

#include <cwchar>

#include "click_through.h"
#include "display_channel.h"

namespace {

bool speakerLineIdle(const OverlayState& state) {
    const wchar_t* speaker = state.link.paintedSpeaker();
    const size_t length = boundedLength(speaker, channel::kSpeakerUnits);
    return length == 0 ||
           (length == kStartBannerUnits && std::wmemcmp(speaker, kStartBanner, length) == 0);
}

// What the paint would put on the activity row, non-empty.
bool activityLineShowing(const OverlayState& state) {
    const DisplayConfig& live = state.liveConfig;
    if (!live.activityEnabled) return false;
    if (live.displayDuration == 0 && state.link.activityText())
        return boundedLength(state.link.paintedActivity(), channel::kActivityUnits) > 0;
    return !state.activityQueue.empty() && state.activityQueue.lengthAt(0) > 0;
}

bool shouldShow(const OverlayState& state) {
    if (state.play.overlayHidden) return false;
    if (!state.play.hideWhenIdle || state.settingsOpen) return true;
    return overlayHasContent(state);
}

void applyLock(HWND window, OverlayState& state) {
    setClickThrough(window, state.play.locked ? ClickThrough::on : ClickThrough::off, state.drag);
}

}  // namespace

DWORD overlayExStyle(const PlayConfig& play) {
    // Layered and transparent together make every click go to the window
    // beneath.
    DWORD exStyle = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    if (play.locked) exStyle |= WS_EX_TRANSPARENT;
    return exStyle;
}

bool overlayHasContent(const OverlayState& state) {
    return !speakerLineIdle(state) || activityLineShowing(state);
}

void updateOverlayVisibility(HWND window, OverlayState& state) {
    const bool show = shouldShow(state);
    if (show == (IsWindowVisible(window) != FALSE)) return;
    if (show) {
        // Back on top as well: another topmost window may have come since.
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    } else {
        stopWindowDrag(window, state.drag);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
}

void reloadPlayConfig(HWND window, OverlayState& state) {
    loadPlayConfig(state.play);
    applyLock(window, state);
    updateOverlayVisibility(window, state);
}
