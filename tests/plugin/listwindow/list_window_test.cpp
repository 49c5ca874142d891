#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "fake_host.h"
#include "globals.h"
#include "lifecycle.h"
#include "list_window.h"
#include "list_window_fixture.h"
#include "name_cache.h"

namespace {

ListChannelConfig visibleConfig() {
    ListChannelConfig c;
    resetListChannelConfig(c);
    c.transparentBackground = 0;  // so the background can be read back
    c.border = 0;                 // so the client area starts at the corner
    c.x = 100;
    c.y = 100;
    c.width = 240;
    c.height = 300;
    return c;
}

// Registers the class as process attach does, with a white class brush.
class PluginAttach : public testing::Environment {
public:
    void SetUp() override {
        listConfig = visibleConfig();
        onProcessAttach(GetModuleHandleW(nullptr));
    }
    void TearDown() override { onProcessDetach(); }
};
testing::Environment* const attach = testing::AddGlobalTestEnvironment(new PluginAttach);

}  // namespace

void ListWindowTest::SetUp() {
    model.install();
    installFakeHost();
    model.addConnection(kConnection, "Alpha Server", kOwnClient);
    model.addChannel(kConnection, kLobby, "Lobby");
    model.addClient(kConnection, kOwnClient, "Me", kLobby);
    model.activeConnection = kConnection;

    listConfig = visibleConfig();
    currentConnection = kConnection;
    placingListWindow = false;
    lineHeight = systemFontLineHeight();
    ASSERT_GT(lineHeight, 0);
}

void ListWindowTest::TearDown() {
    if (listWindow) DestroyWindow(listWindow);
    listWindow = nullptr;
    pumpMessages(20);
    clientNameCache.deleteConnection(kConnection);
    currentConnection = 0;
    placingListWindow = false;
    EXPECT_EQ(model.outstandingBlocks(), 0u) << model.transcript();
    EXPECT_EQ(model.badFrees(), 0u);
}

HWND ListWindowTest::open(ListFrame frame) {
    listWindow = createListWindow(GetModuleHandleW(nullptr), frame);
    pumpMessages(50);
    return listWindow;
}

Pixels ListWindowTest::shown() const {
    RECT client{};
    GetClientRect(listWindow, &client);
    POINT origin{0, 0};
    ClientToScreen(listWindow, &origin);
    return captureScreen(origin.x, origin.y, client.right, client.bottom);
}

bool ListWindowTest::showsLine(int line, const std::wstring& text, COLORREF colour,
                               int ms) const {
    return pumpUntil(
        [&] {
            Pixels screen = shown();
            return screen.bandEquals(
                line * lineHeight,
                renderLine(text, colour, listConfigDraft.backgroundColour, screen.width(),
                           lineHeight));
        },
        ms);
}

bool ListWindowTest::emptyFrom(int line, int ms) const {
    return pumpUntil(
        [&] {
            Pixels screen = shown();
            int rows = screen.height() - line * lineHeight;
            return screen.count(listConfigDraft.backgroundColour, line * lineHeight, rows) ==
                   rows * screen.width();
        },
        ms);
}

// ---- Window class ---------------------------------------------------------

TEST_F(ListWindowTest, ClassCarriesIconAndBrushAndGivesTheBrushBackWhenUnregistered) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExW(instance, listClassName, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_NE(wc.hIcon, nullptr);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectW(wc.hbrBackground, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, kWhite);

    // A load/unload cycle leaves no brush behind, and the class can be
    // registered again with the colour loaded for the next load.
    HBRUSH first = wc.hbrBackground;
    unregisterListWindowClass(instance);
    EXPECT_FALSE(GetClassInfoExW(instance, listClassName, &wc));
    EXPECT_EQ(GetObjectType(first), 0u);

    listConfig.backgroundColour = RGB(0, 128, 0);
    registerListWindowClass(instance);
    ASSERT_TRUE(GetClassInfoExW(instance, listClassName, &wc));
    ASSERT_EQ(GetObjectW(wc.hbrBackground, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(0, 128, 0));

    // Later changes of the colour do not reach the brush.
    listConfig.backgroundColour = kWhite;
    unregisterListWindowClass(instance);
    registerListWindowClass(instance);
}

// ---- What it paints -------------------------------------------------------

TEST_F(ListWindowTest, ListsMyChannelWithAwayAndMutedInTheAwayColour) {
    model.addClient(kConnection, 2, "Alice", kLobby).away = 1;
    model.addClient(kConnection, 3, "Bob", kLobby);
    model.addChannel(kConnection, 20, "Games");
    model.addClient(kConnection, 4, "Carol", 20);  // another channel
    clientNameCache.rebuild();

    ASSERT_TRUE(open());
    EXPECT_TRUE(showsLine(0, L"Me", kBlack));
    EXPECT_TRUE(showsLine(1, L"Alice", kRed));
    EXPECT_TRUE(showsLine(2, L"Bob", kBlack));
    EXPECT_TRUE(emptyFrom(3));

    // Muted microphone or speakers count like away.
    model.client(kConnection, 2)->away = 0;
    model.client(kConnection, kOwnClient)->inputMuted = 1;
    model.client(kConnection, 3)->outputMuted = 1;
    refreshListWindow();
    EXPECT_TRUE(showsLine(0, L"Me", kRed));
    EXPECT_TRUE(showsLine(1, L"Alice", kBlack));
    EXPECT_TRUE(showsLine(2, L"Bob", kRed));
}

TEST_F(ListWindowTest, UncachedClientShowsTheDefaultNameAndBadUtf8StillTakesItsLine) {
    model.addClient(kConnection, 2, "Bad\xFFName", kLobby);
    model.addClient(kConnection, 3, "Stranger", kLobby);
    model.addClient(kConnection, 4, "Last", kLobby);
    clientNameCache.addClient(kConnection, kOwnClient, nullptr);
    clientNameCache.addClient(kConnection, 2, nullptr);
    clientNameCache.addClient(kConnection, 4, nullptr);

    ASSERT_TRUE(open());
    EXPECT_TRUE(showsLine(1, L"Bad\uFFFDName", kBlack));
    EXPECT_TRUE(showsLine(2, L"Unkown", kBlack));
    EXPECT_TRUE(showsLine(3, L"Last", kBlack));
    // Painting only reads the cache.
    EXPECT_EQ(clientNameCache.findClient(kConnection, 3, nullptr), -1);
}

TEST_F(ListWindowTest, TestPatternWhileConfiguringEvenWhenNotConnected) {
    currentConnection = 0;
    placingListWindow = true;
    listConfig.textColour = RGB(0, 0, 160);
    ASSERT_TRUE(open(ListFrame::caption));
    EXPECT_TRUE(showsLine(0, L"abcdefghijklmnopqrstuvwxyz", RGB(0, 0, 160)));
    EXPECT_TRUE(showsLine(1, L"1", RGB(0, 0, 160)));
    EXPECT_TRUE(showsLine(9, L"9", RGB(0, 0, 160)));
    EXPECT_TRUE(showsLine(10, L"10", RGB(0, 0, 160)));
    EXPECT_EQ(model.calls().size(), 0u);
}

TEST_F(ListWindowTest, NotConnectedShowsOnlyTheBackground) {
    currentConnection = 0;
    ASSERT_TRUE(open());
    EXPECT_TRUE(emptyFrom(0));
    EXPECT_EQ(model.calls().size(), 0u);
}

TEST_F(ListWindowTest, FailedChannelListIsLoggedAndLeavesTheBackground) {
    model.failNext("getChannelClientList", 1, -1);
    ASSERT_TRUE(open());
    EXPECT_TRUE(emptyFrom(0));
    auto logs = model.callsTo("logMessage");
    ASSERT_FALSE(logs.empty());
    for (const auto& log : logs) {
        EXPECT_EQ(log.text, "Error Channel Client List ");
        EXPECT_EQ(log.text2, "TALVORI");
        EXPECT_EQ(log.number, 1);
        EXPECT_EQ(log.id1, kConnection);
    }
    model.clearFailures();
}

TEST_F(ListWindowTest, RefreshRepaintsAtOnceAndNothingWithoutAWindow) {
    refreshListWindow();  // no window: nothing asked of the host
    EXPECT_EQ(model.calls().size(), 0u);

    ASSERT_TRUE(open());
    model.clearCalls();
    refreshListWindow();
    EXPECT_EQ(model.countCalls("getChannelClientList"), 1u);
}

// A host event thread refreshes while the window's thread is busy (in the
// host, the GUI thread may itself wait for a lock the event thread's host
// holds): the refresh returns at once, and the paint follows when the
// window's thread is free again.
TEST_F(ListWindowTest, ARefreshFromAnotherThreadNeverWaitsForTheWindowsThread) {
    HANDLE busy = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> created{false}, repainted{false};
    std::thread gui([&] {
        listWindow = createListWindow(GetModuleHandleW(nullptr), ListFrame::plain);
        pumpMessages(50);
        created = true;
        WaitForSingleObject(busy, 10000);
        repainted = pumpUntil([&] { return model.countCalls("getChannelClientList") > 0; }, 3000);
        DestroyWindow(listWindow);
        listWindow = nullptr;
    });
    while (!created) Sleep(10);
    model.clearCalls();

    std::atomic<bool> returned{false};
    std::thread event([&] {
        refreshListWindow();
        returned = true;
    });
    for (int i = 0; i < 200 && !returned; ++i) Sleep(10);
    const bool returnedWhileBusy = returned;
    SetEvent(busy);
    event.join();
    gui.join();
    CloseHandle(busy);
    EXPECT_TRUE(returnedWhileBusy) << "the event thread waited for the window's thread";
    EXPECT_TRUE(repainted);
}

// ---- Style and geometry ---------------------------------------------------

TEST_F(ListWindowTest, ColourKeyOnlyOutsideCaptionMode) {
    listConfig.transparentBackground = 1;
    listConfig.border = 1;
    listConfig.opacity = 200;
    HWND window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOPMOST);
    // Styling never takes the focus from whatever the user works in.
    EXPECT_NE(GetActiveWindow(), window);

    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
    EXPECT_EQ(key, kWhite);
    EXPECT_EQ(alpha, 200);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_BORDER, WS_BORDER);
    EXPECT_EQ(style & (WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU), 0);

    applyListWindowStyle(listConfig, window, ListFrame::caption);
    EXPECT_NE(GetActiveWindow(), window);
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(alpha, 200);
    style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU),
              WS_CAPTION | WS_THICKFRAME | WS_SYSMENU);

    ListChannelConfig plain = listConfig;
    plain.transparentBackground = 0;
    plain.border = 0;
    applyListWindowStyle(plain, window, ListFrame::plain);
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
}

TEST_F(ListWindowTest, MovesAndSizesLandInTheLiveRecord) {
    listConfigDraft.textColour = RGB(1, 2, 3);
    HWND window = open(ListFrame::caption);
    ASSERT_TRUE(window);
    // A new window starts from the live settings.
    EXPECT_EQ(std::memcmp(&listConfigDraft, &listConfig, sizeof listConfig), 0);

    listConfigDraft.x = 7;
    MoveWindow(window, 150, 120, 260, 280, TRUE);
    EXPECT_EQ(listConfig.x, 150);
    EXPECT_EQ(listConfig.y, 120);
    EXPECT_EQ(listConfig.width, 260);
    EXPECT_EQ(listConfig.height, 280);
    EXPECT_EQ(listConfigDraft.x, 7);

    // Leaving caption mode keeps the geometry the user gave it.
    applyListWindowStyle(listConfig, window, ListFrame::plain);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.right - r.left, 260);
    EXPECT_EQ(r.bottom - r.top, 280);

    // Another record's geometry is applied and recorded, negative x too.
    ListChannelConfig other = listConfig;
    other.x = -50;
    other.y = 30;
    other.width = 200;
    other.height = 220;
    applyListWindowStyle(other, window, ListFrame::plain);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, -50);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(listConfig.x, -50);
    EXPECT_EQ(listConfig.y, 30);
    EXPECT_EQ(listConfig.width, 200);
    EXPECT_EQ(listConfig.height, 220);
}
