#include "list_window.h"

#include <atomic>

#include "globals.h"
#include "list_settings_dialog.h"
#include "play_config.h"
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

// State of the window's own thread (one window at a time).
// Locked: clicks go through to what lies beneath, no drag, no dialog.
bool playLocked = false;
// Configuring: the caption shows and the window is to be placed, so it
// takes clicks whatever the lock says.
bool captionShown = false;
// A drag of the window by the left button: where the cursor holds it.
bool dragging = false;
std::atomic<void (*)()> closedListener{nullptr};
POINT dragGrip{};

bool clickThrough() { return playLocked && !captionShown; }

// With WS_EX_LAYERED, WS_EX_TRANSPARENT hands every click to the window
// beneath, even one of another process.
void applyClickThrough(HWND window) {
    const LONG ex = GetWindowLongW(window, GWL_EXSTYLE);
    const LONG wanted = clickThrough() ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT);
    if (wanted != ex) SetWindowLongW(window, GWL_EXSTYLE, wanted);
}

void readPlayConfig() {
    PlayConfig play;
    loadPlayConfig(play);
    playLocked = play.locked != 0;
}

LRESULT onCreate(HWND window) {
    look.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    UniqueWindowDC dc(window, GetDC(window));
    TEXTMETRICW metrics{};
    if (dc && GetTextMetricsW(dc.get(), &metrics)) look.lineHeight = metrics.tmHeight;
    // Each new window starts from the live settings, not from an edit a
    // previous window's dialog left behind.
    {
        PluginLockGuard guard(listConfigLock);
        listConfigDraft = listConfig;
    }
    dragging = false;
    captionShown = false;
    readPlayConfig();
    applyClickThrough(window);
    return 0;
}

// Moves and sizes land in the live record at once, so shutdown saves where
// the user left the window.
LRESULT onMoveOrSize(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return 0;
    PluginLockGuard guard(listConfigLock);
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
    const ListChannelConfig before = copyListConfig();
    SetWindowPos(window, nullptr, home.x, home.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PluginLockGuard guard(listConfigLock);
    listConfig.x = before.x;
    listConfig.y = before.y;
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
    if (dc) paintListContent(dc, look, copyListConfigDraft());
    EndPaint(window, &ps);
    return 0;
}

LRESULT onContextMenu(HWND window) {
    if (!clickThrough()) openListSettingsDialog(window);
    return 0;
}

// A click never takes the foreground from the game or whatever has it.
LRESULT onMouseActivate() { return MA_NOACTIVATE; }

// The caption is dragged like the rest of the window, by our own drag: the
// system's caption drag activates the window.
LRESULT onHitTest(HWND window, WPARAM wParam, LPARAM lParam) {
    const LRESULT hit = DefWindowProcW(window, WM_NCHITTEST, wParam, lParam);
    return hit == HTCAPTION ? HTCLIENT : hit;
}

POINT cursorOnScreen(HWND window, LPARAM lParam) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &p);
    return p;
}

LRESULT onLeftButtonDown(HWND window, LPARAM lParam) {
    RECT r{};
    if (clickThrough() || !GetWindowRect(window, &r)) return 0;
    const POINT at = cursorOnScreen(window, lParam);
    dragGrip = {at.x - r.left, at.y - r.top};
    dragging = true;
    SetCapture(window);
    return 0;
}

LRESULT onMouseMove(HWND window, LPARAM lParam) {
    if (!dragging) return 0;
    const POINT at = cursorOnScreen(window, lParam);
    SetWindowPos(window, nullptr, at.x - dragGrip.x, at.y - dragGrip.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT onLeftButtonUp() {
    if (dragging) ReleaseCapture();  // ends the drag through WM_CAPTURECHANGED
    dragging = false;
    return 0;
}

LRESULT onCaptureChanged() {
    dragging = false;
    return 0;
}

// Hidden rather than destroyed: the menu, the hotkey and "channel show"
// bring it back where it was.
LRESULT onClose(HWND window) {
    ShowWindow(window, SW_HIDE);
    if (auto listener = closedListener.load()) listener();
    return 0;
}

LRESULT onDestroy(HWND window) {
    HWND expected = window;
    listWindow.compare_exchange_strong(expected, nullptr);
    dragging = false;
    return 0;
}

void restyle(HWND window, const ListChannelConfig& config, bool captionMode) {
    applyListWindowStyle(config, window, captionMode);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

LRESULT onListCommand(HWND window, WPARAM command) {
    switch (command) {
    case LIST_CLOSE: DestroyWindow(window); break;
    case LIST_SHOW: ShowWindow(window, SW_SHOWNA); break;
    case LIST_HIDE: ShowWindow(window, SW_HIDE); break;
    case LIST_TOGGLE: ShowWindow(window, IsWindowVisible(window) ? SW_HIDE : SW_SHOWNA); break;
    case LIST_PLAY_CHANGED:
        readPlayConfig();
        applyClickThrough(window);
        if (clickThrough() && dragging) ReleaseCapture();
        break;
    case LIST_RESTYLE: restyle(window, copyListConfig(), configuring.load() != 0); break;
    case LIST_PREVIEW: restyle(window, copyListConfigDraft(), false); break;
    default: break;
    }
    return 1;
}

LRESULT CALLBACK listWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window);
    case WM_CLOSE: return onClose(window);
    case WM_DESTROY: return onDestroy(window);
    case WM_MOVE:
    case WM_SIZE: return onMoveOrSize(window);
    case WM_PAINT: return onPaint(window);
    case WM_CONTEXTMENU: return onContextMenu(window);
    case WM_MOUSEACTIVATE: return onMouseActivate();
    case WM_NCHITTEST: return onHitTest(window, wParam, lParam);
    case WM_LBUTTONDOWN: return onLeftButtonDown(window, lParam);
    case WM_MOUSEMOVE: return onMouseMove(window, lParam);
    case WM_LBUTTONUP: return onLeftButtonUp();
    case WM_CAPTURECHANGED: return onCaptureChanged();
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
    // A tool window has no taskbar button and no Alt-Tab entry; with
    // WS_EX_NOACTIVATE it is never made the foreground window.
    const ListChannelConfig config = copyListConfig();
    HWND window = CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, listClassName,
        kListWindowTitle, kListWindowStyle, config.x, config.y, config.width, config.height,
        nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    allowListSettingsDialog();
    applyListWindowStyle(config, window, captionMode);
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
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        captionShown = captionMode;
        applyClickThrough(window);
    }
    SetWindowPos(window, HWND_TOPMOST, x, y, width, height, SWP_FRAMECHANGED | SWP_NOACTIVATE);
    // The record's place may lie on a monitor that is gone.
    bringIntoReach(window);
}

void setListClosedListener(void (*listener)()) { closedListener = listener; }

void refreshListWindow() {
    HWND window = listWindow;  // null-checked and used as one value
    if (!window) return;
    InvalidateRect(window, nullptr, TRUE);
    // Painting at once is only safe on the window's own thread: elsewhere
    // UpdateWindow waits for that thread, and the paint asks the host.
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) UpdateWindow(window);
}

bool commandListWindow(HWND window, ListWindowCommand command) {
    DWORD_PTR done = 0;
    const LRESULT sent = SendMessageTimeoutW(window, kListCommandMessage, command, 0, SMTO_NORMAL,
                                             kListCommandWaitMs, &done);
    if (!IsWindow(window)) {
        HWND expected = window;
        listWindow.compare_exchange_strong(expected, nullptr);
    }
    return sent != 0 && done != 0;
}
