#pragma once
// Whether a window can still be reached with the mouse after the monitors
// it was placed on have gone or changed.
#include <windows.h>

// The part of a window that some monitor's work area must show for the
// user to grab it (less when the window itself is smaller).
inline constexpr int kGrabbablePixels = 20;

// True when one monitor's work area shows at least a kGrabbablePixels square
// of `window` (in screen coordinates, negative ones included).
bool reachableOnScreen(const RECT& window);
