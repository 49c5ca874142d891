#include "screenshot.h"

#include <cstring>

#include "unique_handle.h"

namespace screenshot {

bool captureScreen(const RECT& area, Image& out) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    UniqueWindowDC screen(nullptr, GetDC(nullptr));
    if (!screen) return false;
    UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
    if (!memory) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    {
        SelectGuard select(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY))
            return false;
        GdiFlush();
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    std::memcpy(out.pixels.data(), bits, out.pixels.size() * sizeof(uint32_t));
    for (uint32_t& p : out.pixels) p &= 0x00FFFFFF;  // BI_RGB leaves the top byte undefined
    return true;
}

bool captureWindow(HWND window, Image& out) {
    RECT r{};
    return GetWindowRect(window, &r) && captureScreen(r, out);
}

bool captureClient(HWND window, Image& out) {
    RECT r{};
    if (!GetClientRect(window, &r)) return false;
    POINT origin{0, 0};
    if (!ClientToScreen(window, &origin)) return false;
    OffsetRect(&r, origin.x, origin.y);
    return captureScreen(r, out);
}

}  // namespace screenshot
