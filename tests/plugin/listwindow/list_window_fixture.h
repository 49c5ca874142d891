#pragma once
// A List Channel window on the real (virtual) screen, fed by the simulated
// host: the user's channel "Lobby" on connection 1.
#include <gtest/gtest.h>
#include <windows.h>

#include "host_model.h"
#include "list_config.h"
#include "list_window.h"
#include "screen_capture.h"

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);

class ListWindowTest : public testing::Test {
protected:
    static constexpr uint64 kConnection = 1;
    static constexpr anyID kOwnClient = 1;
    static constexpr uint64 kLobby = 10;

    void SetUp() override;
    void TearDown() override;

    // Creates the window from listConfig, as init or the chat command does.
    HWND open(ListFrame frame = ListFrame::plain);
    // The client area as shown on screen.
    Pixels shown() const;
    // Waits until the client area's line `line` shows `text` in `colour`.
    bool showsLine(int line, const std::wstring& text, COLORREF colour, int ms = 5000) const;
    // Waits until the band from line `line` down to the bottom is empty.
    bool emptyFrom(int line, int ms = 5000) const;

    hostsim::HostModel model;
    int lineHeight = 0;
};
