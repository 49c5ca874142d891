// The real overlay program, started by the plugin from its own folder, and
// overlays that stop answering.
#include <algorithm>
#include <atomic>
#include <thread>

#include "capture_stdout.h"
#include "dialog_driver.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

// Longer than any wait the plugin allows itself on a hung overlay.
constexpr DWORD kHangBoundMs = 6000;

std::string utf8(const std::wstring& text) {
    std::string out(text.size() * 4 + 1, '\0');
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0],
                                static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

std::wstring overlayExe() { return widen(binFolder()) + L"\\TALVORI.exe"; }
bool overlayBuilt() { return GetFileAttributesW(overlayExe().c_str()) != INVALID_FILE_ATTRIBUTES; }

// A plugins folder as a French profile has it, with a letter outside
// Latin-1 too, holding a copy of TALVORI.exe; removed with the object.
class AccentedPluginFolder {
public:
    AccentedPluginFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"H\u00e9l\u00e8ne \u03a9 plugins " +
                std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
        copied_ = CopyFileW(overlayExe().c_str(), exe().c_str(), FALSE) != 0;
    }
    ~AccentedPluginFolder() {
        DeleteFileW(exe().c_str());
        RemoveDirectoryW(path_.c_str());
    }
    bool ready() const { return copied_; }
    const std::wstring& path() const { return path_; }
    std::wstring exe() const { return path_ + L"\\TALVORI.exe"; }

private:
    std::wstring path_;
    bool copied_ = false;
};

// Runs `work` on a thread of its own while this thread, the host's window
// thread, goes on answering messages: true when it ended within `ms`. When
// it did not, `unstick` lets it end so that it can be joined.
template <typename Work, typename Unstick>
bool endsWithin(DWORD ms, Work work, Unstick unstick) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        work();
        SetEvent(done);
    });
    bool ended = false;
    for (const DWORD start = GetTickCount(); !ended && GetTickCount() - start < ms;) {
        ended = MsgWaitForMultipleObjects(1, &done, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    if (!ended) unstick();
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 20, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    worker.join();
    CloseHandle(done);
    return ended;
}

class EndToEnd : public PluginSession {
protected:
    void TearDown() override {
        // Whatever happened, no overlay program outlives the test.
        if (process) {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
            CloseHandle(process);
        }
        PluginSession::TearDown();
    }
    void track(HWND overlay) {
        if (process) CloseHandle(process);
        process = nullptr;
        DWORD pid = 0;
        GetWindowThreadProcessId(overlay, &pid);
        if (pid && pid != GetCurrentProcessId())
            process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                                  FALSE, pid);
    }
    std::wstring trackedImage() const {
        wchar_t image[MAX_PATH] = L"";
        DWORD size = MAX_PATH;
        if (process) QueryFullProcessImageNameW(process, 0, image, &size);
        return image;
    }
    HWND waitForOverlay(DWORD ms) {
        for (DWORD waited = 0; waited < ms; waited += 50, Sleep(50))
            if (HWND w = FindWindowW(channel::kWindowClass, channel::kWindowTitle)) return w;
        return nullptr;
    }
    // Init with the TALVORI.exe the build made, whose window and process
    // are then `overlayWindow` and `process`.
    void initWithRealOverlay() {
        model.pluginPath = binFolder();
        {
            StdoutCapture quiet;
            ASSERT_EQ(plugin.init(), 0);
        }
        overlayWindow = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
        ASSERT_NE(overlayWindow, nullptr);
        track(overlayWindow);
        ASSERT_NE(process, nullptr);
    }
    void talk(anyID client) {
        StdoutCapture quiet;
        plugin.onTalkStatusChangeEvent(kConnection, 1, 0, client);
    }
    HANDLE process = nullptr;
    HWND overlayWindow = nullptr;
};

TEST_F(EndToEnd, InitStartsTheOverlayProgramAndShutdownEndsIt) {
    std::string exe = binFolder() + "\\TALVORI.exe";
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "TALVORI.exe is built by the 64-bit tree: " << exe;
    model.pluginPath = binFolder();
    loadPlugin();

    StdoutCapture out;
    int result = plugin.init();
    HWND overlay = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
    if (overlay) track(overlay);
    std::string text = out.take();
    ASSERT_EQ(result, 0) << text;
    ASSERT_NE(overlay, nullptr);
    ASSERT_NE(process, nullptr);

    StdoutCapture stop;
    plugin.shutdown();
    stop.take();
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0)
        << "the overlay program did not end on DISPLAY_QUIT";
    EXPECT_FALSE(IsWindow(overlay));
}

// The host hands paths over in UTF-8; read in the ANSI code page, this one
// names a folder that does not exist.
TEST_F(EndToEnd, APluginFolderWithAccentsStartsAndRestartsTheOverlay) {
    if (!overlayBuilt()) GTEST_SKIP() << "TALVORI.exe is built by the 64-bit tree";
    AccentedPluginFolder folder;
    ASSERT_TRUE(folder.ready());
    model.pluginPath = utf8(folder.path());
    loadPlugin();
    MessageBoxWatcher missing(20000);

    StdoutCapture out;
    const int result = plugin.init();
    std::string text = out.take();
    ASSERT_EQ(result, 0) << text;
    HWND overlay = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
    ASSERT_NE(overlay, nullptr);
    track(overlay);
    EXPECT_EQ(trackedImage(), folder.exe());

    // Killed by the user: the next events start it again from the same folder.
    TerminateProcess(process, 1);
    ASSERT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
    for (int i = 0; i < 100 && IsWindow(overlay); ++i) Sleep(50);
    HWND back = nullptr;
    for (anyID client = 1; client <= 40 && !back; ++client) {
        talk(client);
        back = waitForOverlay(250);
    }
    ASSERT_NE(back, nullptr) << "the overlay was not started again";
    track(back);
    EXPECT_EQ(trackedImage(), folder.exe());

    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
}

// The user closes the client with the overlay's settings dialog open: the
// client is not held by the dialog, and the dialog goes with the overlay.
TEST_F(EndToEnd, ClosingTheClientWithTheSettingsDialogOpenEndsTheDialogAndTheOverlay) {
    if (!overlayBuilt()) GTEST_SKIP() << "TALVORI.exe is built by the 64-bit tree";
    loadPlugin();
    ASSERT_NO_FATAL_FAILURE(initWithRealOverlay());

    std::atomic<bool> configured{false};
    std::thread open([&] {
        plugin.configure(nullptr, nullptr);
        configured = true;
    });
    HWND dialog = dialogs::waitForDialog(
        GetProcessId(process), [](HWND d) { return IsWindowVisible(d) != FALSE; });
    EXPECT_NE(dialog, nullptr) << "the overlay's settings dialog did not open";

    auto kill = [&] { TerminateProcess(process, 1); };
    {
        StdoutCapture quiet;
        EXPECT_TRUE(endsWithin(kHangBoundMs, [&] { plugin.shutdown(); }, kill))
            << "shutdown waited for the open dialog";
    }
    EXPECT_TRUE(configured.load()) << "configure outlived shutdown";
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "the overlay outlives the client";
    kill();
    open.join();
    EXPECT_EQ(sandbox.getValue(L"ListChannel").size(), 28u) << "shutdown saved nothing";
}

// A hung overlay holds no host thread: neither events, nor configure, nor
// shutdown. The plugin ends the overlay it started itself, and never a
// window's process it did not start (here the host's own).
TEST_F(EndToEnd, AHungOverlayHoldsNoHostThreadAndOnlyAStartedOneIsEnded) {
    loadPlugin();
    ledger::reset();
    ledger::attach(plugin.module());
    auto configure = [&] { plugin.configure(nullptr, nullptr); };
    auto shutdown = [&] { plugin.shutdown(); };
    {
        StandInOverlay standIn(1);
        standIn.holdSettings();
        {
            StdoutCapture quiet;
            ASSERT_EQ(plugin.init(), 0);
        }
        // A dialog the user keeps open answers messages: it is no hang.
        // (The host's configure call returns at once; the plugin's own
        // thread waits for the dialog.)
        std::thread open(configure);
        ASSERT_TRUE(standIn.waitForCode(DISPLAY_OPEN_SETTINGS, 5000));
        Sleep(3500);
        const std::vector<hostsim::HostCall> logs = logLines();
        EXPECT_TRUE(std::none_of(logs.begin(), logs.end(), [](const hostsim::HostCall& c) {
            return c.text.find("does not answer") != std::string::npos;
        })) << "configure stopped waiting for an open dialog";
        standIn.release();
        open.join();

        standIn.hang();
        auto unstick = [&] { standIn.release(); };
        EXPECT_TRUE(endsWithin(kHangBoundMs, [&] { for (anyID c = 1; c <= 10; ++c) talk(c); },
                               unstick));
        EXPECT_TRUE(endsWithin(kHangBoundMs, configure, unstick)) << "configure";
        EXPECT_TRUE(endsWithin(kHangBoundMs, shutdown, unstick)) << "shutdown";
        EXPECT_TRUE(IsWindow(standIn.window()));
        std::vector<BYTE> saved = sandbox.getValue(L"ListChannel");
        ASSERT_EQ(saved.size(), 28u);
        EXPECT_EQ(saved[3], 1) << "the open dialog's answer was lost";
        standIn.release();
    }

    if (!overlayBuilt()) GTEST_SKIP() << "TALVORI.exe is built by the 64-bit tree";
    ASSERT_NO_FATAL_FAILURE(initWithRealOverlay());
    HWND overlay = overlayWindow;
    // A suspended program: its window stops answering for good.
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(overlay, nullptr));
    ASSERT_NE(thread, nullptr);
    ASSERT_NE(SuspendThread(thread), static_cast<DWORD>(-1));
    auto resume = [&] { ResumeThread(thread); };
    EXPECT_TRUE(endsWithin(kHangBoundMs, configure, resume)) << "configure";
    EXPECT_TRUE(endsWithin(kHangBoundMs, shutdown, resume)) << "shutdown";
    EXPECT_EQ(WaitForSingleObject(process, 3000), WAIT_OBJECT_0)
        << "the hung overlay the plugin started outlives it";
    CloseHandle(thread);
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
}

}  // namespace
}  // namespace lifecycle
