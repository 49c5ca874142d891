#pragma once
// The overlay window: its class, its creation, its look and its messages.
#include <windows.h>

#include "display_config.h"
#include "overlay_state.h"

// Registers the window class with a background brush of the live
// background colour; later colour changes never reach that brush.
bool registerOverlayClass(HINSTANCE instance, OverlayState& state);

// Creates the layered, topmost popup where liveConfig places it and gives it
// liveConfig's look; not yet visible, and never to be activated. Null when
// the window cannot be created.
HWND createOverlayWindow(HINSTANCE instance, OverlayState& state);

// Border, alpha, colour key, position and size from `config`. The colour
// key is used only when the config asks for it and `colourKeyAllowed` is set.
void applyWindowStyle(HWND window, const DisplayConfig& config, bool colourKeyAllowed);

// Shows or hides the window as idle hiding says, then invalidates the whole
// window with erasing and paints it at once.
void repaintOverlay(HWND window);

// The state the window was created with (for the settings dialog).
OverlayState& overlayStateOf(HWND window);
