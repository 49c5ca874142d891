#pragma once
// The one timer that ages the activity queue.
#include <windows.h>

#include "overlay_state.h"

inline constexpr UINT_PTR ACTIVITY_TIMER = 1;

// Stops the timer and starts it again with a full period of the configured
// display duration.
void restartActivityTimer(HWND window, const DisplayConfig& config);
void stopActivityTimer(HWND window);

// A tick: the line on screen has had its time.
void onActivityTimer(HWND window, OverlayState& state);
