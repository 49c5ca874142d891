#pragma once
// Draws the speaker line and the activity line.
#include <windows.h>

#include "overlay_state.h"

void paintOverlay(HWND window, const OverlayState& state);
