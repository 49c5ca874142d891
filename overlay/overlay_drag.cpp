#include "overlay_drag.h"

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

void moveWithCursor(HWND window, const OverlayDrag& drag) {
    const POINT p = cursor();
    const int x = drag.origin.x + (p.x - drag.grab.x);
    const int y = drag.origin.y + (p.y - drag.grab.y);
    RECT r{};
    if (GetWindowRect(window, &r) && r.left == x && r.top == y) return;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

void beginOverlayDrag(HWND window, OverlayState& state) {
    if (state.play.locked) return;
    RECT r{};
    if (!GetWindowRect(window, &r)) return;
    OverlayDrag& drag = state.drag;
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
    SetTimer(window, DRAG_TIMER, kFollowMs, nullptr);
}

void followOverlayDrag(HWND window, OverlayState& state) {
    if (!state.drag.active) {
        KillTimer(window, DRAG_TIMER);
        return;
    }
    moveWithCursor(window, state.drag);
    // The button was released where no message of ours reports it.
    if (!dragButtonDown()) stopOverlayDrag(window, state);
}

void endOverlayDrag(HWND window, OverlayState& state) {
    if (!state.drag.active) return;
    moveWithCursor(window, state.drag);
    stopOverlayDrag(window, state);
}

void stopOverlayDrag(HWND window, OverlayState& state) {
    if (!state.drag.active) return;
    state.drag.active = false;
    KillTimer(window, DRAG_TIMER);
    // Sends WM_CAPTURECHANGED, which finds the move already over.
    if (GetCapture() == window) ReleaseCapture();
}
