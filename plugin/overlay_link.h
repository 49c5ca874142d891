#pragma once
// The plugin's hold on the overlay program: finding its window, starting
// the program (again, when its window has gone while the plugin runs:
// crashed, killed by the user) and ending it.
#include <windows.h>

// The overlay window by class and title: a message box or the settings
// dialog captioned "TALVORI" is not it.
HWND findOverlayWindow();

// Init: the program to start, a UTF-8 path from the host (empty: never
// start or restart). False when the path does not fit or is not valid
// UTF-8: a path read any other way could start some other program.
bool rememberOverlayProgram(const char* path);

// Starts the remembered program; its process handle, or null when it could
// not be started. The caller hands the handle on to adoptOverlayWindow or
// to abandonOverlayStart.
HANDLE startOverlayProgram();

// Init found no window after starting the program: ends it (a window it
// showed later would have nobody to tell it to quit) and forgets the path.
void abandonOverlayStart(HANDLE started);

// Makes `window` the overlay window.
// `started` is the process init started, or null; the plugin ends only a
// process it started itself, and only the one that owns `window`.
void adoptOverlayWindow(HWND window, HANDLE started);

// A notification found `dead` gone: forgets it and starts the
// program again, unless another thread has already done so. Returns at once.
void overlayWindowGone(HWND dead);

// No window known yet (init found none adopted, or it went without being
// lost): looks it up once and, when found, makes it the overlay window.
void seekOverlayWindow();

// True between a lost window and the moment it is found again.
bool overlayLost();

// While the window is lost: looks for it, and on finding it adopts it and
// returns it (to one caller only); else starts the program again when no
// start is under way, until a few starts in a row have failed.
HWND reacquireOverlayWindow();

// Shutdown: tells the overlay window running now (which
// may be a restarted one not adopted yet) to quit, and ends the program the
// plugin started when it does not. Returns within a few seconds whatever
// the overlay does. The restart state is cleared for the next init.
void endOverlay();
