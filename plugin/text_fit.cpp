#include "text_fit.h"

#include <cwchar>

#include "globals.h"

namespace {

// A DC belongs to one thread at a time: the lock is held exclusively for
// each measurement, whichever host thread makes it.
class GdiMeasurer : public TextMeasurer {
public:
    int width(const wchar_t* text, int length) override {
        PluginLockGuard guard(measureLock);
        SIZE size{};
        if (!measureDC || !GetTextExtentPoint32W(measureDC, text, length, &size)) return 0;
        return size.cx;
    }
    bool fit(const wchar_t* text, int length, int maxWidth, int* count) override {
        PluginLockGuard guard(measureLock);
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

}  // namespace

void openMeasureDC() {
    // The overlay draws with the stock system font: measured with it, every
    // width is the one the overlay gives the text.
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) SelectObject(dc, GetStockObject(SYSTEM_FONT));
    HDC old = nullptr;
    {
        PluginLockGuard guard(measureLock);
        old = measureDC;
        measureDC = dc;
    }
    if (old) DeleteDC(old);
}

void closeMeasureDC() {
    HDC dc = nullptr;
    {
        PluginLockGuard guard(measureLock);
        dc = measureDC;
        measureDC = nullptr;
    }
    if (dc) DeleteDC(dc);
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
