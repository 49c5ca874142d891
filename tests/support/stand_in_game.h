#pragma once
// tools/backdrop as the game the user plays: another process whose window
// has the foreground; and the user's mouse, through the system's input
// queue (SendInput), so the system decides which window each click reaches.
#include <windows.h>

#include <functional>

class StandInGame {
public:
    StandInGame() = default;
    ~StandInGame();
    StandInGame(const StandInGame&) = delete;
    StandInGame& operator=(const StandInGame&) = delete;

    // Starts backdrop.exe over the top-left `size` of the screen and waits
    // until its window has the foreground. Two can run, the one started
    // last on top.
    bool start(SIZE size);
    HWND window() const { return window_; }
    // Ends the game as its close box would, and waits until it has gone.
    void close();
    // The game has the foreground and, on its thread, the keyboard focus:
    // what the user types reaches it.
    bool hasKeyboard() const;

private:
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

namespace real_input {

// Waits until `condition` has held for a moment without a break. Under Wine
// without a window manager the X server's keyboard focus follows a change
// of the foreground a little later, and input given meanwhile can be lost
// or move the foreground on; each step of a test waits for the one before
// to be over.
bool settled(const std::function<bool()>& condition);

// Moves the pointer to the screen point and presses and releases a button
// there, in one batch. False when the input was not taken.
bool click(POINT screen, bool right = false);
POINT centreOf(HWND window);

}  // namespace real_input
