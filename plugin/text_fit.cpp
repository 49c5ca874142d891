#include "text_fit.h"

#include <cwchar>

#include "display_scale.h"
#include "globals.h"
#include "scale_channel.h"

namespace {

// The overlay draws at the dpi it publishes; measureDC follows it with the
// overlay's font for that dpi. Under measureLock, like measureDC itself.
// measuredDpi 0: nothing published (an overlay of before the scale, or none
// yet), so the stock font and the stored width in pixels, as ever.
ScaleChannel scaleChannel;
OverlayFont measureFont;
UINT measuredDpi = 0;

// A check of one shared value per measurement; the font is made again only
// when the overlay has moved to a monitor of another scale.
void followOverlayScaleHeld() {
    const UINT dpi = scaleChannel.read();
    if (dpi == measuredDpi || !measureDC) return;
    SelectObject(measureDC, GetStockObject(SYSTEM_FONT));
    if (dpi != 0 && !measureFont.makeFor(dpi)) return;
    if (dpi != 0) SelectObject(measureDC, measureFont.get());
    measuredDpi = dpi;
}

// A DC belongs to one thread at a time: the lock is held exclusively for
// each measurement, whichever host thread makes it.
class GdiMeasurer : public TextMeasurer {
public:
    int width(const wchar_t* text, int length) override {
        PluginLockGuard guard(measureLock);
        followOverlayScaleHeld();
        SIZE size{};
        if (!measureDC || !GetTextExtentPoint32W(measureDC, text, length, &size)) return 0;
        return size.cx;
    }
    bool fit(const wchar_t* text, int length, int maxWidth, int* count) override {
        PluginLockGuard guard(measureLock);
        followOverlayScaleHeld();
        SIZE size{};
        INT fitted = 0;
        if (!measureDC ||
            !GetTextExtentExPointW(measureDC, text, length, maxWidth, &fitted, nullptr, &size))
            return false;
        *count = fitted;
        return true;
    }
};

GdiMeasurer gdiMeasurer;
TextMeasurer* installed = nullptr;

inline bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

enum class ScaleWatch { on, off };

// Puts `dc` in force and hands back the DC it replaces; the scale is read
// afresh for the new one.
HDC replaceMeasureDC(HDC dc, ScaleWatch watch) {
    PluginLockGuard guard(measureLock);
    HDC old = measureDC;
    measureDC = dc;
    measuredDpi = 0;
    if (watch == ScaleWatch::on)
        scaleChannel.open();
    else
        scaleChannel.close();
    return old;
}

}  // namespace

void openMeasureDC() {
    // Until the overlay says at which scale it draws, the stock system font,
    // which an overlay of before the scale draws with.
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (HDC old = replaceMeasureDC(dc, ScaleWatch::on)) DeleteDC(old);
}

void closeMeasureDC() {
    // The font goes after the DC it was selected into.
    if (HDC dc = replaceMeasureDC(nullptr, ScaleWatch::off)) DeleteDC(dc);
    PluginLockGuard guard(measureLock);
    measureFont = OverlayFont();
}

int onScreenLength(int storedLength) {
    PluginLockGuard guard(measureLock);
    followOverlayScaleHeld();
    return scaleLength(storedLength, measuredDpi);
}

TextMeasurer& textMeasurer() { return installed ? *installed : gdiMeasurer; }
void setTextMeasurer(TextMeasurer* measurer) { installed = measurer; }

int textWidth(const wchar_t* text) {
    if (!text) return 0;
    return textMeasurer().width(text, static_cast<int>(wcslen(text)));
}

void fitCount(const wchar_t* text, int maxWidth, int& fit) {
    if (!text) return;
    int counted = 0;
    if (textMeasurer().fit(text, static_cast<int>(wcslen(text)), maxWidth, &counted)) fit = counted;
}

void appendWithBlank(wchar_t* line, const wchar_t* text, size_t maxCount) {
    const size_t last = kLineUnits - 1;  // index the terminator must keep
    size_t length = 0;
    while (length < last && line[length] != L'\0') ++length;

    size_t taken = 0;
    if (text) {
        while (taken < maxCount && text[taken] != L'\0' && length + taken < last) {
            line[length + taken] = text[taken];
            ++taken;
        }
        // Half a surrogate pair would draw as garbage: leave the pair out.
        if (taken > 0 && isHighSurrogate(line[length + taken - 1])) --taken;
    }
    length += taken;
    if (length < last && (length == 0 || line[length - 1] != L' ')) line[length++] = L' ';
    line[length] = L'\0';
}
