#pragma once
// Everything the overlay program holds for its lifetime. One instance lives
// in wWinMain; the overlay window carries a pointer to it.
#include <windows.h>

#include "activity_queue.h"
#include "display_config.h"
#include "display_link.h"
#include "display_scale.h"
#include "play_config.h"
#include "scale_channel.h"
#include "unique_handle.h"
#include "window_drag.h"

inline constexpr int kTitleUnits = 100;

// Marks the speaker line until the plugin writes the first real one. It
// names nobody, so for idle hiding it counts as an empty line.
inline constexpr wchar_t kStartBanner[] =
    L"_________________TALVORI______________________________________________";
inline constexpr size_t kStartBannerUnits = sizeof kStartBanner / sizeof kStartBanner[0] - 1;
static_assert(kStartBannerUnits == 70, "the banner is 70 units");

struct OverlayState {
    // The settings in force: layout, what is drawn, the timer period.
    DisplayConfig liveConfig{};
    // Equal to liveConfig except while the settings dialog edits it; the
    // paint takes its three colours from here so the dialog can preview them.
    DisplayConfig previewConfig{};
    // The link goes before the queue so that at exit the queued copies are
    // freed first, then the views, then the mutex.
    DisplayLink link;
    ActivityQueue activityQueue;
    // The dpi of the monitor the window is on, the font for it, and where
    // the plugin reads that dpi (overlay_scale.h).
    UINT dpi = kBaseDpi;
    OverlayFont font;
    ScaleChannel scale;
    UniqueGdiObject backgroundBrush;
    // The plugin's List Channel switch while the settings dialog runs.
    int listChannelSwitch = 0;
    // Lock, idle hiding and hidden-by-the-user, as the plugin last stored them.
    PlayConfig play{};
    WindowDrag drag;
    // The dialog previews its changes on the window, so it shows meanwhile.
    bool settingsOpen = false;
    wchar_t title[kTitleUnits] = L"";
    wchar_t className[kTitleUnits] = L"";
};
