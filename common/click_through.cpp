#include "click_through.h"

void setClickThrough(HWND window, ClickThrough clickThrough, WindowDrag& drag) {
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const bool through = clickThrough == ClickThrough::on;
    const LONG_PTR wanted = through ? exStyle | WS_EX_TRANSPARENT
                                    : exStyle & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT);
    if (wanted == exStyle) return;
    if (through) stopWindowDrag(window, drag);
    SetWindowLongPtrW(window, GWL_EXSTYLE, wanted);
    // Cached styles take effect only with a frame change.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
