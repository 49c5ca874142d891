#pragma once
// tools/backdrop as the game the user plays, in a process of its own: an
// ordinary one, or a topmost one that puts its window on top of every other
// topmost window each time it is activated, as games in borderless
// full-screen mode do.
#include <windows.h>

#include <functional>

#include "real_input.h"
#include "unique_handle.h"

enum class GameStacking { normal, topmost };

class GameProcess {
public:
    // Starts the game over `area` (whose top left corner is the screen's)
    // and waits until its window has the foreground and the game has
    // handled that. Two can run, the one started last on top.
    GameProcess(SIZE area, GameStacking stacking = GameStacking::normal);
    ~GameProcess() { close(); }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    HWND window() const { return window_; }
    bool hasForeground() const { return window_ && GetForegroundWindow() == window_; }
    // The game has the foreground and, on its thread, the keyboard focus:
    // what the user types reaches it.
    bool hasKeyboard() const;
    // Ends the game as its close box would, and waits until it has gone.
    void close();
    // Another window takes the foreground, then the user clicks the game at
    // the screen point `at`, which brings it back to the foreground and on
    // top. The time of the click (GetTickCount), or 0 when it was not sent.
    DWORD activateAgain(POINT at);

private:
    UniqueKernelHandle process_;
    HWND window_ = nullptr;
    HWND elsewhere_ = nullptr;  // holds the foreground while the game lacks it
};

// Whether `upper` lies above `lower` in the window order.
bool isAbove(HWND upper, HWND lower);

// How long after an activation a window came back in front for good.
struct BackInFront {
    bool held = false;  // it was in front and stayed there for the hold time
    DWORD afterMs = 0;  // since the activation, to the start of that stay
};

// Samples `inFront` every few milliseconds (calling `idle` in between, which
// must give the caller's windows their messages when they live on this
// thread) until it has held for `holdMs` without a break, or `limitMs` have
// passed since `since` (a GetTickCount time). A single sample out of front
// between two in front is no break: a moment that short never reaches the
// screen (a restack in passing).
BackInFront awaitBackInFront(DWORD since, const std::function<bool()>& inFront,
                             const std::function<void(int ms)>& idle, DWORD holdMs = 500,
                             DWORD limitMs = 5000);
