#include "display_scale.h"

namespace {

// Loaded by name: the programs target Windows 7, where these are missing.
using SetThreadContextFn = HANDLE(WINAPI*)(HANDLE);
using DpiForWindowFn = UINT(WINAPI*)(HWND);
using DpiForSystemFn = UINT(WINAPI*)();

// DPI_AWARENESS_CONTEXT values, which the Windows 7 headers do not define.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <typename Fn>
Fn user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

// Looked up when the module loads: a function-local static would take the
// runtime's guard lock, whose memory a DLL's unload does not give back.
const SetThreadContextFn setThreadContextFn =
    user32Function<SetThreadContextFn>("SetThreadDpiAwarenessContext");
SetThreadContextFn setThreadContext() { return setThreadContextFn; }

UINT screenDpi(HDC dc) {
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace

UINT plausibleDpi(UINT dpi) { return dpi >= 48 && dpi <= 960 ? dpi : 0; }

int scaleLength(int length, UINT dpi) {
    if (dpi == 0 || dpi == kBaseDpi) return length;
    return MulDiv(length, static_cast<int>(dpi), kBaseDpi);
}

int storedLength(int stored, int onScreen, UINT dpi) {
    if (dpi == 0 || scaleLength(stored, dpi) == onScreen) return stored;
    return MulDiv(onScreen, kBaseDpi, static_cast<int>(dpi));
}

UINT systemDpi() {
    ScaleAwarenessScope aware;
    if (auto forSystem = user32Function<DpiForSystemFn>("GetDpiForSystem")) {
        const UINT dpi = plausibleDpi(forSystem());
        if (dpi) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const UINT dpi = screenDpi(screen);
    if (screen) ReleaseDC(nullptr, screen);
    return dpi;
}

UINT dpiOfWindow(HWND window) {
    if (auto forWindow = user32Function<DpiForWindowFn>("GetDpiForWindow")) {
        const UINT dpi = plausibleDpi(forWindow(window));
        if (dpi) return dpi;
    }
    // Before Windows 10 1607 a process has one dpi for all its windows.
    HDC dc = GetDC(window);
    const UINT dpi = screenDpi(dc);
    if (dc) ReleaseDC(window, dc);
    return dpi;
}

ScaleAwarenessScope::ScaleAwarenessScope() {
    const auto setContext = setThreadContext();
    if (!setContext) return;
    // V2 first (Windows 10 1703): it also scales the frame and the
    // dialogs. 1607 and Wine refuse V2 and take V1.
    previous_ = setContext(kPerMonitorAwareV2);
    if (!previous_) previous_ = setContext(kPerMonitorAware);
}

ScaleAwarenessScope::~ScaleAwarenessScope() {
    if (previous_) setThreadContext()(previous_);
}

// The caller selects the stock font into any DC holding this one first: a
// font selected into a DC is not to be deleted.
bool OverlayFont::makeFor(UINT dpi) {
    if (dpi == dpi_ && font_) return true;
    HGDIOBJ stock = GetStockObject(SYSTEM_FONT);
    const UINT system = systemDpi();
    if (dpi == 0 || dpi == system) {
        owned_.reset();
        font_ = static_cast<HFONT>(stock);
        dpi_ = dpi == 0 ? system : dpi;
        return font_ != nullptr;
    }
    LOGFONTW lf{};
    if (!GetObjectW(stock, sizeof lf, &lf)) return false;
    lf.lfHeight = MulDiv(lf.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
    lf.lfWidth = MulDiv(lf.lfWidth, static_cast<int>(dpi), static_cast<int>(system));
    HFONT made = CreateFontIndirectW(&lf);
    if (!made) return false;
    owned_.reset(made);
    font_ = made;
    dpi_ = dpi;
    return true;
}
