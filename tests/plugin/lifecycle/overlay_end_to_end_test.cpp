// The real overlay program, started by the plugin from its own folder.
#include "capture_stdout.h"
#include "display_channel.h"
#include "plugin_session.h"

namespace lifecycle {
namespace {

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
        DWORD pid = 0;
        GetWindowThreadProcessId(overlay, &pid);
        if (pid && pid != GetCurrentProcessId())
            process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    }
    HANDLE process = nullptr;
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

}  // namespace
}  // namespace lifecycle
