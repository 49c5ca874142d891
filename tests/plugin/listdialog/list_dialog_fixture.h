#pragma once
// The List Channel window on a thread of its own, as in the host, and its
// settings dialog opened by a right click and driven from the test's thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "dialog_driver.h"
#include "list_config.h"
#include "list_settings_dialog_ids.h"
#include "registry_sandbox.h"

class ListDialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window from listConfig on the window thread.
    void openWindow(bool captionMode = false);
    // Right-clicks the window and waits until the dialog is shown.
    HWND openDialog();
    // The same with a real right click (SendInput) on the window; the
    // dialog has settled in the foreground.
    HWND openDialogWithRealClick();
    // A real right click on the window.
    bool rightClickWindow() const;
    // Presses a button of the dialog and waits until it has closed.
    bool closeWith(int buttonId);

    struct Layered {
        BYTE alpha = 0;
        COLORREF key = 0;
        DWORD flags = 0;
    };
    Layered layered() const;
    RECT windowRect() const;
    LRESULT opacityPosition() const;

    // The record as the sandbox's registry holds it (empty when unsaved).
    std::vector<BYTE> storedRecord() const;
    void storeRecord(const ListChannelConfig& config);

    static void saveShot(HWND window, const wchar_t* name);

    RegistrySandbox sandbox;
    HWND dialog = nullptr;

private:
    void runWindowThread(bool captionMode);
    HWND waitForShownDialog();

    std::thread windowThread_;
    DWORD windowThreadId_ = 0;
};

std::vector<BYTE> bytesOf(const ListChannelConfig& config);
// A record far from the defaults in every field the dialog touches.
ListChannelConfig customRecord();
