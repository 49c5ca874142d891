#pragma once
// What the plugin asks of the overlay through DISPLAY_MESSAGE.
#include <windows.h>

#include "overlay_state.h"

// Handles one command code; unknown codes do nothing and answer 0.
LRESULT onDisplayMessage(HWND window, OverlayState& state, WPARAM code, LPARAM lParam);

// Arms the retry for what the start left waiting for the mutex.
void retryOwedFetch(HWND window, OverlayState& state);
