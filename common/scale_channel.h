#pragma once
// The dpi the overlay draws at, published for the plugin to measure at. A
// named area of its own beside the text areas, which keep their layout for
// older copies: an older overlay publishes nothing and the plugin measures
// as it always did; an older plugin never looks. Both programs create or
// open it, so whichever starts first makes it and it lasts while either
// holds it: an overlay started again finds the plugin's and publishes anew.
#include <windows.h>

#include "unique_handle.h"

inline constexpr wchar_t kScaleAreaName[] = L"Local\\TALVORIDisplayScale";

struct ScaleArea {
    volatile LONG dpi;  // 0 until an overlay has published
    LONG reserved[3];
};
static_assert(sizeof(ScaleArea) == 16, "shared layout");

class ScaleChannel {
public:
    // False when the area could be neither made nor mapped.
    bool open();
    void close();
    bool isOpen() const { return static_cast<bool>(view_); }
    void publish(UINT dpi);
    // What was published, when plausible; 0 otherwise (another process can
    // write anything there).
    UINT read() const;

private:
    UniqueKernelHandle mapping_;
    UniqueView view_;
};
