#include "click.h"

namespace backdrop {

bool clickAt(POINT screen, bool right) {
    // The move travels in the same batch as the button: a separate
    // SetCursorPos may not have reached the input queue when the button
    // does, and the click then lands where the pointer was before.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width < 2 || height < 2) return false;
    INPUT input[3]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dx = MulDiv(screen.x, 65535, width - 1);
    input[0].mi.dy = MulDiv(screen.y, 65535, height - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[2].type = INPUT_MOUSE;
    input[2].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    return SendInput(3, input, sizeof(INPUT)) == 3;
}

bool windowCentre(const wchar_t* className, POINT* centre) {
    HWND window = FindWindowW(className, nullptr);
    RECT r;
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &r)) return false;
    *centre = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return true;
}

}  // namespace backdrop
