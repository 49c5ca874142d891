// The window as init and shutdown handle it, with a stand-in overlay window
// titled "TALVORI" so init finds it at once and starts no program.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "activity_line.h"
#include "display_channel.h"
#include "fake_host.h"
#include "globals.h"
#include "lifecycle.h"
#include "list_window_fixture.h"
#include "name_cache.h"
#include "registry_sandbox.h"

namespace {

LRESULT CALLBACK overlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == DISPLAY_MESSAGE) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

class FakeOverlay {
public:
    FakeOverlay() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = overlayProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = channel::kWindowClass;
        RegisterClassExW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"TALVORI", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~FakeOverlay() { DestroyWindow(window_); }
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

class ListWindowInitTest : public ListWindowTest {
protected:
    void SetUp() override {
        ListWindowTest::SetUp();
        model.pluginPath = "C:\\nowhere";
        ASSERT_TRUE(overlay.handle());
    }
    void TearDown() override {
        pluginShutdown();
        ListWindowTest::TearDown();
    }

    RegistrySandbox registry;
    FakeOverlay overlay;
};

TEST_F(ListWindowInitTest, DisabledWindowIsNotCreatedAndRepaintsAreSkipped) {
    listConfig.windowEnabled = 0;
    ASSERT_EQ(pluginInit(), 0);
    EXPECT_EQ(listWindow, nullptr);

    model.addClient(kConnection, 2, "Alice", kLobby);
    model.clearCalls();
    onUpdateClient(kConnection, 2);
    handleClientMove(kConnection, 2, 0, kLobby, 0, "");
    EXPECT_EQ(model.countCalls("getChannelClientList"), 0u);
}

TEST_F(ListWindowInitTest, EnabledWindowIsShownWithoutCaptionAndGoesAtShutdown) {
    listConfig.windowEnabled = 1;
    ASSERT_EQ(pluginInit(), 0);
    HWND window = listWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    wchar_t title[32] = L"";
    GetWindowTextW(window, title, 32);
    EXPECT_STREQ(title, L"List Channel");
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_TRUE(showsLine(0, L"Me", kBlack));

    pluginShutdown();
    EXPECT_EQ(listWindow, nullptr);
    EXPECT_FALSE(IsWindow(window));
}

ListChannelConfig storedRecord(const RegistrySandbox& registry) {
    ListChannelConfig c{};
    const std::vector<BYTE> bytes = registry.getValue(L"ListChannel");
    if (bytes.size() == sizeof c) memcpy(&c, bytes.data(), sizeof c);
    return c;
}

RECT rectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void moveTo(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A place saved on a monitor that has since been unplugged: the window
// starts where a new one does, in its own size, and shutdown stores the old
// place for when the monitor returns.
TEST_F(ListWindowInitTest, AStoredPlaceNoMonitorShowsStartsAtTheDefaultPlace) {
    listConfig.windowEnabled = 1;
    listConfig.x = 5000;
    listConfig.y = -5000;
    listConfig.width = 150;
    listConfig.height = 200;
    ASSERT_EQ(pluginInit(), 0);
    const RECT r = rectOf(listWindow);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_TRUE(showsLine(0, L"Me", kBlack));

    pluginShutdown();
    const ListChannelConfig saved = storedRecord(registry);
    EXPECT_EQ(saved.x, 5000);
    EXPECT_EQ(saved.y, -5000);
    EXPECT_EQ(saved.width, 150);
}

// While running, only a display change moves the window, and only when too
// little of it is left on a monitor to grab; left of the primary monitor is
// a valid place on a desktop of several.
TEST_F(ListWindowInitTest, ADisplayChangeMovesOnlyAWindowTooFarOutToGrab) {
    listConfig.windowEnabled = 1;
    listConfig.width = 150;
    ASSERT_EQ(pluginInit(), 0);
    moveTo(listWindow, -100, 300);  // 50 pixels shown
    SendMessageW(listWindow, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));
    EXPECT_EQ(rectOf(listWindow).left, -100);

    moveTo(listWindow, GetSystemMetrics(SM_CXSCREEN) - 10, 300);  // 10 pixels shown
    SendMessageW(listWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    const RECT r = rectOf(listWindow);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 150);

    pluginShutdown();
    EXPECT_EQ(storedRecord(registry).x, GetSystemMetrics(SM_CXSCREEN) - 10)
        << "the place the user moved it to, for when its monitor returns";
}

}  // namespace
