#pragma once
// Where the keyboard goes when a settings dialog closes. Left to itself,
// EndDialog activates the dialog's owner; the overlay and the List Channel
// window never take the keyboard, so the user's keys would go nowhere.
// Instead the window that had the foreground when the dialog opened (the
// game, the client) gets it back, or, when that one has gone meanwhile, the
// first window beneath that can take it.
#include <windows.h>

class ForegroundReturn {
public:
    // Call before the dialog shows: once shown, it is the foreground.
    void remember() { previous_ = GetForegroundWindow(); }

    // Call just before EndDialog. When the foreground is on `dialog`'s
    // thread (the dialog or a box over it), it goes back to the remembered
    // window; EndDialog then finds the dialog inactive and activates no
    // owner. A dialog closed in the background (by a quit) takes nothing
    // from whoever has the foreground now.
    void giveBack(HWND dialog) const;

private:
    HWND previous_ = nullptr;
};
