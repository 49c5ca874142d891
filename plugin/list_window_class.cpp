// The List Channel window's class, its creation and its look.
#include "display_scale.h"
#include "globals.h"
#include "list_settings_dialog.h"
#include "list_window.h"
#include "list_window_scale.h"
#include "list_window_state.h"
#include "module_context.h"
#include "resource_ids.h"
#include "unique_handle.h"

namespace {

constexpr wchar_t kListWindowTitle[] = L"List Channel";
// Popup, border, system menu, dialog frame and sizing frame.
constexpr DWORD kListWindowStyle = WS_POPUPWINDOW | WS_DLGFRAME | WS_THICKFRAME;

// Caption, sizing frame and system menu: what caption mode adds and normal
// mode takes away.
constexpr LONG kCaptionBits = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;

// The class background brush. Once the class holds it, unregistering the
// class deletes it; until then (or when registering failed) it is ours.
UniqueGdiObject classBrush;
bool classRegistered = false;

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

HWND createListWindow(HINSTANCE instance, ListFrame frame) {
    // A tool window has no taskbar button and no Alt-Tab entry; with
    // WS_EX_NOACTIVATE it is never made the foreground window.
    const ListChannelConfig config = copyListConfig();
    // The policy's awareness and the plugin's manifest, whatever the host's.
    ScaleAwarenessScope aware;
    ModuleContextScope themed(instance);
    const SIZE size = initialListWindowSize(config);
    HWND window = CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, listClassName,
        kListWindowTitle, kListWindowStyle, config.x, config.y, size.cx, size.cy,
        nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    allowListSettingsDialog();
    applyListWindowStyle(config, window, frame);
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(window);
    return window;
}

void applyListWindowStyle(const ListChannelConfig& config, HWND window, ListFrame frame) {
    // The record may be listConfig itself, which SetWindowPos rewrites
    // through WM_MOVE/WM_SIZE: take the geometry first.
    const int x = config.x, y = config.y;
    const SIZE size = listWindowSize(config);
    if (frame == ListFrame::caption) {
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
        listWindowState.captionShown = frame == ListFrame::caption;
        applyListClickThrough(window);
    }
    SetWindowPos(window, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_FRAMECHANGED | SWP_NOACTIVATE);
    // The record's place may lie on a monitor that is gone.
    bringListWindowIntoReach(window);
}
