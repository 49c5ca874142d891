#pragma once
// Keeping a window within reach of the mouse after the monitors it was
// placed on have gone or changed.
#include <windows.h>

// The part of a window that some monitor's work area must show for the
// user to grab it (less when the window itself is smaller).
inline constexpr int kGrabbablePixels = 20;

// True when one monitor's work area shows at least a kGrabbablePixels square
// of `window` (in screen coordinates, negative ones included).
bool reachableOnScreen(const RECT& window);

// A window no monitor shows enough of to grab moves to `home` (screen
// coordinates), in its own size, in its place in the window order, without
// being activated. True when it was moved; `was` then holds where it was.
bool moveIntoReach(HWND window, POINT home, RECT* was);

// True for the messages after which a window may have been left out of
// reach: WM_DISPLAYCHANGE (a monitor removed, a resolution changed) and the
// WM_SETTINGCHANGE for the work area that follows it.
bool screenLayoutChanged(UINT message, WPARAM wParam);
