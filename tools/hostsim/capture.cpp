#include "capture.h"

#include <windows.h>

#include "png_writer.h"
#include "screenshot.h"

namespace hostsim {

namespace {

constexpr int kMargin = 12;  // a little desktop around the windows

struct AreaSearch {
    DWORD overlayProcess;
    bool dialogsOnly;
    RECT area;
    bool found;
};

bool isDialog(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    return lstrcmpW(name, L"#32770") == 0;
}

BOOL CALLBACK addWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<AreaSearch*>(param);
    if (!IsWindowVisible(window) || IsIconic(window)) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() && process != search->overlayProcess) return TRUE;
    if (search->dialogsOnly && !isDialog(window)) return TRUE;
    RECT r{};
    if (!GetWindowRect(window, &r) || IsRectEmpty(&r)) return TRUE;
    if (search->found) {
        UnionRect(&search->area, &search->area, &r);
    } else {
        search->area = r;
        search->found = true;
    }
    return TRUE;
}

RECT screenRect() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

bool saveScreenshot(const std::wstring& file, CaptureArea what, std::string* error) {
    RECT screen = screenRect();
    RECT area = screen;
    if (what != CaptureArea::Screen) {
        AreaSearch search{0, what == CaptureArea::Dialogs, RECT{}, false};
        if (HWND overlay = FindWindowW(L"TALVORI_CLASS", L"TALVORI"))
            GetWindowThreadProcessId(overlay, &search.overlayProcess);
        EnumWindows(addWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            InflateRect(&search.area, kMargin, kMargin);
            IntersectRect(&area, &search.area, &screen);
        }
    }
    screenshot::Image image;
    if (!screenshot::captureScreen(area, image)) {
        *error = "screen capture failed";
        return false;
    }
    if (!screenshot::writePng(file.c_str(), image)) {
        *error = "cannot write the PNG file";
        return false;
    }
    return true;
}

}  // namespace hostsim
