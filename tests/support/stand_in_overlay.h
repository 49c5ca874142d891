#pragma once
// A window of class "TALVORI_CLASS" titled "TALVORI" on a thread of its own, standing in for the
// overlay program: it records every DISPLAY_MESSAGE code it receives and
// answers DISPLAY_OPEN_SETTINGS with a chosen flag, optionally holding the
// answer back the way an open settings dialog would.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class StandInOverlay {
public:
    explicit StandInOverlay(LRESULT settingsAnswer = 0);
    ~StandInOverlay();
    StandInOverlay(const StandInOverlay&) = delete;
    StandInOverlay& operator=(const StandInOverlay&) = delete;

    HWND window() const { return window_; }
    std::vector<WPARAM> codes() const;
    // Polls until `code` has arrived `count` times or the time is up.
    bool waitForCode(WPARAM code, DWORD timeoutMs, size_t count = 1) const;
    LPARAM settingsParam() const { return settingsParam_.load(); }

    // While held, DISPLAY_OPEN_SETTINGS does not answer until release(),
    // and meanwhile answers other messages, as an open dialog does.
    void holdSettings() { ResetEvent(release_); held_ = true; }
    // The window's thread stops answering anything until release(), as a
    // hung program's would.
    void hang();
    void release() { SetEvent(release_); }

private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT onDisplayMessage(WPARAM code, LPARAM lParam);
    void run(HANDLE ready);

    LRESULT answer_;
    std::atomic<bool> held_{false};
    std::atomic<LPARAM> settingsParam_{-1};
    HANDLE release_;
    HWND window_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<WPARAM> codes_;
    std::thread thread_;
};

// Finds the warning box titled "TALVORI" from another thread, keeps its
// text and dismisses it.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD timeoutMs);
    ~MessageBoxWatcher();
    // Waits for the watcher to finish; true when it dismissed a box.
    bool dismissed();
    std::string text() const { return text_; }

private:
    std::atomic<bool> stop_{false};
    bool found_ = false;
    std::string text_;
    std::thread thread_;
};
