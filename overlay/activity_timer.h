#pragma once
// The one timer that ages the activity queue.
#include <windows.h>

#include "overlay_state.h"

inline constexpr UINT_PTR ACTIVITY_TIMER = 1;
// A read of new activity lines that found the mutex busy is tried again
// with this timer (it carries its own procedure).
inline constexpr UINT_PTR ACTIVITY_READ_RETRY_TIMER = 0x7A1;
inline constexpr UINT kActivityReadRetryMs = 100;
// The same for a copy of the speaker line the mutex held up.
inline constexpr UINT_PTR LINES_COPY_RETRY_TIMER = 0x7A2;

// Stops the timer and starts it again with a full period of the configured
// display duration.
void restartActivityTimer(HWND window, const DisplayConfig& config);
void stopActivityTimer(HWND window);

// A tick: the line on screen has had its time.
void onActivityTimer(HWND window, OverlayState& state);
