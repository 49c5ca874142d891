// A host may load, start, stop and unload the plugin many times in one
// process; nothing may pile up.
#include "capture_stdout.h"
#include "display_channel.h"
#include "import_ledger.h"
#include "plugin_session.h"
#include "stand_in_overlay.h"

namespace lifecycle {
namespace {

struct ProcessCounts {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
};

ProcessCounts countsNow() {
    ProcessCounts c;
    GetProcessHandleCount(GetCurrentProcess(), &c.handles);
    c.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    c.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return c;
}

using Cycles = PluginSession;

TEST_F(Cycles, TwentyLoadStartStopUnloadCyclesLeaveNothingBehind) {
    StandInOverlay overlay;
    ProcessCounts before;
    for (int cycle = 0; cycle < 21; ++cycle) {
        if (cycle == 1) before = countsNow();  // the first cycle warms up the system DLLs
        // Every cycle registers the List Channel class; the last two also
        // create and destroy the window (each destroy of a shown window
        // costs about 2 s under Wine without a window manager).
        const bool withListWindow = cycle >= 19;
        std::vector<BYTE> record = {255, 1, 1, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0,
                                    44, 1, 10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0};
        record[3] = withListWindow ? 1 : 0;
        storeListRecord(record);
        loadPlugin();
        HMODULE module = plugin.module();
        ledger::reset();
        ledger::attach(module);
        StdoutCapture quiet;
        int started = plugin.init();
        bool listShown = ownListWindow() != nullptr;
        plugin.shutdown();
        std::string printed = quiet.take();
        ASSERT_EQ(started, 0) << "cycle " << cycle << "\n" << printed;
        EXPECT_EQ(listShown, withListWindow) << "cycle " << cycle;
        EXPECT_EQ(ledger::outstanding(), std::vector<std::string>{}) << "cycle " << cycle;
        plugin.unload();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        EXPECT_FALSE(GetClassInfoExW(module, L"ListChannel", &wc))
            << "class left registered after unload, cycle " << cycle;
        EXPECT_EQ(model.outstandingBlocks(), 0u);
    }
    ASSERT_TRUE(overlay.waitForCode(DISPLAY_QUIT, 2000, 21));
    ProcessCounts after = countsNow();
    // Where the platform counts (Windows), nothing may grow; the ledger above
    // checks the same where it does not.
    EXPECT_LE(after.handles, before.handles);
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);
    EXPECT_FALSE(mappingExists(channel::kSpeakerAreaName));
    EXPECT_FALSE(mutexExists(channel::kMutexName));
}

}  // namespace
}  // namespace lifecycle
