#include "list_window.h"

#include <atomic>

#include "click_through.h"
#include "globals.h"
#include "list_settings_dialog.h"
#include "list_window_state.h"
#include "play_config.h"
#include "display_scale.h"
#include "list_window_scale.h"
#include "screen_reach.h"
#include "stay_in_front.h"
#include "unique_handle.h"

ListWindowState listWindowState;

namespace {

// Chat commands for the window, from whichever thread they arrive on.
constexpr UINT kListCommandMessage = WM_APP + 1;
constexpr UINT kListCommandWaitMs = 1000;

std::atomic<void (*)()> closedListener{nullptr};

ListWindowState& state = listWindowState;

bool clickThrough() { return state.playLocked && !state.captionShown; }

void readPlayConfig() {
    PlayConfig play;
    loadPlayConfig(play);
    state.playLocked = play.locked != 0;
}

LRESULT onCreate(HWND window) {
    adoptListDpi(window, state.look);
    // Each new window starts from the live settings, not from an edit a
    // previous window's dialog left behind.
    {
        PluginLockGuard guard(listConfigLock);
        listConfigDraft = listConfig;
    }
    state.drag = WindowDrag{};
    state.captionShown = false;
    readPlayConfig();
    applyListClickThrough(window);
    // Over a game that stacks itself on top of every topmost window.
    stayInFront(window);
    return 0;
}

// Moves and sizes land in the live record at once, so shutdown saves where
// the user left the window.
LRESULT onMoveOrSize(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return 0;
    PluginLockGuard guard(listConfigLock);
    recordListWindowRect(listConfig, r);
    return 0;
}

LRESULT onDisplayChange(HWND window, UINT message, WPARAM wParam) {
    if (screenLayoutChanged(message, wParam)) bringListWindowIntoReach(window);
    return 0;
}

LRESULT onPaint(HWND window) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc) paintListContent(dc, state.look, copyListConfigDraft());
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

LRESULT onLeftButtonDown(HWND window) {
    if (!clickThrough()) beginWindowDrag(window, state.drag);
    return 0;
}

LRESULT onMouseMove(HWND window) {
    if (state.drag.active) followWindowDrag(window, state.drag);
    return 0;
}

LRESULT onLeftButtonUp(HWND window) {
    endWindowDrag(window, state.drag);
    return 0;
}

LRESULT onCaptureChanged(HWND window) {
    stopWindowDrag(window, state.drag);
    return 0;
}

LRESULT onTimer(HWND window, UINT_PTR id) {
    if (id == kWindowDragTimer) followWindowDrag(window, state.drag);
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
    stopStayingInFront(window);
    stopWindowDrag(window, state.drag);
    HWND expected = window;
    listWindow.compare_exchange_strong(expected, nullptr);
    releaseListScale(state.look);
    return 0;
}

void restyle(HWND window, const ListChannelConfig& config, ListFrame frame) {
    applyListWindowStyle(config, window, frame);
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
        applyListClickThrough(window);
        break;
    case LIST_RESTYLE: restyle(window, copyListConfig(), currentListFrame()); break;
    case LIST_PREVIEW: restyle(window, copyListConfigDraft(), ListFrame::plain); break;
    default: break;
    }
    return 1;
}

}  // namespace

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
    case WM_LBUTTONDOWN: return onLeftButtonDown(window);
    case WM_MOUSEMOVE: return onMouseMove(window);
    case WM_LBUTTONUP: return onLeftButtonUp(window);
    case WM_CAPTURECHANGED: return onCaptureChanged(window);
    case WM_TIMER: return onTimer(window, static_cast<UINT_PTR>(wParam));
    case kListCommandMessage: return onListCommand(window, wParam);
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE: return onDisplayChange(window, message, wParam);
    case kDpiChangedMessage:
        return onListDpiChanged(window, state.look, LOWORD(wParam), reinterpret_cast<RECT*>(lParam));
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void applyListClickThrough(HWND window) {
    setClickThrough(window, clickThrough() ? ClickThrough::on : ClickThrough::off, state.drag);
}

// Not a move by the user: the live record keeps the user's place, so
// shutdown stores that and the window returns there once its monitor does;
// the user's next move or size is recorded as ever.
void bringListWindowIntoReach(HWND window) {
    ListChannelConfig home;
    resetListChannelConfig(home);
    const ListChannelConfig before = copyListConfig();
    if (!moveIntoReach(window, POINT{home.x, home.y}, nullptr)) return;
    PluginLockGuard guard(listConfigLock);
    listConfig.x = before.x;
    listConfig.y = before.y;
}

ListFrame currentListFrame() {
    return placingListWindow.load() ? ListFrame::caption : ListFrame::plain;
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
