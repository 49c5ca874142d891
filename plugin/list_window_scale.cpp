#include "list_window_scale.h"

#include "display_scale.h"
#include "globals.h"
#include "unique_handle.h"

namespace {

UINT listDpi = kBaseDpi;
OverlayFont listFont;

void takeDpi(HWND window, ListWindowLook& look, UINT dpi) {
    if (!listFont.makeFor(dpi)) return;
    listDpi = dpi;
    look.font = listFont.get();
    UniqueWindowDC dc(window, GetDC(window));
    if (!dc) return;
    SelectGuard font(dc.get(), look.font);
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc.get(), &metrics)) look.lineHeight = metrics.tmHeight;
}

SIZE scaledSize(const ListChannelConfig& config, UINT dpi) {
    return SIZE{scaleLength(config.width, dpi), scaleLength(config.height, dpi)};
}

}  // namespace

SIZE initialListWindowSize(const ListChannelConfig& config) {
    listDpi = systemDpi();
    return scaledSize(config, listDpi);
}

void adoptListDpi(HWND window, ListWindowLook& look) { takeDpi(window, look, dpiOfWindow(window)); }

SIZE listWindowSize(const ListChannelConfig& config) { return scaledSize(config, listDpi); }

void recordListWindowRect(ListChannelConfig& record, const RECT& r) {
    record.x = r.left;
    record.y = r.top;
    record.width = static_cast<uint16_t>(storedLength(record.width, r.right - r.left, listDpi));
    record.height = static_cast<uint16_t>(storedLength(record.height, r.bottom - r.top, listDpi));
}

LRESULT onListDpiChanged(HWND window, ListWindowLook& look, UINT dpi, const RECT* suggested) {
    // The record's size, not the suggested one: the two differ by a
    // rounding, and the record must not creep by it on every move.
    const ListChannelConfig config = copyListConfig();
    if (plausibleDpi(dpi)) takeDpi(window, look, dpi);
    RECT now{};
    GetWindowRect(window, &now);
    const POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{now.left, now.top};
    const SIZE size = listWindowSize(config);
    SetWindowPos(window, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

void releaseListScale(ListWindowLook& look) {
    look.font = nullptr;
    listFont = OverlayFont();
}
