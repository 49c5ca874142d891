#pragma once
// Display scale: how the overlay, the List Channel window and the plugin's
// text measuring follow the scale of the monitor they show on.
//
// The policy (docs/display-scale.md says why):
// - Stored lengths (widths, heights, line heights) are pixels at 100 %
//   (96 dpi) and places are screen coordinates, as they always were; the
//   scale never rewrites a record, and a length is stored again only when
//   the user changes it.
// - A window is laid out at the dpi of the monitor it is on: every stored
//   length times dpi / 96, rounded once (scaleLength). Text is drawn with
//   overlayFont(dpi), crisp at that dpi.
// - Both programs' windows and the plugin's measuring run per-monitor aware:
//   V2 where Windows has it, V1 where only that is accepted (Windows 10
//   1607, Wine), and whatever the process has elsewhere, where every query
//   below answers in that same awareness, so sizes and fonts still agree.
// - The overlay publishes the dpi it draws at (scale_channel.h); the plugin
//   measures with overlayFont of that dpi against the width on screen.
#include <windows.h>

#include "unique_handle.h"
#include "non_copyable.h"

inline constexpr UINT kBaseDpi = 96;

// A dpi the arithmetic accepts: 0 (unknown) for anything outside 48..960,
// which no monitor reports and only a damaged value would hold.
UINT plausibleDpi(UINT dpi);

// A stored length (pixels at 100 %) on screen at `dpi`, rounded to nearest.
int scaleLength(int length, UINT dpi);
// The stored length a length on screen at `dpi` stands for, rounded to
// nearest. Used only when the user changed that length on screen: storing
// `stored` back unchanged when it still scales to `onScreen` keeps a record
// from creeping by a pixel each time the two roundings disagree.
int storedLength(int stored, int onScreen, UINT dpi);

// The dpi the stock fonts were made for (the system dpi at sign-in), asked
// in per-monitor awareness where the thread can have it.
UINT systemDpi();
// The dpi of the monitor a window is on, in the awareness it was created in.
UINT dpiOfWindow(HWND window);

// Per-monitor awareness for this thread while the scope lives (V2, else V1);
// nothing where SetThreadDpiAwarenessContext is missing (before Windows 10
// 1607). A window takes the awareness of the thread that creates it.
class ScaleAwarenessScope : NonCopyable {
public:
    ScaleAwarenessScope();
    ~ScaleAwarenessScope();
    bool aware() const { return previous_ != nullptr; }

private:
    HANDLE previous_ = nullptr;  // the thread's context before, to put back
};

// The font both programs draw and measure the overlay's text with: the stock
// system font at the system dpi (the very object, so 100 % on a 100 %
// system is unchanged), the same face scaled to any other dpi.
class OverlayFont {
public:
    // Made for `dpi` unless it already is; false when no font could be made
    // (the previous one stays).
    bool makeFor(UINT dpi);
    HFONT get() const { return font_; }
    UINT dpi() const { return dpi_; }

private:
    UniqueGdiObject owned_;  // null while the stock font is in use
    HFONT font_ = nullptr;
    UINT dpi_ = 0;
};

// WM_DPICHANGED, which the Windows 7 headers lack: wParam's low word is the
// new dpi, lParam the RECT the system suggests for the window.
inline constexpr UINT kDpiChangedMessage = 0x02E0;
