#pragma once
// Starts the overlay program and makes sure it ends: a test that fails
// half-way must not leave a window behind for the next one.
#include <windows.h>

#include <string>

#include "unique_handle.h"

class OverlayProcess {
public:
    OverlayProcess() = default;
    OverlayProcess(const OverlayProcess&) = delete;
    OverlayProcess& operator=(const OverlayProcess&) = delete;
    ~OverlayProcess() { stop(); }

    // Starts `exePath` with no arguments. With `captureOutput` its standard
    // output goes to a pipe that output() reads once the program ended.
    bool start(const std::wstring& exePath, bool captureOutput);
    bool running() const;

    // The top-level window titled "TALVORI" that this process owns.
    HWND waitForWindow(DWORD timeoutMs);

    // Sends the quit code and waits up to `graceMs`; kills the program when
    // it does not end. Returns its exit code, or -1 when it had to be killed
    // or was not running.
    int stop(DWORD graceMs = 5000);
    // Waits for the program to end on its own; its exit code, or -1.
    int waitForExit(DWORD timeoutMs);

    // Everything the program printed (after it has ended).
    std::string output();
    DWORD id() const { return id_; }

private:
    UniqueKernelHandle process_;
    UniqueKernelHandle outputRead_;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

// The directory of the running executable, with a trailing backslash.
std::wstring executableDirectory();
