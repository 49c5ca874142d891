// The overlay over a game: it never takes the foreground or the game's
// clicks, lets every click through while locked, and hides while it has
// nothing to show.
#include <atomic>
#include <thread>

#include "overlay_harness.h"
#include "real_input.h"

namespace {

// A game: the foreground window under the overlay, counting the clicks it
// gets. Its own thread pumps its messages, as a game's would.
class Game {
public:
    static constexpr RECT kArea{0, 0, 640, 480};

    Game() : thread_([this] { run(); }) {
        waitFor([&] { return window_.load() != nullptr; });
        if (HWND w = window_.load()) SetForegroundWindow(w);
    }
    ~Game() {
        if (HWND w = window_.load()) PostMessageW(w, WM_CLOSE, 0, 0);
        thread_.join();
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    bool hasForeground() const { return window_.load() && GetForegroundWindow() == window_.load(); }
    int clicks() const { return clicks_.load(); }
    POINT lastClick() const { return POINT{lastX_.load(), lastY_.load()}; }

private:
    static LRESULT CALLBACK proc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* game = reinterpret_cast<Game*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (message == WM_LBUTTONDOWN && game) {
            game->lastX_ = static_cast<short>(LOWORD(lParam));
            game->lastY_ = static_cast<short>(HIWORD(lParam));
            ++game->clicks_;
            return 0;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(w, message, wParam, lParam);
    }

    void run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
        wc.lpszClassName = L"TalvoriTestGame";
        RegisterClassW(&wc);
        HWND w = CreateWindowExW(0, wc.lpszClassName, L"Game", WS_POPUP | WS_VISIBLE, kArea.left,
                                 kArea.top, kArea.right - kArea.left, kArea.bottom - kArea.top,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = w;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        window_ = nullptr;
    }

    std::atomic<HWND> window_{nullptr};
    std::atomic<int> clicks_{0};
    std::atomic<LONG> lastX_{-1}, lastY_{-1};
    std::thread thread_;
};

POINT topLeft(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{r.left, r.top};
}

// A point on the overlay's speaker row, and over the game.
POINT grabPoint(HWND window) {
    const POINT p = topLeft(window);
    return POINT{p.x + 100, p.y + 10};
}

bool movedBy(HWND window, POINT from, int dx, int dy) {
    return waitFor([&] {
        const POINT now = topLeft(window);
        return now.x == from.x + dx && now.y == from.y + dy;
    });
}

using OverlayPlay = OverlayTest;

TEST_F(OverlayPlay, AGameKeepsTheForegroundWhenTheOverlayStartsRestartsAndIsDragged) {
    Game game;
    ASSERT_TRUE(waitFor([&] { return game.hasForeground(); }));

    ASSERT_TRUE(launchLikeThePlugin());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(game.hasForeground()) << "started with SW_SHOWNORMAL";
    // No taskbar button, no Alt-Tab entry, never activated by the system.
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_TRANSPARENT) << "unlocked by default";

    crash();
    ASSERT_TRUE(launchLikeThePlugin());
    EXPECT_TRUE(game.hasForeground()) << "started again after a crash";

    const POINT before = topLeft(window);
    real_input::dragBy(grabPoint(window), 60, 30);
    EXPECT_TRUE(movedBy(window, before, 60, 30)) << "now at x " << topLeft(window).x;
    EXPECT_TRUE(game.hasForeground()) << "clicked and dragged";
    EXPECT_EQ(game.clicks(), 0) << "the overlay's click is not the game's";

    EXPECT_EQ(quit(), 0);
    DisplayConfig moved = config;
    moved.x += 60;
    moved.y += 30;
    EXPECT_EQ(stored.bytes(), bytesOf(moved)) << "the dragged place is kept";
}

TEST_F(OverlayPlay, LockedEveryClickReachesTheGameBeneathAndNothingMoves) {
    storedPlay.store(PlayConfig{1, 0, 0, 0});
    Game game;
    ASSERT_TRUE(waitFor([&] { return game.hasForeground(); }));
    ASSERT_TRUE(launchLikeThePlugin());

    const POINT before = topLeft(window);
    const POINT at = grabPoint(window);
    real_input::dragBy(at, 60, 30);
    ASSERT_TRUE(waitFor([&] { return game.clicks() > 0; })) << "locked at start";
    EXPECT_EQ(game.lastClick().x, at.x);
    EXPECT_EQ(game.lastClick().y, at.y);
    Sleep(100);
    EXPECT_EQ(topLeft(window).x, before.x);
    EXPECT_EQ(topLeft(window).y, before.y);

    // Unlocked while running: the overlay takes its clicks again.
    changePlay(PlayConfig{0, 0, 0, 0});
    const int clicks = game.clicks();
    real_input::dragBy(at, 30, 0);
    EXPECT_TRUE(movedBy(window, before, 30, 0));
    EXPECT_EQ(game.clicks(), clicks);

    // And locked again.
    changePlay(PlayConfig{1, 0, 0, 0});
    real_input::dragBy(grabPoint(window), 30, 0);
    EXPECT_TRUE(waitFor([&] { return game.clicks() > clicks; }));
    EXPECT_TRUE(movedBy(window, before, 30, 0)) << "not moved";
    EXPECT_TRUE(game.hasForeground());
}

TEST_F(OverlayPlay, IdleHidingHidesWhileNothingShowsAndShowsWithoutActivating) {
    config.displayDuration = 1;
    storedPlay.store(PlayConfig{0, 1, 0, 0});
    Game game;
    ASSERT_TRUE(waitFor([&] { return game.hasForeground(); }));
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launchLikeThePlugin());
    EXPECT_FALSE(IsWindowVisible(window)) << "the start banner names nobody";

    channel.postSpeakers(L"Alice");
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true)) << "shown with its text";
    EXPECT_TRUE(game.hasForeground());

    // Nobody talks, but an activity line is on screen until it ages out.
    channel.postActivity(L"Bob -> Lobby");
    channel.postSpeakers(L"");
    ASSERT_TRUE(channel.settle());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(window); }));

    // An activity line alone shows it too.
    channel.postActivity(L"Carol -> Lobby");
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(window); }));

    // Hidden by the user: whatever comes, until shown again.
    changePlay(PlayConfig{0, 1, 1, 0});
    channel.postSpeakers(L"Dave");
    ASSERT_TRUE(channel.settle());
    EXPECT_FALSE(IsWindowVisible(window));
    changePlay(PlayConfig{0, 1, 0, 0});
    EXPECT_TRUE(IsWindowVisible(window));

    // Switched off: shown although nobody talks.
    channel.postSpeakers(L"");
    ASSERT_TRUE(channel.settle());
    EXPECT_FALSE(IsWindowVisible(window));
    changePlay(PlayConfig{0, 0, 0, 0});
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(game.hasForeground());

    // A hidden window still quits.
    changePlay(PlayConfig{0, 0, 1, 0});
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(quit(), 0);
}

}  // namespace
