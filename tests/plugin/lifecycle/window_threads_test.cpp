// Which window the plugin takes for the overlay, what it does when that
// window goes away, and chat commands for the List Channel window arriving
// on another thread than the window's.
#include <algorithm>
#include <atomic>
#include <thread>

#include "capture_stdout.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_menus26.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

constexpr char kGaveUp[] = "TALVORI.exe did not come back after 3 starts; the overlay stays off";

// Runs `work` on a thread of its own while this thread answers its messages:
// the plugin's windows here belong to this thread.
template <typename Work>
void onOtherThread(Work work) {
    std::atomic<bool> done{false};
    std::thread other([&] {
        work();
        done = true;
    });
    while (!done) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    other.join();
}

class WindowThreads : public PluginSession {
protected:
    void start() {
        loadPlugin();
        ledger::reset();
        ledger::attach(plugin.module());
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0) << quiet.take();
    }
    std::string talk(anyID client) {
        StdoutCapture out;
        plugin.onTalkStatusChangeEvent(kConnection, 1, 0, client);
        return out.take();
    }
    void command(const char* text) {
        StdoutCapture quiet;
        EXPECT_EQ(plugin.processCommand(kConnection, text), 0);
    }
    int logged(const std::string& text) const {
        std::vector<hostsim::HostCall> logs = logLines();
        return static_cast<int>(std::count_if(logs.begin(), logs.end(), [&](const auto& c) {
            return c.text == text && c.number == 1 && c.text2 == "TALVORI";
        }));
    }
};

TEST_F(WindowThreads, AMessageBoxCaptionedTalvoriIsNotTakenForTheOverlay) {
    StandInOverlay overlay;
    std::thread boxThread([] { MessageBoxA(nullptr, "not the overlay", "TALVORI", MB_OK); });
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i, Sleep(10))
        box = FindWindowExW(nullptr, nullptr, L"#32770", channel::kWindowTitle);
    ASSERT_NE(box, nullptr);
    // In front of the stand-in: a look-up by title alone finds the box.
    ASSERT_EQ(FindWindowA(nullptr, channel::kWindowTitleA), box);

    start();
    talk(1);
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000));
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_TRUE(overlay.waitForCode(DISPLAY_QUIT, 1000));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    boxThread.join();
}

TEST_F(WindowThreads, AnOverlayThatCannotBeStartedAgainIsGivenUpAfterThreeTries) {
    auto overlay = std::make_unique<StandInOverlay>();
    start();  // from an empty plugin folder: every start again fails
    overlay.reset();
    model.clearCalls();

    int starts = 0;
    for (anyID client = 1; client <= 6; ++client) {
        std::string printed = talk(client);
        for (const std::string& line : lines(printed))
            if (line.find("starting") != std::string::npos) ++starts;
    }
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(logged(kGaveUp), 1);
    // Text is measured on the plugin's own DC: nothing of the lost window's
    // is held.
    EXPECT_EQ(ledger::held().gdi, 1) << testing::PrintToString(ledger::outstanding());

    // A window that shows up after all is taken again.
    StandInOverlay back;
    talk(7);
    EXPECT_TRUE(back.waitForCode(DISPLAY_SPEAKERS_CHANGED, 2000));
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_TRUE(back.waitForCode(DISPLAY_QUIT, 1000));
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

TEST_F(WindowThreads, ChannelCommandsFromAnotherThreadReachTheListWindow) {
    StandInOverlay overlay;
    storeListRecord({255, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0, 44, 1,
                     10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0});  // window switched on
    start();
    HWND list = ownListWindow();
    ASSERT_NE(list, nullptr);

    onOtherThread([&] { command("channel hide"); });
    EXPECT_FALSE(IsWindowVisible(list));
    onOtherThread([&] { command("channel toggle"); });
    EXPECT_TRUE(IsWindowVisible(list));

    onOtherThread([&] { command("channel off"); });
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(ownListWindow(), nullptr);
    // Nothing points at the closed window any more: "on" opens a new one.
    command("channel on");
    HWND again = ownListWindow();
    EXPECT_NE(again, nullptr);
    EXPECT_NE(again, list);

    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

// The settings dialog of this process holding the opacity trackbar, and a
// box (the colour picker) opened over it.
struct OpenDialogs {
    HWND settings = nullptr;
    HWND picker = nullptr;
};

BOOL CALLBACK noteOpenDialog(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<OpenDialogs*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[16] = L"";
    GetClassNameW(window, cls, 16);
    if (pid != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0) return TRUE;
    if (GetDlgItem(window, 40005))
        found->settings = window;
    else
        found->picker = window;
    return TRUE;
}

OpenDialogs findOpenDialogs() {
    OpenDialogs found;
    EnumWindows(noteOpenDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// What the host does when the user switches the plugin off while its List
// Channel settings dialog and a colour picker over it are open: it calls
// shutdown from its own GUI thread (the window's) and unloads the library.
// Nothing may return into the unloaded code afterwards.
struct UnloadWhileOpen {
    static inline hostsim::PluginDll* plugin = nullptr;
    static inline bool asked = false, done = false, closedFirst = false;
    static inline HWND settings = nullptr, picker = nullptr;
    static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD) {
        const OpenDialogs open = findOpenDialogs();
        if (!open.settings || done) return;
        if (!asked) {
            asked = true;
            PostMessageW(open.settings, WM_COMMAND, 1000, 0);  // "Away Color"
            return;
        }
        if (!open.picker || !IsWindowVisible(open.picker)) return;
        KillTimer(nullptr, timer);
        settings = open.settings;
        picker = open.picker;
        {
            StdoutCapture quiet;
            plugin->shutdown();
        }
        closedFirst = !IsWindow(settings) && !IsWindow(picker);
        plugin->unload();
        done = true;
    }
};

// The client's GUI thread: a window of the client's own, whose posted
// messages stand for its clicks, timers and input. Each one calls the plugin
// as the client does for the user: Settings, Show List Channel and the List
// Channel hotkey (a "channel on" where the client has no plugin menus).
struct ClientWindow {
    static inline hostsim::PluginDll* plugin = nullptr;
    static inline std::atomic<bool> pluginBusy{false};  // inside shutdown
    static inline std::atomic<int> ranInside{0};
    static inline std::atomic<int> ran{0};
    static constexpr UINT kUserAction = WM_APP + 21;

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kUserAction) return DefWindowProcW(window, message, wParam, lParam);
        if (pluginBusy) ++ranInside;
        ++ran;
        if (kPluginApi == 26) {
            plugin->onMenuItemEvent(kConnection, 0, MENU_SETTINGS, 0);
            plugin->onMenuItemEvent(kConnection, 0, MENU_SHOW_LIST, 0);
            plugin->onHotkeyEvent(kHotkeyList);
        } else {
            plugin->processCommand(kConnection, "channel on");
        }
        return 0;
    }
    HWND create() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TalvoriTestClient";
        RegisterClassExW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"client", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }
};

// The user closes the client while the overlay's settings dialog is open
// and keeps clicking. Shutdown answers only what other threads send: none
// of the client's own messages runs inside it, and what the user asks for
// once it has begun is refused, leaving no window and no thread behind.
TEST_F(WindowThreads, ShutdownRunsNoneOfTheClientsMessagesAndRefusesWhatTheyAskFor) {
    StandInOverlay overlay(1);
    overlay.holdSettings();
    start();
    ASSERT_EQ(ownListWindow(), nullptr) << "the clean profile's window is off";
    ClientWindow client;
    ClientWindow::plugin = &plugin;
    HWND gui = client.create();
    ASSERT_NE(gui, nullptr);
    std::thread host([&] { plugin.configure(nullptr, nullptr); });
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_OPEN_SETTINGS, 5000));

    std::atomic<bool> stop{false};
    std::thread user([&] {
        for (int i = 0; !stop; ++i) {
            PostMessageW(gui, ClientWindow::kUserAction, 0, 0);
            if (i == 20) overlay.release();  // the dialog answers meanwhile
            Sleep(5);
        }
    });
    ClientWindow::pluginBusy = true;
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    ClientWindow::pluginBusy = false;
    stop = true;
    user.join();
    host.join();
    // The client's loop gets its messages now, after shutdown.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

    EXPECT_EQ(ClientWindow::ranInside.load(), 0) << "the client's messages ran inside shutdown";
    EXPECT_GT(ClientWindow::ran.load(), 0);
    EXPECT_EQ(ownListWindow(), nullptr) << "a List Channel window outlived shutdown";
    const std::vector<WPARAM> codes = overlay.codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DISPLAY_OPEN_SETTINGS), 1);
    const std::wstring dll = widen(pluginDllPath());
    plugin.unload();
    EXPECT_EQ(GetModuleHandleW(dll.c_str()), nullptr) << "a thread of the plugin still runs";
    DestroyWindow(gui);
}

TEST_F(WindowThreads, UnloadWhileTheListSettingsDialogIsOpenClosesItFirst) {
    StandInOverlay overlay;
    storeListRecord({255, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0, 44, 1,
                     10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0});  // window switched on
    start();
    HWND list = ownListWindow();
    ASSERT_NE(list, nullptr);
    const std::wstring dll = widen(pluginDllPath());

    UnloadWhileOpen::plugin = &plugin;
    SetTimer(nullptr, 0, 50, UnloadWhileOpen::tick);
    PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    for (DWORD end = GetTickCount() + 20000;
         !UnloadWhileOpen::done && static_cast<LONG>(GetTickCount() - end) < 0;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_TRUE(UnloadWhileOpen::done) << "the dialog or its picker never showed";
    EXPECT_TRUE(UnloadWhileOpen::closedFirst) << "shutdown returned with the dialog open";
    EXPECT_EQ(GetModuleHandleW(dll.c_str()), nullptr) << "the library is still held";
    EXPECT_FALSE(IsWindow(list));
}

}  // namespace
}  // namespace lifecycle
