#include "overlay_scale.h"

#include "display_scale.h"
#include "overlay_window.h"

namespace {

// y of the second line at 100 %: fixed, whatever the stored line height says.
constexpr int kActivityLineStep = 20;

void takeDpi(OverlayState& state, UINT dpi) {
    if (state.font.makeFor(dpi)) state.dpi = dpi;
    // Published even when unchanged: an overlay started again finds the
    // area the plugin kept, holding what its predecessor published.
    state.scale.publish(state.dpi);
}

}  // namespace

void startOverlayScale(OverlayState& state) {
    state.scale.open();
    takeDpi(state, systemDpi());
}

void adoptOverlayDpi(HWND window, OverlayState& state) { takeDpi(state, dpiOfWindow(window)); }

SIZE overlaySize(const DisplayConfig& config, UINT dpi) {
    // The two-lines byte counts lines, so a stored 2 makes room for three.
    const int lines = config.twoLines + 1;
    return SIZE{scaleLength(config.width, dpi), scaleLength(lines * config.lineHeight, dpi)};
}

int activityLineTop(const OverlayState& state) {
    // In one-line mode both lines share y 0; a stored 2 puts it at 40.
    return scaleLength(state.liveConfig.twoLines * kActivityLineStep, state.dpi);
}

LRESULT onOverlayDpiChanged(HWND window, OverlayState& state, UINT dpi, const RECT* suggested) {
    if (plausibleDpi(dpi)) takeDpi(state, dpi);
    // The suggested place keeps the window where the user put it relative
    // to the monitors; the size is ours, from the record shown (the preview
    // while the settings dialog edits it, the live one otherwise).
    RECT now{};
    GetWindowRect(window, &now);
    const POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{now.left, now.top};
    const SIZE size = overlaySize(state.previewConfig, state.dpi);
    SetWindowPos(window, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    repaintOverlay(window);
    return 0;
}
