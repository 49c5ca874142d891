#pragma once
// What the benchmarks that read the overlay back from the screen share:
// their command line and the picture of a line once it has settled.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "overlay_session.h"
#include "screen_strip.h"

namespace bench {

struct ScreenBenchOptions {
    int events = 200;
    std::wstring exe = defaultOverlayExe();
};

// [--events N] [--exe TALVORI.exe]; prints the usage under `program`'s name
// and returns false on anything else. Fewer than 10 events count as 10.
bool parseScreenBenchOptions(int argc, char** argv, const char* program,
                             ScreenBenchOptions& options);

// Shows `line` and waits until the strip has looked the same for a while:
// what the screen holds once the overlay has painted it.
bool settledPicture(OverlaySession& overlay, ScreenStrip& strip, const wchar_t* line,
                    std::vector<uint32_t>& picture);

}  // namespace bench
