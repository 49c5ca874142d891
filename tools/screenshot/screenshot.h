#pragma once
// Reads what is on the screen, for tests that check pixels and for the
// demo's pictures.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace screenshot {

// Pixels as 0x00RRGGBB, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The same pixel as a COLORREF (0x00BBGGRR), to compare with settings.
    COLORREF colourAt(int x, int y) const {
        uint32_t p = at(x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// Copies a rectangle of the screen (screen coordinates). False when the
// rectangle is empty or the copy fails.
bool captureScreen(const RECT& area, Image& out);

// The whole window as it shows on screen, frame included.
bool captureWindow(HWND window, Image& out);

// The window's client area as it shows on screen.
bool captureClient(HWND window, Image& out);

}  // namespace screenshot
