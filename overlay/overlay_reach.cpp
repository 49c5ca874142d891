#include "overlay_reach.h"

#include "display_config.h"
#include "screen_reach.h"

void bringOverlayIntoReach(HWND window, OverlayState& state) {
    DisplayConfig home;
    resetDisplayConfig(home);
    RECT was{};
    if (!moveIntoReach(window, POINT{home.x, home.y}, &was)) return;
    DisplayConfig& live = state.liveConfig;
    // Dragged there since the last save (onto a monitor now gone): store
    // that place now, as quitting would have, so it comes back with the
    // monitor.
    if (was.left != live.x || was.top != live.y) {
        live.x = was.left;
        live.y = was.top;
        saveDisplayConfig(live);
    }
    // Not a move by the user: the new place goes into memory only, so the
    // quit-time save sees no move and the record keeps the user's place.
    // The preview follows, or an open settings dialog would put the window
    // back where nobody can see it.
    live.x = state.previewConfig.x = home.x;
    live.y = state.previewConfig.y = home.y;
}
