#pragma once
// Every bound on a wait of init, configure and shutdown, in one place (see
// docs/architecture.md). A host thread never waits longer than these on
// anything outside the plugin.
#include <windows.h>

namespace waits {

// Init: looks for the overlay window after starting TALVORI.exe (about 8 s).
inline constexpr int kOverlayLooks = 81;
inline constexpr DWORD kOverlayLookEveryMs = 100;

// Shutdown, in this order:
// menu entries, hotkeys and chat verbs already inside the plugin finish;
inline constexpr DWORD kUserCallsEndMs = 2000;
// an open overlay settings dialog may still answer; then the overlay is
// told to quit, which ends the dialog as Cancel would;
inline constexpr DWORD kConfigureAnswerMs = 2000;
// and the configure work has this long more to end. Work still running
// then keeps the library loaded until it has ended.
inline constexpr DWORD kConfigureEndMs = 3000;

// Shutdown's end of the overlay program (overlay_link.cpp): a start under
// way may still show its window; the quit code must be answered; the
// program the plugin started must then end; one that does not is ended.
inline constexpr DWORD kStartUnderWayMs = 3000;
inline constexpr UINT kQuitAnswerMs = 2000;
inline constexpr DWORD kQuitExitMs = 2000;
inline constexpr DWORD kTerminateMs = 1000;

// How often a bounded wait that has no object to wait on looks again.
inline constexpr DWORD kPollMs = 10;

}  // namespace waits
