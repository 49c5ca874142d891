#include "overlay_link.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "display_channel.h"
#include "globals.h"
#include "host.h"
#include "plugin_lock.h"

namespace {

constexpr size_t kPathBytes = 512;
// Starts in a row that bring no window before the plugin stops trying: a
// program that cannot start or dies at once must not be started on every
// event of the session.
constexpr int kStartsBeforeGivingUp = 3;
// A start whose window has not shown by then is taken as failed (init
// allows the first start about 8 s).
constexpr ULONGLONG kStartLimitMs = 10000;
// Shutdown waits this long for the window of a start under way, so that it
// gets the quit code instead of outliving the plugin.
constexpr DWORD kShutdownWaitMs = 3000;
constexpr DWORD kShutdownPollMs = 50;

// Guards everything below and the replacement of displayWindow once init
// has set it. Never held across a host call.
PluginLock linkLock;
char programPath[kPathBytes] = "";
bool lost = false;
bool launching = false;          // a thread is inside ShellExecuteEx
HANDLE startedProcess = nullptr; // the start under way, until its window shows
ULONGLONG startedAt = 0;
int failedStarts = 0;
bool gaveUp = false;

// Under linkLock: whether a new start is due. A start under way that has
// ended, or outlived its limit, counts as failed and makes room for the next.
bool startIsDue(HANDLE& finished) {
    if (!lost || gaveUp || launching || programPath[0] == '\0') return false;
    if (startedProcess) {
        const bool ended = WaitForSingleObject(startedProcess, 0) == WAIT_OBJECT_0;
        if (!ended && GetTickCount64() - startedAt < kStartLimitMs) return false;
        if (!ended) TerminateProcess(startedProcess, 1);  // alive, but no window
        finished = startedProcess;
        startedProcess = nullptr;
        ++failedStarts;
    }
    if (failedStarts >= kStartsBeforeGivingUp) {
        gaveUp = true;
        return false;
    }
    launching = true;
    return true;
}

void startProgram(const char* path) {
    std::printf("TALVORI: overlay window gone, starting %s again\n", path);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = "open";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    const bool started = ShellExecuteExA(&info) && info.hProcess;

    PluginLockGuard guard(linkLock);
    launching = false;
    if (started) {
        startedProcess = info.hProcess;
        startedAt = GetTickCount64();
    } else {
        ++failedStarts;
    }
}

void restartIfDue() {
    HANDLE finished = nullptr;
    bool start = false;
    bool announceGiveUp = false;
    char path[kPathBytes];
    {
        PluginLockGuard guard(linkLock);
        const bool wasGivenUp = gaveUp;
        start = startIsDue(finished);
        announceGiveUp = gaveUp && !wasGivenUp;
        if (start) std::memcpy(path, programPath, sizeof path);
    }
    if (finished) CloseHandle(finished);
    if (start) startProgram(path);
    if (announceGiveUp)
        host::logMessage("TALVORI.exe did not come back after 3 starts; the overlay stays off",
                         hostconst::kLogError, "TALVORI", 0);
}

}  // namespace

HWND findOverlayWindow() { return FindWindowW(channel::kWindowClass, channel::kWindowTitle); }

bool rememberOverlayProgram(const char* path) {
    PluginLockGuard guard(linkLock);
    return strcpy_s(programPath, kPathBytes, path) == 0;
}

void adoptOverlayWindow(HWND window) {
    PluginLockGuard guard(linkLock);
    displayWindow = window;
}

void overlayWindowGone(HWND dead) {
    {
        PluginLockGuard guard(linkLock);
        if (displayWindow != dead) return;  // another thread was first
        displayWindow = nullptr;
        lost = true;
    }
    restartIfDue();
}

bool overlayLost() {
    PluginLockGuard guard(linkLock);
    return lost;
}

HWND reacquireOverlayWindow() {
    if (!overlayLost()) return nullptr;
    HWND window = findOverlayWindow();
    if (!window) {
        restartIfDue();
        return nullptr;
    }
    HANDLE started = nullptr;
    {
        PluginLockGuard guard(linkLock);
        if (!lost) return nullptr;  // another thread adopted it
        lost = false;
        gaveUp = false;
        failedStarts = 0;
        started = startedProcess;
        startedProcess = nullptr;
        displayWindow = window;
    }
    if (started) CloseHandle(started);
    return window;
}

HWND releaseOverlayWindow() {
    HWND window = nullptr;
    HANDLE started = nullptr;
    {
        PluginLockGuard guard(linkLock);
        window = displayWindow.exchange(nullptr);
        started = startedProcess;
        startedProcess = nullptr;
        if (!window && lost) window = findOverlayWindow();
        lost = false;
        gaveUp = false;
        failedStarts = 0;
        programPath[0] = '\0';
    }
    if (started) {
        for (DWORD waited = 0; !window && waited < kShutdownWaitMs; waited += kShutdownPollMs) {
            if (WaitForSingleObject(started, kShutdownPollMs) == WAIT_OBJECT_0) break;
            window = findOverlayWindow();
        }
        if (!window) TerminateProcess(started, 1);
        CloseHandle(started);
    }
    return window;
}
