#pragma once
// Runs the real TALVORI.exe against a stand-in for the plugin and reads what
// it draws from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display_config.h"
#include "overlay_process.h"
#include "play_config.h"
#include "plugin_channel.h"
#include "screenshot.h"

// The overlay is another process, so a registry sandbox cannot reach it: the
// real HKCU\Software\Talvori "Config" (or another value of that key) is kept
// aside and put back afterwards.
class StoredConfig {
public:
    explicit StoredConfig(const wchar_t* name = kDisplayConfigValue);
    ~StoredConfig();
    StoredConfig(const StoredConfig&) = delete;
    StoredConfig& operator=(const StoredConfig&) = delete;

    void store(const DisplayConfig& config);
    void store(const PlayConfig& config);
    void erase();
    // Empty when there is no value.
    std::vector<BYTE> bytes() const;

private:
    void storeBytes(const void* record, DWORD size);

    const wchar_t* name_;
    bool hadValue_ = false;
    std::vector<BYTE> saved_;
};

std::vector<BYTE> bytesOf(const DisplayConfig& config);

// Rows and columns of the client area, half-open.
struct Band {
    int left, top, right, bottom;
};

// How many pixels of `colour` lie in `band` (clipped to the image).
int countColour(const screenshot::Image& image, COLORREF colour, Band band);

// Polls until `condition` holds; false after `timeoutMs`.
bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs = 3000);

class OverlayTest : public testing::Test {
protected:
    static constexpr COLORREF kBackground = RGB(255, 255, 255);
    static constexpr COLORREF kSpeaker = RGB(200, 0, 0);
    static constexpr COLORREF kChannel = RGB(0, 0, 200);
    // Where each line is drawn with two lines on.
    static constexpr Band kSpeakerRow{0, 0, 240, 20};
    static constexpr Band kActivityRow{0, 20, 240, 40};

    OverlayTest();
    void TearDown() override;

    // Writes `config` to the registry (unless told not to), starts the
    // program with its output captured and waits until its window has painted.
    HWND launch(bool storeConfig = true);
    // Starts the program as the plugin does, with the show command
    // SW_SHOWNORMAL that ShellExecute hands on, and waits for its window to
    // exist and to have handled its start, not for it to show: idle hiding
    // may keep it hidden. Its output is not captured.
    HWND launchLikeThePlugin();
    // Ends that program the way a crash would: nothing is saved.
    void crash();
    // Quits the program through the channel's quit code; its exit code.
    int quit();
    // Stores the "Playing" switches and tells the running program, as the
    // plugin does after the user toggled one.
    void changePlay(const PlayConfig& play);

    // The plugin's side; created on first use, so a test decides whether
    // the overlay finds the channel at its start.
    PluginChannel& plugin();

    screenshot::Image capture();
    int ink(COLORREF colour, Band band);
    bool waitForInk(COLORREF colour, Band band, bool present, DWORD timeoutMs = 3000);

    DisplayConfig config{};
    StoredConfig stored;
    StoredConfig storedPlay{kPlayConfigValue};
    OverlayProcess overlay;
    HWND window = nullptr;

private:
    std::unique_ptr<PluginChannel> plugin_;
    UniqueKernelHandle likePlugin_;  // the process launchLikeThePlugin started
};
