#pragma once
// The plugin prints a trace line for most events. Inside the voice client
// nobody reads them (a GUI program without a console), so while the plugin
// is measured its standard output goes to NUL; the figures are printed once
// it is back. The plugin DLL and the benchmark share msvcrt's stdout.
//
// msvcrt takes NUL for a character device and leaves a stream that first
// writes there unbuffered: every trace line would then cost a WriteFile (a
// wineserver round trip under Wine) that the host never pays. A benchmark
// therefore calls bufferStdout() first thing, before any output.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace bench {

inline void bufferStdout() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); }

class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = _dup(1);
        const int nul = _open("NUL", _O_WRONLY);
        if (saved_ >= 0 && nul >= 0) _dup2(nul, 1);
        if (nul >= 0) _close(nul);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            _dup2(saved_, 1);
            _close(saved_);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_ = -1;
};

}  // namespace bench
