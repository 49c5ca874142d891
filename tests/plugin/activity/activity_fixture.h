#pragma once
// What every activity-line test stands on: a simulated host, text that is
// exactly 10 px per unit, a private activity area and two recording
// windows in place of the overlay and the List Channel window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host_model.h"
#include "text_fit.h"

// Every UTF-16 unit is kUnitWidth pixels wide; remembers each width limit
// the code under test asked to fit into.
class FixedWidthMeasurer : public TextMeasurer {
public:
    static constexpr int kUnitWidth = 10;
    int width(const wchar_t* text, int length) override;
    bool fit(const wchar_t* text, int length, int maxWidth, int* count) override;
    std::vector<int> limits;
};

// A window that keeps the DISPLAY_MESSAGE codes and paints it receives.
class RecorderWindow {
public:
    explicit RecorderWindow(bool visible);
    ~RecorderWindow();
    HWND handle() const { return window_; }
    std::vector<WPARAM> codes;
    int paints = 0;

private:
    HWND window_ = nullptr;
};

class ActivityTest : public testing::Test {
protected:
    static constexpr uint64 kConnection = 1;
    static constexpr uint64 kOtherConnection = 2;
    static constexpr anyID kOwnClient = 1;
    static constexpr uint64 kLobby = 10;   // the user's channel
    static constexpr uint64 kGames = 20;   // "Games Room", 100 px

    void SetUp() override;
    void TearDown() override;

    // The text now in the activity area.
    std::wstring activityText() const;
    void setActivityText(const wchar_t* text);
    bool cached(uint64 connection, anyID client) const;
    std::vector<hostsim::HostCall> logs() const { return model.callsTo("logMessage"); }

    hostsim::HostModel model;
    FixedWidthMeasurer measurer;
    RecorderWindow overlay{false};
    RecorderWindow list{true};
};
