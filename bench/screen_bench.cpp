#include "screen_bench.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

bool parseScreenBenchOptions(int argc, char** argv, const char* program,
                             ScreenBenchOptions& options) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--events") && i + 1 < argc) {
            options.events = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--exe") && i + 1 < argc) {
            options.exe = windowsPath(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--events N] [--exe TALVORI.exe]\n", program);
            return false;
        }
    }
    if (options.events < 10) options.events = 10;
    return true;
}

bool settledPicture(OverlaySession& overlay, ScreenStrip& strip, const wchar_t* line,
                    std::vector<uint32_t>& picture) {
    overlay.channel().postSpeakers(line);
    overlay.channel().settle();
    std::vector<uint32_t> last;
    int same = 0;
    for (int i = 0; i < 200 && same < 5; ++i) {
        Sleep(20);
        if (!strip.read()) return false;
        same = strip.pixels() == last ? same + 1 : 0;
        last = strip.pixels();
    }
    picture = last;
    return same >= 5;
}

}  // namespace bench
