// The window as init and shutdown handle it, with a stand-in overlay window
// titled "TALVORI" so init finds it at once and starts no program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "activity_line.h"
#include "display_channel.h"
#include "fake_host.h"
#include "globals.h"
#include "lifecycle.h"
#include "list_window_fixture.h"
#include "list_window.h"
#include "name_cache.h"
#include "play_config.h"
#include "registry_sandbox.h"
#include "game_process.h"

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

// ---- Over a game ----------------------------------------------------------

// The game: an ordinary window the user works in, with the foreground, lying
// under the List Channel window and counting the clicks that reach it.
struct Game {
    static inline int leftClicks = 0;
    static inline int rightClicks = 0;
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN) ++leftClicks;
        if (message == WM_RBUTTONDOWN) ++rightClicks;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    Game() {
        leftClicks = rightClicks = 0;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"TalvoriTestGame";
        RegisterClassExW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"game", WS_POPUP | WS_VISIBLE, 0, 0, 700,
                                 550, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window);
        pumpMessages(50);
    }
    ~Game() { DestroyWindow(window); }
    HWND window = nullptr;
};

POINT insideOf(HWND window) {
    const RECT r = rectOf(window);
    return {r.left + 40, r.top + 40};
}

BOOL CALLBACK noteOwnDialog(HWND window, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[16] = L"";
    GetClassNameW(window, cls, 16);
    if (pid == GetCurrentProcessId() && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window))
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

bool ownDialogOpen() {
    bool found = false;
    EnumWindows(noteOwnDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Shown, clicked and dragged, the window never takes the foreground from
// the game; the drag moves it all the same, and shutdown stores the place.
TEST_F(ListWindowInitTest, NeverTakesTheForegroundAndADragMovesItAndIsStored) {
    Game game;
    ASSERT_EQ(GetForegroundWindow(), game.window);
    listConfig.windowEnabled = 1;
    ASSERT_EQ(pluginInit(), 0);
    HWND window = listWindow;
    ASSERT_NE(window, nullptr);
    pumpMessages(50);
    EXPECT_EQ(GetForegroundWindow(), game.window) << "taken when shown";
    const LONG ex = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_EQ(ex & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW) << "a taskbar button and an Alt-Tab entry";
    commandListWindow(window, LIST_HIDE);
    commandListWindow(window, LIST_TOGGLE);
    EXPECT_EQ(GetForegroundWindow(), game.window) << "taken when shown again";

    const RECT before = rectOf(window);
    const POINT grip = insideOf(window);
    real_input::dragBy(grip, 60, 40);
    EXPECT_EQ(GetForegroundWindow(), game.window) << "taken by a click";
    EXPECT_EQ(Game::leftClicks, 0);
    const RECT after = rectOf(window);
    EXPECT_EQ(after.left - before.left, 60);
    EXPECT_EQ(after.top - before.top, 40);

    // While configuring, the caption drags the window the same way.
    applyListWindowStyle(listConfig, window, ListFrame::caption);
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const POINT caption{origin.x + 20, (rectOf(window).top + origin.y) / 2};
    real_input::dragBy(caption, -30, 20);
    EXPECT_EQ(GetForegroundWindow(), game.window) << "taken by a caption drag";
    EXPECT_EQ(rectOf(window).left - after.left, -30);
    applyListWindowStyle(listConfig, window, ListFrame::plain);
    const RECT placed = rectOf(window);

    pluginShutdown();
    const ListChannelConfig saved = storedRecord(registry);
    EXPECT_EQ(saved.x, placed.left);
    EXPECT_EQ(saved.y, placed.top);
}

// A quick hand leaves the window in one step while a game of another
// process keeps the foreground (the window then gets no mouse capture on
// every system): the window still follows the cursor to the end.
TEST_F(ListWindowInitTest, ADragFollowsAQuickHandWhileAnotherProcessHasTheForeground) {
    GameProcess game(SIZE{640, 480}, GameStacking::normal);
    ASSERT_TRUE(game.hasForeground());
    listConfig.windowEnabled = 1;
    ASSERT_EQ(pluginInit(), 0);
    HWND window = listWindow;
    ASSERT_NE(window, nullptr);
    pumpMessages(50);
    const RECT before = rectOf(window);
    const POINT grip = insideOf(window);
    real_input::dragBy(grip, 900, 20);
    pumpMessages(100);
    EXPECT_EQ(rectOf(window).left - before.left, 900);
    EXPECT_EQ(rectOf(window).top - before.top, 20);
    EXPECT_TRUE(game.hasForeground());
}

// Locked, every click goes to the game beneath: no drag, no settings
// dialog. Unlocked again, the window takes its clicks once more.
TEST_F(ListWindowInitTest, LockedClicksReachTheGameBeneathUntilUnlocked) {
    Game game;
    PlayConfig play{};
    play.locked = 1;
    savePlayConfig(play);
    listConfig.windowEnabled = 1;
    ASSERT_EQ(pluginInit(), 0);
    HWND window = listWindow;
    ASSERT_NE(window, nullptr);
    pumpMessages(50);

    const RECT before = rectOf(window);
    const POINT grip = insideOf(window);
    real_input::dragBy(grip, 60, 40);
    EXPECT_EQ(Game::leftClicks, 1);
    EXPECT_EQ(rectOf(window).left, before.left) << "dragged while locked";
    real_input::moveTo(grip);
    real_input::button(MOUSEEVENTF_RIGHTDOWN);
    real_input::button(MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(Game::rightClicks, 1);
    pumpMessages(300);
    EXPECT_FALSE(ownDialogOpen());

    play.locked = 0;
    savePlayConfig(play);
    commandListWindow(window, LIST_PLAY_CHANGED);
    real_input::dragBy(grip, 60, 40);
    EXPECT_EQ(Game::leftClicks, 1) << "still locked";
    EXPECT_EQ(rectOf(window).left - before.left, 60);
    EXPECT_EQ(GetForegroundWindow(), game.window);
}

// A borderless game that makes itself topmost covers every topmost window
// each time it is activated again; the window is back in front of it at
// once, and the game keeps the foreground.
TEST_F(ListWindowInitTest, StaysInFrontOfATopmostGameActivatedAgain) {
    GameProcess game(SIZE{640, 480}, GameStacking::topmost);
    ASSERT_TRUE(game.hasForeground());
    listConfig.windowEnabled = 1;
    ASSERT_EQ(pluginInit(), 0);
    HWND window = listWindow;
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(showsLine(0, L"Me", kBlack));
    const POINT inside = insideOf(window);

    const DWORD clicked = game.activateAgain(POINT{600, 440});
    ASSERT_NE(clicked, 0u);
    const BackInFront back = awaitBackInFront(
        clicked,
        [&] {
            return game.hasForeground() && isAbove(window, game.window()) &&
                   WindowFromPoint(inside) == window;
        },
        pumpMessages);
    if (back.held)
        std::printf("List Channel window back in front %lu ms after the click on the game\n",
                    back.afterMs);
    RecordProperty("back_in_front_ms", static_cast<int>(back.afterMs));
    ASSERT_TRUE(back.held) << "the game covers the window";
    // Well above the aim of 100 ms, for a loaded machine; without anything
    // bringing it back, the window would stay covered for good.
    EXPECT_LT(back.afterMs, 2000u);
    EXPECT_TRUE(showsLine(0, L"Me", kBlack, 500)) << "in front, but not on screen";
    EXPECT_TRUE(game.hasForeground());
}

}  // namespace
