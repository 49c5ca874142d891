#pragma once
// A fixed rectangle of the screen read again and again as fast as GDI
// allows: the device contexts and the bitmap are made once, so each read is
// one BitBlt from GetDC(NULL).
#include <windows.h>

#include <cstdint>
#include <vector>

#include "unique_handle.h"

namespace bench {

class ScreenStrip {
public:
    explicit ScreenStrip(const RECT& area);
    ScreenStrip(const ScreenStrip&) = delete;
    ScreenStrip& operator=(const ScreenStrip&) = delete;
    ~ScreenStrip();

    bool ready() const { return bits_ != nullptr; }
    // Copies the screen rectangle now; false when the copy failed.
    bool read();
    // The pixels of the last read, 0x00RRGGBB, rows top to bottom.
    const std::vector<uint32_t>& pixels() const { return pixels_; }

private:
    RECT area_;
    HDC screen_ = nullptr;
    UniqueMemoryDC memory_;
    UniqueGdiObject bitmap_;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    std::vector<uint32_t> pixels_;
};

}  // namespace bench
