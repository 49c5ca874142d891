// TALVORI: the overlay window the plugin writes its speaker and activity
// lines to. It takes no arguments; the plugin starts it and tells it when
// to quit.
#include <windows.h>

#include <cstdio>

#include "display_channel.h"
#include "display_commands.h"
#include "display_config.h"
#include "display_link.h"
#include "display_scale.h"
#include "overlay_reach.h"
#include "overlay_scale.h"
#include "overlay_state.h"
#include "overlay_visibility.h"
#include "overlay_window.h"

namespace {

constexpr UINT kClassNameString = 40000;
constexpr UINT kTitleString = 40001;

// Before the window exists, so that the plugin, which waits for it, writes
// its first line after ours.
void startDisplayLink(OverlayState& state) {
    state.link.start(state.liveConfig.twoLines ? kStartBanner : L"");
}

int runMessageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

// The show command the plugin starts us with (SW_SHOWNORMAL) would activate
// the window and take the keyboard from the game: it is not used.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Trace lines must reach a redirected stdout even if we are killed.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // The manifest asks for per-monitor awareness; this holds where a
    // loader ignores it (the whole program runs on this thread).
    ScaleAwarenessScope aware;

    OverlayState state;
    loadDisplayConfig(state.liveConfig);
    loadPlayConfig(state.play);
    startOverlayScale(state);
    startDisplayLink(state);
    LoadStringW(instance, kTitleString, state.title, kTitleUnits);
    LoadStringW(instance, kClassNameString, state.className, kTitleUnits);

    registerOverlayClass(instance, state);
    HWND window = createOverlayWindow(instance, state);
    if (!window) return 0;
    retryOwedFetch(window, state);
    bringOverlayIntoReach(window, state);
    updateOverlayVisibility(window, state);
    UpdateWindow(window);

    // The state's destructors release the queue, the views and the mutex.
    return runMessageLoop();
}
