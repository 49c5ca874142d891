#pragma once
// The plugin's hold on the overlay program: finding its window, the DC text
// is measured with, and starting the program again when its window has gone
// while the plugin runs (crashed, killed by the user).
#include <windows.h>

// The overlay window by class and title: a message box or the settings
// dialog captioned "TALVORI" is not it.
HWND findOverlayWindow();

// Init: the program restarts are started from (empty: never restart).
// False when the path does not fit.
bool rememberOverlayProgram(const char* path);

// Makes `window` the overlay window and takes its DC for measuring.
void adoptOverlayWindow(HWND window);

// A notification found `dead` gone: forgets it and its DC and starts the
// program again, unless another thread has already done so. Returns at once.
void overlayWindowGone(HWND dead);

// True between a lost window and the moment it is found again.
bool overlayLost();

// While the window is lost: looks for it, and on finding it adopts it and
// returns it (to one caller only); else starts the program again when no
// start is under way, until a few starts in a row have failed.
HWND reacquireOverlayWindow();

// Shutdown: gives the DC back and returns the overlay window running now,
// which may be a restarted one not adopted yet (waiting briefly for a start
// under way). The restart state is cleared for the next init.
HWND releaseOverlayWindow();
