#include "overlay_link.h"

#include <cstdio>
#include <cstring>

#include "display_channel.h"
#include "globals.h"
#include "host.h"
#include "overlay_link_process.h"
#include "plugin_lock.h"
#include "wait_limits.h"

namespace {

constexpr size_t kPathBytes = 512;
// Starts in a row that bring no window before the plugin stops trying: a
// program that cannot start or dies at once must not be started on every
// event of the session.
constexpr int kStartsBeforeGivingUp = 3;
// A start whose window has not shown by then is taken as failed (init
// allows the first start about 8 s).
constexpr ULONGLONG kStartLimitMs = 10000;
constexpr DWORD kShutdownPollMs = 50;

// Guards everything below and the replacement of displayWindow once init
// has set it. Never held across a host call.
PluginLock linkLock;
char programPath[kPathBytes] = "";         // UTF-8 as the host gave it: traces
wchar_t programPathWide[kPathBytes] = L"";  // what is started
bool lost = false;
bool launching = false;          // a thread is inside CreateProcess
HANDLE startedProcess = nullptr; // the start under way, until its window shows
ULONGLONG startedAt = 0;
int failedStarts = 0;
bool gaveUp = false;
// The process that owns displayWindow when the plugin started it, else
// null: the only process the plugin may ever end. A window found by class
// and title may belong to anyone, the host included.
HANDLE ownProcess = nullptr;
// Counts shutdowns: a start that returns after one has begun has nobody to
// tell its program to quit, and ends it.
unsigned session = 0;

// Under linkLock: `started` becomes ownProcess when it owns `window`. Else
// it is returned to be ended: it would show a second overlay that nobody
// tells to quit.
HANDLE adoptStarted(HWND window, HANDLE started) {
    if (started && processOwnsWindow(started, window)) {
        ownProcess = started;
        return nullptr;
    }
    return started;
}

// Under linkLock: whether a new start is due. A start under way that has
// ended, or outlived its limit, counts as failed and makes room for the next.
bool startIsDue(HANDLE& finished) {
    if (!lost || gaveUp || launching || programPathWide[0] == L'\0') return false;
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

void startProgram(const char* trace, const wchar_t* path, unsigned startSession) {
    std::printf("TALVORI: overlay window gone, starting %s again\n", trace);
    HANDLE process = launchOverlayProgram(path);

    HANDLE stray = nullptr;
    {
        PluginLockGuard guard(linkLock);
        launching = false;
        if (startSession != session) {
            stray = process;
        } else if (process) {
            startedProcess = process;
            startedAt = GetTickCount64();
        } else {
            ++failedStarts;
        }
    }
    endStartedProcess(stray, 0);
}

void restartIfDue() {
    HANDLE finished = nullptr;
    bool start = false;
    bool announceGiveUp = false;
    char trace[kPathBytes];
    wchar_t path[kPathBytes];
    unsigned startSession = 0;
    {
        PluginLockGuard guard(linkLock);
        const bool wasGivenUp = gaveUp;
        start = startIsDue(finished);
        announceGiveUp = gaveUp && !wasGivenUp;
        if (start) {
            std::memcpy(trace, programPath, sizeof trace);
            std::memcpy(path, programPathWide, sizeof path);
            startSession = session;
        }
    }
    if (finished) CloseHandle(finished);
    if (start) startProgram(trace, path, startSession);
    if (announceGiveUp)
        host::logMessage("TALVORI.exe did not come back after 3 starts; the overlay stays off",
                         hostconst::kLogError, "TALVORI", 0);
}

// Shutdown has begun (no new start will): lets a start under way return,
// so that its program is ended before shutdown does.
void waitForLaunch() {
    for (DWORD waited = 0; waited < waits::kStartUnderWayMs; waited += kShutdownPollMs) {
        {
            PluginLockGuard guard(linkLock);
            if (!launching) return;
        }
        Sleep(kShutdownPollMs);
    }
}

}  // namespace

HWND findOverlayWindow() { return FindWindowW(channel::kWindowClass, channel::kWindowTitle); }

bool rememberOverlayProgram(const char* path) {
    if (strnlen(path, kPathBytes) == kPathBytes) return false;
    wchar_t wide[kPathBytes] = L"";
    if (path[0] != '\0' &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, kPathBytes) == 0)
        return false;
    PluginLockGuard guard(linkLock);
    return strcpy_s(programPath, kPathBytes, path) == 0 &&
           wcscpy_s(programPathWide, kPathBytes, wide) == 0;
}

HANDLE startOverlayProgram() {
    wchar_t path[kPathBytes];
    {
        PluginLockGuard guard(linkLock);
        std::memcpy(path, programPathWide, sizeof path);
    }
    return path[0] != L'\0' ? launchOverlayProgram(path) : nullptr;
}

void abandonOverlayStart(HANDLE started) {
    endStartedProcess(started, waits::kTerminateMs);
    rememberOverlayProgram("");
}

void adoptOverlayWindow(HWND window, HANDLE started) {
    HANDLE stray = nullptr;
    {
        PluginLockGuard guard(linkLock);
        displayWindow = window;
        stray = adoptStarted(window, started);
    }
    endStartedProcess(stray, waits::kTerminateMs);
}

void overlayWindowGone(HWND dead) {
    HANDLE own = nullptr;
    {
        PluginLockGuard guard(linkLock);
        if (displayWindow != dead) return;  // another thread was first
        displayWindow = nullptr;
        own = ownProcess;
        ownProcess = nullptr;
        lost = true;
    }
    endStartedProcess(own, 0);  // without its window it can no longer be told to quit
    restartIfDue();
}

void seekOverlayWindow() {
    HWND found = findOverlayWindow();
    if (!found) return;
    PluginLockGuard guard(linkLock);
    // Not over a window adopted meanwhile, nor while one is being restarted.
    if (!lost && !displayWindow) displayWindow = found;
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
    HANDLE stray = nullptr;
    {
        PluginLockGuard guard(linkLock);
        if (!lost) return nullptr;  // another thread adopted it
        lost = false;
        gaveUp = false;
        failedStarts = 0;
        stray = adoptStarted(window, startedProcess);
        startedProcess = nullptr;
        displayWindow = window;
    }
    endStartedProcess(stray, 0);
    return window;
}

void endOverlay() {
    {
        PluginLockGuard guard(linkLock);
        ++session;
        programPath[0] = '\0';
        programPathWide[0] = L'\0';
    }
    waitForLaunch();

    HWND window = nullptr;
    HANDLE started = nullptr;
    HANDLE own = nullptr;
    {
        PluginLockGuard guard(linkLock);
        window = displayWindow.exchange(nullptr);
        started = startedProcess;
        startedProcess = nullptr;
        own = ownProcess;
        ownProcess = nullptr;
        if (!window && lost) window = findOverlayWindow();
        lost = false;
        gaveUp = false;
        failedStarts = 0;
    }
    if (started) {
        for (DWORD waited = 0; !window && waited < waits::kStartUnderWayMs; waited += kShutdownPollMs) {
            if (WaitForSingleObject(started, kShutdownPollMs) == WAIT_OBJECT_0) break;
            window = findOverlayWindow();
        }
        if (window && !own && processOwnsWindow(started, window)) own = started;
        else endStartedProcess(started, waits::kTerminateMs);
    }
    if (!window) {
        endStartedProcess(own, waits::kTerminateMs);
        return;
    }

    DWORD_PTR ignored = 0;
    const bool answered = SendMessageTimeoutW(window, DISPLAY_MESSAGE, DISPLAY_QUIT, 0,
                                              SMTO_ABORTIFHUNG, waits::kQuitAnswerMs, &ignored) != 0;
    if (own) {
        const bool ended = answered && WaitForSingleObject(own, waits::kQuitExitMs) == WAIT_OBJECT_0;
        if (!ended)
            host::logMessage("TALVORI.exe did not end when told to quit; it was ended",
                             hostconst::kLogError, "TALVORI", 0);
        endStartedProcess(own, waits::kTerminateMs);
    } else if (!answered && IsWindow(window)) {
        host::logMessage("The TALVORI window does not answer; it was not started by the plugin "
                         "and is left running",
                         hostconst::kLogError, "TALVORI", 0);
    }
}
