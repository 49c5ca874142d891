#include "screen_strip.h"

#include <cstring>

namespace bench {

ScreenStrip::ScreenStrip(const RECT& area) : area_(area), screen_(GetDC(nullptr)) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (!screen_ || width <= 0 || height <= 0) return;
    memory_.reset(CreateCompatibleDC(screen_));
    if (!memory_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    previous_ = SelectObject(memory_.get(), bitmap_.get());
    bits_ = bits;
    pixels_.resize(static_cast<size_t>(width) * height);
}

ScreenStrip::~ScreenStrip() {
    if (previous_) SelectObject(memory_.get(), previous_);
    if (screen_) ReleaseDC(nullptr, screen_);
}

bool ScreenStrip::read() {
    if (!bits_) return false;
    const int width = area_.right - area_.left;
    const int height = area_.bottom - area_.top;
    if (!BitBlt(memory_.get(), 0, 0, width, height, screen_, area_.left, area_.top, SRCCOPY))
        return false;
    GdiFlush();
    std::memcpy(pixels_.data(), bits_, pixels_.size() * sizeof(uint32_t));
    for (uint32_t& p : pixels_) p &= 0x00FFFFFF;  // BI_RGB leaves the top byte undefined
    return true;
}

}  // namespace bench
