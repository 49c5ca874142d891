#include "overlay_session.h"

#include "display_channel.h"

namespace bench {

std::wstring windowsPath(const std::string& path) {
    std::wstring out(path.begin(), path.end());
    if (!out.empty() && out[0] == L'/') out = L"Z:" + out;
    for (wchar_t& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

std::wstring defaultOverlayExe() {
    return windowsPath(std::string(TALVORI_BENCH_BIN_DIR) + "/TALVORI.exe");
}

OverlaySession::OverlaySession() { resetDisplayConfig(config_); }

OverlaySession::~OverlaySession() { quit(); }

std::string OverlaySession::start(const std::wstring& exe) {
    if (FindWindowW(channel::kWindowClass, channel::kWindowTitle))
        return "a window titled TALVORI is already open; it would receive the notifications";
    if (!stored_.store(&config_, sizeof config_)) return "cannot store the settings";
    if (!channel_.ready()) return "cannot create the display channel";
    // Its trace lines go to a pipe nobody reads until it ends, not into the figures.
    if (!process_.start(exe, true)) return "cannot start the overlay program";
    window_ = process_.waitForWindow(10000);
    if (!window_) return "the overlay program showed no window";
    if (channel_.waitForWindow(5000) != window_) return "another window answers to TALVORI";
    channel_.settle();
    return "";
}

int OverlaySession::quit() {
    if (!process_.running()) return process_.waitForExit(0);
    channel_.send(DISPLAY_QUIT, 0);
    const int code = process_.waitForExit(5000);
    return code >= 0 ? code : process_.stop();
}

RECT OverlaySession::speakerLine() const {
    RECT r{};
    GetClientRect(window_, &r);
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    // The system font's cell is 16 pixels high; the line's box starts at the top.
    const LONG height = r.bottom < 16 ? r.bottom : 16;
    return RECT{origin.x, origin.y, origin.x + r.right, origin.y + height};
}

}  // namespace bench
