#include "screen_reach.h"

#include <algorithm>

namespace {

struct Search {
    RECT window;
    int needWidth;
    int needHeight;
    bool found;
};

BOOL CALLBACK checkMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    RECT shown{};
    if (IntersectRect(&shown, &search->window, &info.rcWork) &&
        shown.right - shown.left >= search->needWidth &&
        shown.bottom - shown.top >= search->needHeight) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool reachableOnScreen(const RECT& window) {
    // A window smaller than the grab square counts as reachable when all of
    // it is shown; an empty one has nothing to grab and is never moved.
    // Wide enough not to overflow on a rectangle from a garbage record.
    const long long width = static_cast<long long>(window.right) - window.left;
    const long long height = static_cast<long long>(window.bottom) - window.top;
    if (width <= 0 || height <= 0) return true;
    Search search{window, static_cast<int>(std::min<long long>(width, kGrabbablePixels)),
                  static_cast<int>(std::min<long long>(height, kGrabbablePixels)), false};
    EnumDisplayMonitors(nullptr, nullptr, checkMonitor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool moveIntoReach(HWND window, POINT home, RECT* was) {
    RECT r{};
    if (!GetWindowRect(window, &r) || reachableOnScreen(r)) return false;
    if (was) *was = r;
    SetWindowPos(window, nullptr, home.x, home.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool screenLayoutChanged(UINT message, WPARAM wParam) {
    return message == WM_DISPLAYCHANGE ||
           (message == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA);
}
