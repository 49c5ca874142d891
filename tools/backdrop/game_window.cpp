#include "game_window.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdarg>
#include <cstdio>

#include "scene.h"
#include "unique_handle.h"

namespace backdrop {

namespace {

constexpr UINT_PTR kNameForegroundTimer = 1;
constexpr size_t kMarksKept = 8;

struct Game {
    SceneState scene;
    Stacking stacking = Stacking::normal;
    bool everLostFocus = false;
    bool foregroundAtClose = false;  // the window loses it while being destroyed
};

Game game;

void report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("backdrop: ", stdout);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);  // a script reads the lines while the game runs
    va_end(args);
}

void describeWindow(HWND window, char* out, size_t size) {
    wchar_t cls[64] = L"", title[64] = L"";
    if (window) {
        GetClassNameW(window, cls, 64);
        GetWindowTextW(window, title, 64);
    }
    std::snprintf(out, size, "%ls \"%ls\"", window ? cls : L"(none)", title);
}

void onPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    SIZE size{client.right, client.bottom};
    // Drawn off screen first so that a repaint after a click never flickers
    // through the layers of the scene.
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, size.cx, size.cy));
    if (memory && bitmap) {
        SelectGuard keep(memory.get(), bitmap.get());
        paintScene(memory.get(), size, game.scene);
        BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
}

void onClick(HWND window, const char* button, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ++game.scene.clicks;
    auto& marks = game.scene.recentClicks;
    if (marks.size() == kMarksKept) marks.erase(marks.begin());
    marks.push_back(at);
    POINT screen = at;
    ClientToScreen(window, &screen);
    report("click (%s) at %ld, %ld, click %d", button, screen.x, screen.y, game.scene.clicks);
    InvalidateRect(window, nullptr, FALSE);
}

void onActivate(HWND window, WPARAM wParam) {
    bool active = LOWORD(wParam) != WA_INACTIVE;
    if (active == game.scene.foreground) return;
    game.scene.foreground = active;
    if (active) {
        // Windows tells WinEvent hooks of every change of the foreground;
        // Wine 8 tells them nothing, so the game says it as the system
        // would, before its own reaction to the activation. Once more on
        // Windows, which does no harm.
        NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, window, OBJID_WINDOW, CHILDID_SELF);
        // What a topmost game does when it gets the foreground back.
        if (game.stacking == Stacking::topmost)
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        report(game.everLostFocus ? "in focus again" : "in focus");
    } else {
        game.everLostFocus = true;
        // The window that took the foreground is known once the switch is over.
        SetTimer(window, kNameForegroundTimer, 100, nullptr);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void onTimer(HWND window, UINT_PTR id) {
    if (id != kNameForegroundTimer) return;
    KillTimer(window, id);
    if (game.scene.foreground) return;
    char name[160];
    describeWindow(GetForegroundWindow(), name, sizeof name);
    report("focus lost to %s", name);
}

void onClose(HWND window) {
    game.foregroundAtClose = game.scene.foreground;
    DestroyWindow(window);
}

LRESULT CALLBACK gameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: onPaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: onClick(window, "left", lParam); return 0;
    case WM_RBUTTONDOWN: onClick(window, "right", lParam); return 0;
    case WM_MBUTTONDOWN: onClick(window, "middle", lParam); return 0;
    case WM_ACTIVATE: onActivate(window, wParam); return 0;
    case WM_TIMER: onTimer(window, wParam); return 0;
    case WM_CLOSE: onClose(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int runGame(SIZE size, Stacking stacking) {
    game.stacking = stacking;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = gameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kGameClass;
    if (!RegisterClassW(&wc)) {
        report("cannot register the window class (error %lu)", GetLastError());
        return 1;
    }
    // Borderless over the whole primary screen, as a game in borderless
    // full-screen mode runs.
    int width = size.cx > 0 ? size.cx : GetSystemMetrics(SM_CXSCREEN);
    int height = size.cy > 0 ? size.cy : GetSystemMetrics(SM_CYSCREEN);
    const DWORD exStyle = stacking == Stacking::topmost ? WS_EX_TOPMOST : 0;
    HWND window = CreateWindowExW(exStyle, kGameClass, L"Backdrop game", WS_POPUP, 0, 0, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (!window) {
        report("cannot create the window (error %lu)", GetLastError());
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    report("started, %d x %d%s", width, height,
           stacking == Stacking::topmost ? ", topmost" : "");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    report("closed: %d click%s received, %s at the end", game.scene.clicks,
           game.scene.clicks == 1 ? "" : "s", game.foregroundAtClose ? "in focus" : "not in focus");
    return 0;
}

}  // namespace backdrop
