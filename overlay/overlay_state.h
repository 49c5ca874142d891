#pragma once
// Everything the overlay program holds for its lifetime. One instance lives
// in wWinMain; the overlay window carries a pointer to it.
#include <windows.h>

#include "activity_queue.h"
#include "display_config.h"
#include "display_link.h"
#include "unique_handle.h"

inline constexpr int kTitleUnits = 100;

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
    HGDIOBJ font = nullptr;  // a stock object: never released
    UniqueGdiObject backgroundBrush;
    // The plugin's List Channel switch while the settings dialog runs.
    int listChannelSwitch = 0;
    wchar_t title[kTitleUnits] = L"";
    wchar_t className[kTitleUnits] = L"";
};
