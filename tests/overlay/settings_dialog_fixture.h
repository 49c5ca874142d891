#pragma once
// The display settings dialog of the real program, opened the way the
// plugin opens it (code 4, sent and waited on from a thread of the test)
// while the test's own thread plays the user.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "dialog_driver.h"
#include "overlay_harness.h"
#include "settings_dialog_ids.h"

// TALVORI.exe as Wine shows the build's path.
std::wstring talvoriExecutable();

class SettingsDialogTest : public OverlayTest {
protected:
    void TearDown() override;

    // Like launch(), for settings whose colour key makes the window's own
    // background invisible: waits for the window only.
    HWND launchSeeThrough();

    // Sends code 4 with `listSwitch` and waits until the dialog is ready for
    // the user or shows its width warning (null when neither comes).
    HWND openDialog(int listSwitch = 0);
    // Waits until code 4 has returned; its result, or -1 when it has not.
    LRESULT result(DWORD timeoutMs = 5000);
    // Presses a dialog button and waits for code 4 to return.
    LRESULT closeWith(int buttonId);

    // The record as stored in the registry now.
    DisplayConfig storedConfig() const;
    RECT windowRect() const;
    // Alpha, colour key and flags of the overlay's layered attributes.
    struct Layered {
        BYTE alpha = 0;
        COLORREF key = 0;
        DWORD flags = 0;
    };
    Layered layered() const;
    bool waitForWidth(int width);

    // Writes a picture of `window` to $TALVORI_DIALOG_SHOTS/<name>.png when
    // that variable names a directory.
    static void saveShot(HWND window, const wchar_t* name);

    HWND dialog = nullptr;

private:
    void joinSender();

    std::thread sender_;
    std::atomic<bool> returned_{false};
    std::atomic<LRESULT> result_{-1};
};
