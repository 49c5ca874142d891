#include "screen_capture.h"

#include "unique_handle.h"

namespace {

// A top-down 32-bit DIB the size of the rectangle; bits as 0x00RRGGBB.
struct Dib {
    UniqueMemoryDC dc;
    UniqueGdiObject bitmap;
    DWORD* bits = nullptr;

    Dib(int width, int height) : dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap.reset(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &p, nullptr, 0));
        bits = static_cast<DWORD*>(p);
    }

    Pixels read(int width, int height) const {
        GdiFlush();
        Pixels out(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                DWORD d = bits[y * width + x];
                out.at(x, y) = RGB((d >> 16) & 0xFF, (d >> 8) & 0xFF, d & 0xFF);
            }
        return out;
    }
};

}  // namespace

int Pixels::count(COLORREF colour, int top, int rows) const {
    int n = 0;
    for (int y = top; y < top + rows && y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (at(x, y) == colour) ++n;
    return n;
}

bool Pixels::bandEquals(int top, const Pixels& other) const {
    if (other.width_ != width_ || top + other.height_ > height_) return false;
    for (int y = 0; y < other.height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (at(x, top + y) != other.at(x, y)) return false;
    return true;
}

Pixels captureScreen(int x, int y, int width, int height) {
    Dib dib(width, height);
    UniqueWindowDC screen(nullptr, GetDC(nullptr));
    SelectGuard select(dib.dc.get(), dib.bitmap.get());
    BitBlt(dib.dc.get(), 0, 0, width, height, screen.get(), x, y, SRCCOPY);
    return dib.read(width, height);
}

Pixels renderLine(const std::wstring& text, COLORREF textColour, COLORREF background, int width,
                  int height) {
    Dib dib(width, height);
    SelectGuard select(dib.dc.get(), dib.bitmap.get());
    UniqueGdiObject brush(CreateSolidBrush(background));
    RECT all{0, 0, width, height};
    FillRect(dib.dc.get(), &all, static_cast<HBRUSH>(brush.get()));
    SelectGuard font(dib.dc.get(), GetStockObject(SYSTEM_FONT));
    SetBkColor(dib.dc.get(), background);
    SetTextColor(dib.dc.get(), textColour);
    TextOutW(dib.dc.get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
    return dib.read(width, height);
}

int systemFontLineHeight() {
    UniqueWindowDC screen(nullptr, GetDC(nullptr));
    SelectGuard font(screen.get(), GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(screen.get(), &tm);
    return tm.tmHeight;
}

void pumpMessages(int ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}
