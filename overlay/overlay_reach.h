#pragma once
// Bringing the overlay back when no monitor shows it any more.
#include <windows.h>

#include "overlay_state.h"

// At start and after every change of the display configuration: a window no
// monitor shows enough of to grab moves to the default place on the primary
// monitor; its size and every other setting stay.
void bringOverlayIntoReach(HWND window, OverlayState& state);
