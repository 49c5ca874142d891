#include "overlay_window.h"

#include "activity_timer.h"
#include "display_channel.h"
#include "display_commands.h"
#include "overlay_reach.h"
#include "overlay_scale.h"
#include "overlay_visibility.h"
#include "paint.h"
#include "screen_reach.h"
#include "stay_in_front.h"
#include "window_drag.h"

namespace {

constexpr int kIconId = 102;

OverlayState* stateOf(HWND window) {
    return reinterpret_cast<OverlayState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Remembers the state handed to CreateWindowExW so that every later message
// finds it.
LRESULT onNcCreate(HWND window, const CREATESTRUCTW* create, WPARAM wParam, LPARAM lParam) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(window, WM_NCCREATE, wParam, lParam);
}

LRESULT onTimer(HWND window, OverlayState& state, UINT_PTR id) {
    if (id == ACTIVITY_TIMER) onActivityTimer(window, state);
    if (id == kWindowDragTimer) followWindowDrag(window, state.drag);
    return 0;
}

// The window is grabbed anywhere, unless clicks go through it.
LRESULT onLeftButtonDown(HWND window, OverlayState& state) {
    if (!state.play.locked) beginWindowDrag(window, state.drag);
    return 0;
}

LRESULT onMouseMove(HWND window, OverlayState& state) {
    if (state.drag.active) followWindowDrag(window, state.drag);
    return 0;
}

LRESULT onLeftButtonUp(HWND window, OverlayState& state) {
    endWindowDrag(window, state.drag);
    return 0;
}

LRESULT onCaptureChanged(HWND window, OverlayState& state) {
    stopWindowDrag(window, state.drag);
    return 0;
}

LRESULT onDisplayChange(HWND window, OverlayState& state, UINT message, WPARAM wParam) {
    if (screenLayoutChanged(message, wParam)) bringOverlayIntoReach(window, state);
    return 0;
}

LRESULT onDestroy(HWND window) {
    stopStayingInFront(window);
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK overlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        return onNcCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam), wParam, lParam);
    OverlayState* state = stateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        paintOverlay(window, *state);
        return 0;
    case WM_NCHITTEST:
        // Client everywhere, the border too: a caption hit-test would let
        // the system move the window, and activate it on the way.
        return HTCLIENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        return onLeftButtonDown(window, *state);
    case WM_MOUSEMOVE:
        return onMouseMove(window, *state);
    case WM_LBUTTONUP:
        return onLeftButtonUp(window, *state);
    case WM_CAPTURECHANGED:
        return onCaptureChanged(window, *state);
    case WM_TIMER:
        return onTimer(window, *state, static_cast<UINT_PTR>(wParam));
    case DISPLAY_MESSAGE:
        return onDisplayMessage(window, *state, wParam, lParam);
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        return onDisplayChange(window, *state, message, wParam);
    case kDpiChangedMessage:
        return onOverlayDpiChanged(window, *state, LOWORD(wParam),
                                   reinterpret_cast<const RECT*>(lParam));
    case WM_DESTROY:
        return onDestroy(window);
    case WM_COMMAND:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

bool registerOverlayClass(HINSTANCE instance, OverlayState& state) {
    state.backgroundBrush.reset(CreateSolidBrush(state.liveConfig.backgroundColour));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = overlayWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(state.backgroundBrush.get());
    wc.lpszClassName = state.className;
    return RegisterClassExW(&wc) != 0;
}

HWND createOverlayWindow(HINSTANCE instance, OverlayState& state) {
    state.previewConfig = state.liveConfig;
    const DisplayConfig& c = state.liveConfig;
    // Not yet visible: the look, and the size for the dpi of the monitor it
    // lands on, are applied before the first show.
    const SIZE size = overlaySize(c, state.dpi);
    HWND window = CreateWindowExW(overlayExStyle(state.play), state.className, state.title,
                                  WS_POPUP, c.x, c.y, size.cx, size.cy, nullptr, nullptr,
                                  instance, &state);
    if (!window) return nullptr;
    adoptOverlayDpi(window, state);
    applyWindowStyle(window, c, true);
    // Over a game that stacks itself on top of every topmost window.
    stayInFront(window);
    return window;
}

void applyWindowStyle(HWND window, const DisplayConfig& config, bool colourKeyAllowed) {
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (config.border)
        style |= WS_BORDER;
    else
        style &= ~static_cast<LONG_PTR>(WS_BORDER);
    SetWindowLongPtrW(window, GWL_STYLE, style);

    if (config.transparentBackground && colourKeyAllowed)
        SetLayeredWindowAttributes(window, config.backgroundColour, config.opacity,
                                   LWA_COLORKEY | LWA_ALPHA);
    else
        SetLayeredWindowAttributes(window, 0, config.opacity, LWA_ALPHA);

    const OverlayState* state = stateOf(window);
    const SIZE size = overlaySize(config, state ? state->dpi : kBaseDpi);
    // Previews and restores happen while a game may have the keyboard.
    SetWindowPos(window, HWND_TOPMOST, config.x, config.y, size.cx, size.cy,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void repaintOverlay(HWND window) {
    // Every change of what is shown comes through here; a window idle
    // hiding has hidden shows again before it paints.
    if (OverlayState* state = stateOf(window)) updateOverlayVisibility(window, *state);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

OverlayState& overlayStateOf(HWND window) { return *stateOf(window); }
