#pragma once
// The real overlay program with the default settings, driven through the
// feeder's PluginChannel the way the plugin drives it.
#include <windows.h>

#include <string>

#include "display_config.h"
#include "overlay_process.h"
#include "plugin_channel.h"
#include "stored_value.h"

namespace bench {

// "Z:\..." for a path the build hands over in Unix form.
std::wstring windowsPath(const std::string& path);
// TALVORI.exe of this build.
std::wstring defaultOverlayExe();

class OverlaySession {
public:
    OverlaySession();
    ~OverlaySession();
    OverlaySession(const OverlaySession&) = delete;
    OverlaySession& operator=(const OverlaySession&) = delete;

    // Stores the defaults, creates the channel, starts the program and waits
    // for its first paint. An empty result means success.
    std::string start(const std::wstring& exe);
    // Tells the program to quit and waits for it; its exit code or -1.
    int quit();

    PluginChannel& channel() { return channel_; }
    HWND window() const { return window_; }
    DWORD processId() const { return process_.id(); }
    const DisplayConfig& config() const { return config_; }
    // The top line (the speaker line) of the client area, in screen pixels.
    RECT speakerLine() const;

private:
    StoredValue stored_{kDisplayConfigValue};
    DisplayConfig config_{};
    PluginChannel channel_;
    OverlayProcess process_;
    HWND window_ = nullptr;
};

}  // namespace bench
