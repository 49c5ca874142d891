#include "window_drag.h"

#include <windowsx.h>

namespace {

// Often enough that the window keeps up with a quick hand.
constexpr UINT kFollowMs = 10;

POINT cursor() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

bool dragButtonDown() {
    const int key = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

void moveWithCursor(HWND window, const WindowDrag& drag) {
    const POINT p = cursor();
    const int x = drag.origin.x + (p.x - drag.grab.x);
    const int y = drag.origin.y + (p.y - drag.grab.y);
    RECT r{};
    if (GetWindowRect(window, &r) && r.left == x && r.top == y) return;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

void beginWindowDrag(HWND window, WindowDrag& drag) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return;
    // Where the press happened, not where the cursor has got to since.
    const DWORD at = GetMessagePos();
    drag.grab = POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    drag.origin = POINT{r.left, r.top};
    drag.active = true;
    SetCapture(window);
    // A window that is not the foreground one may not get the mouse
    // captured for it (Wine routes only the foreground thread's capture), so
    // a quick hand leaving the window would drop it: the timer follows the
    // cursor wherever it goes.
    SetTimer(window, kWindowDragTimer, kFollowMs, nullptr);
}

void followWindowDrag(HWND window, WindowDrag& drag) {
    if (!drag.active) {
        KillTimer(window, kWindowDragTimer);
        return;
    }
    moveWithCursor(window, drag);
    // The button was released where no message of ours reports it.
    if (!dragButtonDown()) stopWindowDrag(window, drag);
}

void endWindowDrag(HWND window, WindowDrag& drag) {
    if (!drag.active) return;
    moveWithCursor(window, drag);
    stopWindowDrag(window, drag);
}

void stopWindowDrag(HWND window, WindowDrag& drag) {
    if (!drag.active) return;
    drag.active = false;
    KillTimer(window, kWindowDragTimer);
    // Sends WM_CAPTURECHANGED, which finds the move already over.
    if (GetCapture() == window) ReleaseCapture();
}
