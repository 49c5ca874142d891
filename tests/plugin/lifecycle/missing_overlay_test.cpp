// The one slow case: no overlay window and no TALVORI.exe to start.
#include "capture_stdout.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

using MissingOverlay = PluginSession;

// Who owns a window: for a start that found a window it should not have.
std::string describeWindow(HWND window) {
    if (!window) return "none";
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char image[MAX_PATH] = "?";
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process) {
        DWORD size = sizeof image;
        QueryFullProcessImageNameA(process, 0, image, &size);
        CloseHandle(process);
    }
    return std::string("class ") + cls + ", process " + std::to_string(pid) + " " + image;
}

TEST_F(MissingOverlay, WaitsEightSecondsWarnsAndReleasesTheChannel) {
    loadPlugin();
    ledger::reset();
    ledger::attach(plugin.module());
    MessageBoxWatcher watcher(30000);

    StdoutCapture out;
    DWORD start = GetTickCount();
    int result = plugin.init();
    DWORD took = GetTickCount() - start;
    std::string text = out.take();

    EXPECT_EQ(result, 1) << "found a window titled TALVORI: "
                         << describeWindow(FindWindowA(nullptr, "TALVORI"));
    EXPECT_GE(took, 8000u) << "81 looks, 100 ms apart";
    EXPECT_LT(took, 15000u);
    ASSERT_TRUE(watcher.dismissed()) << "no warning box";
    EXPECT_EQ(watcher.text(), "Missing file plugins\\TALVORI.exe ?");
    bool logged = false;
    for (const hostsim::HostCall& c : logLines())
        logged |= c.text == "Missing file plugins\\TALVORI.exe" && c.number == 1 &&
                  c.text2 == "TALVORI" && c.id1 == 0;
    EXPECT_TRUE(logged) << model.transcript();
    EXPECT_EQ(text.find("TALVORI: init"), std::string::npos);
    EXPECT_EQ(ledger::dcsTaken(), 0);
    EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{});
    EXPECT_FALSE(mappingExists(channel::kSpeakerAreaName));
    EXPECT_FALSE(mutexExists(channel::kMutexName));
}

}  // namespace
}  // namespace lifecycle
