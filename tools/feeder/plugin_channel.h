#pragma once
// The plugin's end of the display channel, played by tests and the demo
// feeder: creates the mutex and both shared areas the way the plugin does,
// writes lines into them and tells the overlay window.
#include <windows.h>

#include <string>

#include "display_channel.h"
#include "unique_handle.h"

class PluginChannel {
public:
    // Creates the mutex, then the speaker area (mapped and cleared), then
    // the activity area (mapped). ready() tells whether all of it worked.
    PluginChannel();
    PluginChannel(const PluginChannel&) = delete;
    PluginChannel& operator=(const PluginChannel&) = delete;
    bool ready() const;
    // Creates the activity log as a current plugin does: from then on every
    // activity line written goes into the log too, in the same take of the
    // mutex. Without it the channel is an older plugin's.
    bool createLog();

    // The overlay window as the plugin finds it: by title alone. Null when
    // there is none yet; remembered once found.
    HWND window();
    // Polls for the window until `timeoutMs` has passed.
    HWND waitForWindow(DWORD timeoutMs);

    // Writes a line under the mutex and notifies the overlay with code 1 or 2.
    void postSpeakers(const wchar_t* text);
    void postActivity(const wchar_t* text);
    // Writes without notifying.
    void writeSpeakers(const wchar_t* text);
    void writeActivity(const wchar_t* text);
    // Fills an area to its last unit with `fill` and no terminator, as a
    // careless or hostile writer could.
    void fillSpeakersUnterminated(wchar_t fill);
    void fillActivityUnterminated(wchar_t fill);

    // What an area holds now (read within its capacity).
    std::wstring speakerText() const;
    std::wstring activityText() const;

    // Codes 1-3 go with SendNotifyMessageW, as the plugin sends them; false
    // when there is no window.
    bool notify(WPARAM code);
    // Codes 0 and 4 (and anything else) with SendMessageW: waits for the answer.
    LRESULT send(WPARAM code, LPARAM lParam);
    // Returns once the overlay has handled everything sent to it before
    // (false when it does not answer within `timeoutMs`).
    bool settle(DWORD timeoutMs = 5000);

private:
    SharedArea speakerArea() const;
    SharedArea activityArea() const;
    ActivityLog* log() const { return static_cast<ActivityLog*>(logView_.get()); }

    UniqueKernelHandle mutex_;
    UniqueKernelHandle speakerMapping_;
    UniqueView speakerView_;
    UniqueKernelHandle activityMapping_;
    UniqueView activityView_;
    UniqueKernelHandle logMapping_;
    UniqueView logView_;
    HWND window_ = nullptr;
};
