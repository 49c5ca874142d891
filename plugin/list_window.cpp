#include "list_window.h"

#include "globals.h"
#include "list_settings_dialog.h"
#include "list_window_paint.h"
#include "resource_ids.h"
#include "screen_reach.h"
#include "unique_handle.h"

namespace {

constexpr wchar_t kListWindowTitle[] = L"List Channel";
// Popup, border, system menu, dialog frame and sizing frame.
constexpr DWORD kListWindowStyle = WS_POPUPWINDOW | WS_DLGFRAME | WS_THICKFRAME;
// Chat commands for the window, from whichever thread they arrive on.
constexpr UINT kListCommandMessage = WM_APP + 1;
constexpr UINT kListCommandWaitMs = 1000;

// Caption, sizing frame and system menu: what caption mode adds and normal
// mode takes away.
constexpr LONG kCaptionBits = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;

// The class background brush. Once the class holds it, unregistering the
// class deletes it; until then (or when registering failed) it is ours.
UniqueGdiObject classBrush;
bool classRegistered = false;

ListWindowLook look;

LRESULT onCreate(HWND window) {
    look.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    UniqueWindowDC dc(window, GetDC(window));
    TEXTMETRICW metrics{};
    if (dc && GetTextMetricsW(dc.get(), &metrics)) look.lineHeight = metrics.tmHeight;
    // Each new window starts from the live settings, not from an edit a
    // previous window's dialog left behind.
    listConfigDraft = listConfig;
    return 0;
}

// Moves and sizes land in the live record at once, so shutdown saves where
// the user left the window.
LRESULT onMoveOrSize(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return 0;
    listConfig.x = r.left;
    listConfig.y = r.top;
    listConfig.width = static_cast<uint16_t>(r.right - r.left);
    listConfig.height = static_cast<uint16_t>(r.bottom - r.top);
    return 0;
}

// A window no monitor shows enough of to grab goes to the default place on
// the primary monitor. Not a move by the user: the live record keeps the
// user's place, so shutdown stores that and the window returns there once
// its monitor does; the user's next move or size is recorded as ever.
void bringIntoReach(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r) || reachableOnScreen(r)) return;
    ListChannelConfig home;
    resetListChannelConfig(home);
    const int32_t x = listConfig.x, y = listConfig.y;
    SetWindowPos(window, nullptr, home.x, home.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    listConfig.x = x;
    listConfig.y = y;
}

// A monitor was removed or the resolution changed; the work area follows
// with a settings change of its own.
LRESULT onDisplayChange(HWND window) {
    bringIntoReach(window);
    return 0;
}

LRESULT onSettingChange(HWND window, WPARAM what) {
    if (what == SPI_SETWORKAREA) bringIntoReach(window);
    return 0;
}

LRESULT onPaint(HWND window) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc) paintListContent(dc, look, listConfigDraft);
    EndPaint(window, &ps);
    return 0;
}

LRESULT onContextMenu(HWND window) {
    openListSettingsDialog(window);
    return 0;
}

LRESULT onDestroy(HWND window) {
    HWND expected = window;
    listWindow.compare_exchange_strong(expected, nullptr);
    return 0;
}

LRESULT onListCommand(HWND window, WPARAM command) {
    switch (command) {
    case LIST_CLOSE: DestroyWindow(window); break;
    case LIST_SHOW: ShowWindow(window, SW_SHOWNA); break;
    case LIST_HIDE: ShowWindow(window, SW_HIDE); break;
    case LIST_TOGGLE: ShowWindow(window, IsWindowVisible(window) ? SW_HIDE : SW_SHOWNA); break;
    default: break;
    }
    return 1;
}

LRESULT CALLBACK listWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window);
    case WM_DESTROY: return onDestroy(window);
    case WM_MOVE:
    case WM_SIZE: return onMoveOrSize(window);
    case WM_PAINT: return onPaint(window);
    case WM_CONTEXTMENU: return onContextMenu(window);
    case kListCommandMessage: return onListCommand(window, wParam);
    case WM_DISPLAYCHANGE: return onDisplayChange(window);
    case WM_SETTINGCHANGE: return onSettingChange(window, wParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void setStyleBits(HWND window, LONG add, LONG remove) {
    LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, (style & ~remove) | add);
}

}  // namespace

void registerListWindowClass(HINSTANCE instance) {
    if (classRegistered) return;
    classBrush.reset(CreateSolidBrush(listConfig.backgroundColour));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = listWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PLUGIN));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(classBrush.get());
    wc.lpszClassName = listClassName;
    classRegistered = RegisterClassExW(&wc) != 0;
    if (!classRegistered) classBrush.reset();
}

void unregisterListWindowClass(HINSTANCE instance) {
    if (classRegistered && UnregisterClassW(listClassName, instance)) {
        // The system deleted the class brush with the class.
        classBrush.release();
        classRegistered = false;
    }
}

HWND createListWindow(HINSTANCE instance, bool captionMode) {
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST, listClassName, kListWindowTitle,
                                  kListWindowStyle, listConfig.x, listConfig.y, listConfig.width,
                                  listConfig.height, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    applyListWindowStyle(listConfig, window, captionMode);
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(window);
    return window;
}

void applyListWindowStyle(const ListChannelConfig& config, HWND window, bool captionMode) {
    // The record may be listConfig itself, which SetWindowPos rewrites
    // through WM_MOVE/WM_SIZE: take the geometry first.
    const int x = config.x, y = config.y, width = config.width, height = config.height;
    if (captionMode) {
        setStyleBits(window, kCaptionBits, 0);
        // No colour key in caption mode: the background stays visible while
        // the user places the window.
        SetLayeredWindowAttributes(window, 0, config.opacity, LWA_ALPHA);
    } else {
        setStyleBits(window, 0, kCaptionBits);
        if (config.border)
            setStyleBits(window, WS_BORDER, 0);
        else
            setStyleBits(window, 0, WS_BORDER);
        if (config.transparentBackground)
            SetLayeredWindowAttributes(window, config.backgroundColour, config.opacity,
                                       LWA_COLORKEY | LWA_ALPHA);
        else
            SetLayeredWindowAttributes(window, 0, config.opacity, LWA_ALPHA);
    }
    // Never activate: the window is shown without activation too, and an
    // activation requested from the configure thread while the window's
    // own thread waits in shutdown hangs both threads.
    SetWindowPos(window, HWND_TOPMOST, x, y, width, height, SWP_FRAMECHANGED | SWP_NOACTIVATE);
    // The record's place may lie on a monitor that is gone.
    bringIntoReach(window);
}

void refreshListWindow() {
    HWND window = listWindow;  // null-checked and used as one value
    if (!window) return;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void commandListWindow(HWND window, ListWindowCommand command) {
    DWORD_PTR done = 0;
    SendMessageTimeoutW(window, kListCommandMessage, command, 0, SMTO_NORMAL, kListCommandWaitMs,
                        &done);
    if (!IsWindow(window)) {
        HWND expected = window;
        listWindow.compare_exchange_strong(expected, nullptr);
    }
}
