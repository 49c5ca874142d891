// The window as init and shutdown handle it, with a stand-in overlay window
// titled "TALVORI" so init finds it at once and starts no program.
#include <gtest/gtest.h>

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

}  // namespace
